#include "app/scrivet2_doc.h"

#include <QFileInfo>

namespace scrivet {

CScrivet2Doc::CScrivet2Doc(Platform& platform, const QString& untitledName)
    : platform_(platform), file_(IffFile::CreateEmpty(true)), untitled_(untitledName) {}

CScrivet2Doc::~CScrivet2Doc() = default;

bool CScrivet2Doc::Open(const QString& path, QWidget* messageOwner) {
  int error = IffFile::kErrorNone;
  std::string reason;
  std::unique_ptr<IffFile> opened = IffFile::OpenPath(path.toStdString(), error, &reason);
  if (!opened) {
    platform_.Message(messageOwner,
                      QStringLiteral("Couldn't open the file \"%1\"!\n%2").arg(path, QString::fromStdString(reason)),
                      QStringLiteral("Error"), MessageIcon::Error);
    return false;
  }
  file_ = std::move(opened);
  path_ = QFileInfo(path).absoluteFilePath();
  modified_ = false;
  if (error == IffFile::kErrorNotIff)
    platform_.Message(messageOwner, QStringLiteral("This file is *not* an IFF file!"), QStringLiteral("Error"),
                      MessageIcon::Error);
  else if (error == IffFile::kErrorBadVersion)
    platform_.Message(messageOwner, QStringLiteral("The file verison of the IFF file is not supported!"),
                      QStringLiteral("Error"), MessageIcon::Error);
  emit TitleChanged();
  emit Changed();
  return true;
}

bool CScrivet2Doc::Save(const QString& path, QWidget* messageOwner) {
  std::string reason;
  if (!file_->SaveToPath(path.toStdString(), &reason)) {
    QString text = reason.empty() ? QStringLiteral("Couldn't save the file!")
                                  : QStringLiteral("Couldn't save the file!\n\n%1").arg(QString::fromStdString(reason));
    platform_.Message(messageOwner, text, QStringLiteral("Error"), MessageIcon::Error);
    return false;
  }
  path_ = QFileInfo(path).absoluteFilePath();
  SetModified(false);
  emit TitleChanged();
  return true;
}

bool CScrivet2Doc::LoadChunk(IffChunk& chunk, QWidget* messageOwner) {
  if (chunk.loaded) return true;
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

void CScrivet2Doc::SetModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit TitleChanged();
}

void CScrivet2Doc::ContainerChanged() {
  SetModified(true);
  emit Changed();
}

QString CScrivet2Doc::Title() const { return path_.isEmpty() ? untitled_ : QFileInfo(path_).fileName(); }

}  // namespace scrivet
