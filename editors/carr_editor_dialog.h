#pragma once
// "Career editor": a career (CARR) and its jobs. Binds widgets to a CarrEditor, which holds every
// rule; OK leaves the result in it.

#include <QAbstractSpinBox>
#include <QDialog>
#include <array>
#include <functional>

#include "edit/carr_editor.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace scrivet {

class DialogUndo;
class Platform;
struct EditorContext;

// A number box with up-down arrows whose rules live elsewhere: typing is free (the owner checks
// the text when the box is left), and the arrows ask the owner to step.
class ArrowNumberBox : public QAbstractSpinBox {
 public:
  explicit ArrowNumberBox(QWidget* parent = nullptr);
  QLineEdit* Edit() const { return lineEdit(); }
  void stepBy(int steps) override;
  std::function<void(int)> onStep;

 protected:
  StepEnabled stepEnabled() const override;
};

class CarrEditorDialog : public QDialog {
 public:
  CarrEditorDialog(CarrEditor& logic, Platform& platform, QWidget* parent = nullptr);

  CarrEditor& Logic() { return logic_; }
  QLineEdit& CareerNameBox() { return *careerName_; }
  QTreeWidget& JobList() { return *jobs_; }
  QLineEdit& TextBox(JobText text) { return *texts_[size_t(text)]; }
  ArrowNumberBox& NumberBox(JobBox box) { return *numbers_[size_t(box)]; }
  QPushButton& OkButton() { return *ok_; }

  // The job list's right-click menu commands.
  void AddJob();
  void DeleteJob();

  // Reads every box that was typed in but not yet taken; a refused one keeps the dialog open.
  void accept() override;

 private:
  void Refresh();
  void ShowList();
  void ShowJob();
  void ShowMenu(const QPoint& position);
  bool TakeNumber(JobBox box);
  void Step(JobBox box, int steps);
  void TextEdited(QLineEdit* box, EditError error, const std::string& now);

  CarrEditor& logic_;
  Platform& platform_;
  bool guard_ = false;
  QLineEdit* careerName_;
  QTreeWidget* jobs_;
  std::array<QLineEdit*, kJobTextCount> texts_{};
  std::array<ArrowNumberBox*, kJobBoxCount> numbers_{};
  QComboBox* choice_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog modally on the career; true when the user pressed OK (the career then holds the
// result).
bool RunCarrEditor(ResourceCarr& career, EditorContext& context);

}  // namespace scrivet
