#pragma once
// "Object definition editor": every field of an OBJD in a list with its value and help text,
// and three synchronised boxes (binary, decimal, hexadecimal) for the selected field. Binds
// widgets to an ObjdEditor, which holds every rule; OK leaves the result in it.

#include <QDialog>
#include <functional>

#include "edit/objd_editor.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace scrivet {

class DialogUndo;
struct EditorContext;

class ObjdEditorDialog : public QDialog {
 public:
  // `random` draws the GUIDs that New GUID offers.
  ObjdEditorDialog(ObjdEditor& logic, std::function<uint32_t()> random, QWidget* parent = nullptr);

  ObjdEditor& Logic() { return logic_; }
  QTreeWidget& FieldList() { return *list_; }
  QLineEdit& Box(NumberBase base);
  QLineEdit& FindBox() { return *find_; }
  QPlainTextEdit& HelpBox() { return *help_; }
  QPushButton& NewGuidButton() { return *newGuid_; }
  QPushButton& OkButton() { return *ok_; }

 private:
  void Refresh();
  void ShowSelection();
  void Typed(NumberBase base);
  void Find(bool next);

  ObjdEditor& logic_;
  std::function<uint32_t()> random_;
  bool guard_ = false;
  QLineEdit* find_;
  QTreeWidget* list_;
  QPlainTextEdit* help_;
  QLineEdit* binary_;
  QLineEdit* decimal_;
  QLineEdit* hex_;
  QPushButton* newGuid_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog modally; true when the user pressed OK (the object definition then holds the
// result). New GUID avoids the GUIDs of the file's other object definitions.
bool RunObjdEditor(ResourceObjd& objd, EditorContext& context);

}  // namespace scrivet
