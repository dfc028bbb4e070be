#include "app/scrivet2_doc.h"

#include <QFileInfo>

#include "editors/qt_text.h"

namespace scrivet {

CScrivet2Doc::CScrivet2Doc(Platform& platform, const QString& untitledName)
    : platform_(platform), file_(IffFile::CreateEmpty(true)), untitled_(untitledName) {
  connect(&history_, &QUndoStack::cleanChanged, this, &CScrivet2Doc::TitleChanged);
}

CScrivet2Doc::~CScrivet2Doc() = default;

bool CScrivet2Doc::Open(const QString& path, QWidget* messageOwner) {
  CoreFailure failure;
  std::unique_ptr<IffFile> opened = IffFile::OpenPath(path.toStdString(), &failure);
  if (!opened) {
    platform_.Message(messageOwner, QStringLiteral("Couldn't open the file \"%1\"!\n%2").arg(path, CoreErrorText(failure)),
                      QStringLiteral("Error"), MessageIcon::Error);
    return false;
  }
  file_ = std::move(opened);
  path_ = QFileInfo(path).absoluteFilePath();
  history_.clear();
  unrecorded_ = false;
  // The views still show the old container: they rebuild before anything else can draw them.
  Q_EMIT Changed();
  if (failure.error == CoreError::NotIff || failure.error == CoreError::BadVersion)
    platform_.Message(messageOwner, CoreErrorText(failure), QStringLiteral("Error"), MessageIcon::Error);
  Q_EMIT TitleChanged();
  return true;
}

bool CScrivet2Doc::Save(const QString& path, QWidget* messageOwner) {
  CoreFailure failure;
  if (!file_->SaveToPath(path.toStdString(), &failure)) {
    const QString reason = CoreErrorText(failure);
    QString text = reason.isEmpty() ? QStringLiteral("Couldn't save the file!")
                                    : QStringLiteral("Couldn't save the file!\n\n%1").arg(reason);
    platform_.Message(messageOwner, text, QStringLiteral("Error"), MessageIcon::Error);
    return false;
  }
  path_ = QFileInfo(path).absoluteFilePath();
  SetModified(false);
  Q_EMIT TitleChanged();
  return true;
}

bool CScrivet2Doc::LoadChunk(IffChunk& chunk, QWidget* messageOwner) {
  if (chunk.IsLoaded()) return true;
  if (file_->SourceChanged()) {
    platform_.Message(messageOwner,
                      QStringLiteral("The file \"%1\" was changed by another program since it was opened.\n"
                                     "Its resources can't be loaded any more; please open it again.")
                          .arg(path_),
                      QStringLiteral("Error"), MessageIcon::Error);
    return false;
  }
  return file_->LoadChunkData(chunk);
}

const FunctionList& CScrivet2Doc::PrivateFunctions() {
  privateFunctions_ = scrivet::PrivateFunctions(*file_);
  return privateFunctions_;
}

void CScrivet2Doc::SetModified(bool modified) {
  const bool was = IsModified();
  unrecorded_ = modified;
  if (!modified) history_.setClean();
  if (IsModified() != was) Q_EMIT TitleChanged();
}

void CScrivet2Doc::ContainerChanged() {
  history_.clear();
  SetModified(true);
  Q_EMIT Changed();
}

QString CScrivet2Doc::Title() const { return path_.isEmpty() ? untitled_ : QFileInfo(path_).fileName(); }

}  // namespace scrivet
