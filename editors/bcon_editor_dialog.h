#pragma once
// "Constants editor": a list of constants (BCON), each beside the label the game keeps for it in
// the file's TRCN of the same id. Binds widgets to a BconEditor; OK leaves the result in it.

#include <QDialog>

#include "edit/bcon_editor.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace scrivet {

class DialogUndo;
class Platform;
struct EditorContext;

class BconEditorDialog : public QDialog {
 public:
  BconEditorDialog(BconEditor& logic, Platform& platform, QWidget* parent = nullptr);

  BconEditor& Logic() { return logic_; }
  QTreeWidget& ValueList() { return *list_; }
  QLineEdit& ValueBox() { return *value_; }
  QCheckBox& EditableBox() { return *editable_; }
  QPushButton& OkButton() { return *ok_; }

  // The list's right-click menu commands.
  void AddValue();
  void DeleteValue();

  // Takes a value typed but not yet taken; a refused one keeps the dialog open.
  void accept() override;

 private:
  void Refresh();
  void ShowValue();
  void ShowMenu(const QPoint& position);
  bool TakeValue();

  BconEditor& logic_;
  Platform& platform_;
  bool guard_ = false;
  QTreeWidget* list_;
  QLineEdit* value_;
  QCheckBox* editable_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog modally on the constants, with the labels of the file's TRCN of the same id;
// true when the user pressed OK (the constants then hold the result).
bool RunBconEditor(ResourceBcon& constants, EditorContext& context);

}  // namespace scrivet
