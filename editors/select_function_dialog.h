#pragma once
// "Select function...": picks a line's function from the primitives and the global, private and
// semi-global routines, in one drop-down list.

#include <QDialog>
#include <optional>
#include <vector>

#include "edit/bhav_editor.h"

class QComboBox;
class QPushButton;

namespace scrivet {

class Platform;

class SelectFunctionDialog : public QDialog {
  Q_OBJECT

 public:
  // `choices` from FunctionChoices; the entry of `opcode` is chosen at first.
  SelectFunctionDialog(std::vector<FunctionChoice> choices, uint16_t opcode, Platform& platform,
                       QWidget* parent = nullptr);

  QComboBox& FunctionList() { return *list_; }
  QPushButton& OkButton() { return *ok_; }
  // The function chosen with OK.
  uint16_t Chosen() const { return chosen_; }

  // A separator or no entry is refused and the dialog stays open.
  void accept() override;

 private:
  std::vector<FunctionChoice> choices_;
  Platform& platform_;
  QComboBox* list_;
  QPushButton* ok_;
  uint16_t chosen_ = 0;
};

// The list's text of one entry ("(glob:) Idle", "----------").
QString FunctionChoiceText(const FunctionChoice& choice);

}  // namespace scrivet
