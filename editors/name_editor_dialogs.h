#pragma once
// "FWAV editor" and "Semi-global file editor": one name each (a sound's, the semi-global file's),
// bound to a NameEditor; OK leaves the result in it.

#include <QDialog>

#include "edit/name_editor.h"

class QLineEdit;
class QPushButton;

namespace scrivet {

class DialogUndo;
class Platform;
class ResourceFwav;
class ResourceGlob;
struct EditorContext;

// Shows why a text was refused (a zero character); false when `error` is None.
bool RefuseText(Platform& platform, QWidget* parent, EditError error);

class NameEditorDialog : public QDialog {
 public:
  QLineEdit& NameBox() { return *name_; }
  QPushButton& OkButton() { return *ok_; }
  NameEditor& Logic() { return logic_; }

 protected:
  // `index`: a line above the explanation, none when empty.
  NameEditorDialog(NameEditor& logic, Platform& platform, const QString& title, const QString& index,
                   const QString& explanation, QWidget* parent);

 private:
  void Show();

  NameEditor& logic_;
  Platform& platform_;
  QLineEdit* name_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

class FwavEditorDialog : public NameEditorDialog {
 public:
  FwavEditorDialog(NameEditor& logic, Platform& platform, uint16_t id, QWidget* parent = nullptr);
};

class GlobEditorDialog : public NameEditorDialog {
 public:
  GlobEditorDialog(NameEditor& logic, Platform& platform, QWidget* parent = nullptr);
};

// Run the dialogs modally; true when the user pressed OK (the resource then holds the name).
bool RunFwavEditor(ResourceFwav& sound, EditorContext& context);
bool RunGlobEditor(ResourceGlob& reference, EditorContext& context);

}  // namespace scrivet
