#include "app/startup.h"

#include <QSettings>
#include <filesystem>

#include "behaviour/behaviour_startup.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

const QString kError = QStringLiteral("Error");

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

QString WithTrailingSeparator(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) return folder;
  return folder + QLatin1Char('/');
}

QString FindGameFolder(Platform& platform) {
  QString folder = qEnvironmentVariable("SIMS_DATA");
  if (folder.isEmpty()) folder = platform.Setting(QStringLiteral("GameFolder")).toString();
#ifdef Q_OS_WIN
  if (folder.isEmpty()) {
    QSettings registry(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Maxis\\The Sims"), QSettings::NativeFormat);
    folder = registry.value(QStringLiteral("SIMS_DATA")).toString();
  }
#endif
  return WithTrailingSeparator(folder);
}

bool LoadBehaviourSupport(const QString& gameFolder, const QString& programFolder, BehaviourCatalogues& catalogues,
                          Platform& platform) {
  const QString scriptFile = WithTrailingSeparator(programFolder) + QStringLiteral("script.txt");
  const BehaviourError error = LoadBehaviourCatalogues(ToPath(gameFolder), ToPath(scriptFile), catalogues);
  // Start-up messages have no owner window.
  if (error != BehaviourError::None) platform.Message(nullptr, BehaviourErrorText(error), kError, MessageIcon::Error);
  return error == BehaviourError::None;
}

bool LoadCustomScript(const QString& path, PrimitiveCatalogue& primitives, Platform& platform, QWidget* owner) {
  const BehaviourError error = primitives.LoadCustom(ToPath(path));
  if (error == BehaviourError::None) return true;
  platform.Message(owner,
                   error == BehaviourError::CantOpenScript ? QStringLiteral("Couldn't open file!")
                                                           : BehaviourErrorText(error),
                   kError, MessageIcon::Error);
  return false;
}

}  // namespace scrivet
