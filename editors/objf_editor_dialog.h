#pragma once
// "Object function table editor": the 31 entry points of an object (OBJf), the routines they
// run, and a way to open a routine of the file once this editor has closed. Binds widgets to an
// ObjfEditor; OK leaves the result in it.

#include <QDialog>
#include <array>
#include <optional>

#include "edit/objf_editor.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace scrivet {

class DialogUndo;
class Platform;
struct EditorContext;

class ObjfEditorDialog : public QDialog {
 public:
  ObjfEditorDialog(ObjfEditor& logic, Platform& platform, QWidget* parent = nullptr);

  ObjfEditor& Logic() { return logic_; }
  QTreeWidget& EntryList() { return *list_; }
  QPlainTextEdit& DescriptionBox() { return *description_; }
  QLineEdit& IdBox(ObjfBox box) { return *ids_[size_t(box)]; }
  QPushButton& OpenButton(ObjfBox box) { return *open_[size_t(box)]; }
  QPushButton& OkButton() { return *ok_; }

  // The routine whose button closed the dialog (its edits kept, as with OK).
  std::optional<uint16_t> RoutineToOpen() const { return toOpen_; }

  // Takes the ids typed but not yet taken; a refused one keeps the dialog open.
  void accept() override;

 private:
  void Refresh();
  void ShowEntry(size_t row);
  void ShowBoxes();
  bool TakeId(ObjfBox box);
  void Open(ObjfBox box);

  ObjfEditor& logic_;
  Platform& platform_;
  bool guard_ = false;
  QTreeWidget* list_;
  QPlainTextEdit* description_;
  std::array<QLineEdit*, 2> ids_{};
  std::array<QPushButton*, 2> open_{};
  QPushButton* ok_;
  DialogUndo* undo_;
  std::optional<uint16_t> toOpen_;
};

// Runs the dialog modally on the table, naming routines from the file and the behaviour
// catalogues; true when the user pressed OK or a routine's button after changing something (the
// table then holds the result). A routine's button asks for that routine to open next.
bool RunObjfEditor(ResourceObjf& table, EditorContext& context);

}  // namespace scrivet
