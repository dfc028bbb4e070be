#pragma once
// "SimAntics / Behavior editor": one behaviour routine, its header and its lines. Binds widgets
// to a BhavEditor, which holds every rule; OK leaves the result in it.

#include <QDialog>
#include <array>

#include "behaviour/instruction_formatter.h"
#include "edit/bhav_editor.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace scrivet {

class DialogUndo;
struct EditorContext;

class BhavEditorDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Command { Add, Insert, Delete, Rewrite, Duplicate };
  // The number boxes, in tab order.
  enum class Box { Parameters, Locals, Revision, Function, TrueLine, FalseLine, Param1, Param2, Param3, Param4 };
  static constexpr size_t kBoxCount = 10;

  // Shows `logic` at once; exec() is only needed for a modal run.
  BhavEditorDialog(BhavEditor& logic, EditorContext& context);

  BhavEditor& Logic() { return logic_; }
  QTreeWidget& LineList() { return *list_; }
  QLineEdit& NumberBox(Box box) { return *boxes_[size_t(box)]; }
  QLineEdit& HexBox(size_t index) { return *hex_[index]; }
  QLineEdit& Description() { return *description_; }
  QComboBox& VersionList() { return *version_; }
  QComboBox& TypeList() { return *type_; }
  QComboBox& TargetList(BhavEditor::Branch branch) { return *choices_[size_t(branch)]; }
  QPushButton& FunctionButton() { return *pick_; }
  QPushButton& OkButton() { return *ok_; }
  // The list's context menu, as it would open now.
  QMenu* ContextMenu();

  // A line command as the context menu runs it, with its message when refused.
  void Run(Command command);
  // Double-click on a line: a call of a routine of this file offers to open it next.
  void OfferCalledRoutine(size_t line);
  // Rewrites every row's texts (what a command or undo needs).
  void ShowRows();

  // Takes every box that was typed in but not yet taken; a refused one keeps the dialog open.
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowAll();
  void ShowHeader();
  void ShowRow(size_t line);
  void ShowLine();
  void ShowJumps();
  void SelectRowOfLogic();
  // After a field edit of the selected line; `typing` keeps its text as typed.
  void AfterLineEdit(QLineEdit* typing);
  // A number box: live while the text is a valid number; `finished` reports a refused text.
  bool TakeBox(Box box, bool finished);
  bool TakeHex(size_t index);
  QString BoxText(Box box) const;
  void PickFunction();

  BhavEditor& logic_;
  EditorContext& context_;
  InstructionFormatter formatter_;
  bool guard_ = false;
  std::vector<size_t> highlighted_;
  QComboBox* version_;
  QComboBox* type_;
  QTreeWidget* list_;
  QLineEdit* description_;
  std::array<QLineEdit*, kBoxCount> boxes_{};
  std::array<QLineEdit*, 8> hex_{};
  std::array<QComboBox*, 2> choices_{};
  QPushButton* pick_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog modally on `routine` (the semi-global name read from the file's GLOB); true on
// OK, with the result in `routine`.
bool RunBhavEditor(ResourceBhav& routine, EditorContext& context);

}  // namespace scrivet
