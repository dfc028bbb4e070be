#include "app/startup.h"

#include <QSettings>
#include <filesystem>

#include "app/behaviour_support.h"
#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/primitive_catalogue.h"

namespace scrivet {

namespace {

const QString kError = QStringLiteral("Error");

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

PrimitiveCatalogue& Primitives() {
  static PrimitiveCatalogue catalogue;
  return catalogue;
}

FunctionCatalogue& Functions() {
  static FunctionCatalogue catalogue;
  return catalogue;
}

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

bool LoadBehaviourSupport(const QString& gameFolder, const QString& programFolder, Platform& platform) {
  const QString scriptFile = WithTrailingSeparator(programFolder) + QStringLiteral("script.txt");
  return LoadBehaviourCatalogues(ToPath(gameFolder), ToPath(scriptFile), Functions(), Primitives(),
                                 [&](const std::string& message) {
                                   // Start-up messages have no owner window.
                                   platform.Message(nullptr, QString::fromStdString(message), kError,
                                                    MessageIcon::Error);
                                 });
}

bool LoadCustomScript(const QString& path, Platform& platform, QWidget* owner) {
  return Primitives().LoadCustom(ToPath(path), [&](const std::string& message) {
    platform.Message(owner, QString::fromStdString(message), kError, MessageIcon::Error);
  });
}

bool ScriptReady() { return Primitives().scriptReady; }

}  // namespace scrivet
