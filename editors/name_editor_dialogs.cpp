#include "editors/name_editor_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "editors/dialog_undo.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

bool RefuseText(Platform& platform, QWidget* parent, EditError error) {
  if (error == EditError::None) return false;
  platform.Warn(parent, QStringLiteral("A text can't hold a zero character: the file would end it there."));
  return true;
}

NameEditorDialog::NameEditorDialog(NameEditor& logic, Platform& platform, const QString& title,
                                   const QString& index, const QString& explanation, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  if (!index.isEmpty()) layout->addWidget(new QLabel(index, this));
  auto* text = new QLabel(explanation, this);
  text->setWordWrap(true);
  layout->addWidget(text);
  name_ = new QLineEdit(this);
  layout->addWidget(name_);
  layout->addStretch();

  undo_ = DialogUndo::For(this, logic_, [this] { Show(); });
  auto* bottom = undo_->ButtonRow(&ok_);
  layout->addLayout(bottom);

  connect(name_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    if (RefuseText(platform_, this, logic_.SetName(ToCp1252(typed)))) name_->setText(FromCp1252(logic_.Name()));
    undo_->Follow(logic_);
  });
  undo_->WatchTextBoxes();
  setMinimumSize(layout->minimumSize().expandedTo(QSize(360, 0)));
  Show();
}

void NameEditorDialog::Show() {
  if (name_->text() != FromCp1252(logic_.Name())) name_->setText(FromCp1252(logic_.Name()));
  undo_->Follow(logic_);
}

FwavEditorDialog::FwavEditorDialog(NameEditor& logic, Platform& platform, uint16_t id, QWidget* parent)
    : NameEditorDialog(logic, platform, QStringLiteral("FWAV editor"), QStringLiteral("FWAV Index: %1").arg(id),
                       QStringLiteral("The FWAV resource is used by the internal scripting language as a reference "
                                      "to a sound file."),
                       parent) {}

GlobEditorDialog::GlobEditorDialog(NameEditor& logic, Platform& platform, QWidget* parent)
    : NameEditorDialog(logic, platform, QStringLiteral("Semi-global file editor"), QString(),
                       QStringLiteral("The GLOB resource contains the file name (usually without .IFF) of the "
                                      "semi-global file."),
                       parent) {}

bool RunFwavEditor(ResourceFwav& sound, EditorContext& context) {
  NameEditor logic(sound.soundName);
  FwavEditorDialog dialog(logic, context.platform, sound.Chunk().id, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  sound.soundName = logic.Name();
  return true;
}

bool RunGlobEditor(ResourceGlob& reference, EditorContext& context) {
  NameEditor logic(reference.fileName);
  GlobEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  reference.fileName = logic.Name();
  return true;
}

}  // namespace scrivet
