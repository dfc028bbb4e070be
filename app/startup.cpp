#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "core/iff_file.h"

#ifdef SCRIVET_HAVE_BEHAVIOUR
#include "app/behaviour_support.h"
#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/primitive_catalogue.h"
#endif

namespace scrivet {

namespace {

const QString kError = QStringLiteral("Error");
bool g_scriptReady = false;

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

#ifdef SCRIVET_HAVE_BEHAVIOUR
PrimitiveCatalogue& Primitives() {
  static PrimitiveCatalogue catalogue;
  return catalogue;
}

FunctionCatalogue& Functions() {
  static FunctionCatalogue catalogue;
  return catalogue;
}
#endif

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
  const QString behaviourFile = gameFolder + QStringLiteral("GameData/Behavior.iff");
  const QString globalFolder = gameFolder + QStringLiteral("GameData/Global/");
  const QString scriptFile = WithTrailingSeparator(programFolder) + QStringLiteral("script.txt");
  g_scriptReady = false;
#ifdef SCRIVET_HAVE_BEHAVIOUR
  (void)behaviourFile;
  (void)globalFolder;
  g_scriptReady = LoadBehaviourCatalogues(ToPath(gameFolder), ToPath(scriptFile), Functions(), Primitives(),
                                          [&](const std::string& message) {
                                            platform.Message(nullptr, QString::fromStdString(message), kError,
                                                             MessageIcon::Error);
                                          });
#else
  // Without the behaviour catalogues only the presence of the files can be checked.
  int error = 0;
  if (!IffFile::OpenPath(ToPath(behaviourFile), error) || error != IffFile::kErrorNone) {
    platform.Message(nullptr, QStringLiteral("Can't load The Sims\\GameData\\Behavior.iff!"), kError,
                     MessageIcon::Error);
    return false;
  }
  (void)globalFolder;
  if (!QFileInfo(scriptFile).isFile()) {
    platform.Message(nullptr, QStringLiteral("Can't open script.txt!"), kError, MessageIcon::Error);
    return false;
  }
#endif
  return g_scriptReady;
}

bool LoadCustomScript(const QString& path, Platform& platform, QWidget* owner) {
#ifdef SCRIVET_HAVE_BEHAVIOUR
  bool ok = Primitives().LoadCustom(ToPath(path), [&](const std::string& message) {
    platform.Message(owner, QString::fromStdString(message), kError, MessageIcon::Error);
  });
  g_scriptReady = Primitives().scriptReady;
  return ok;
#else
  if (!QFileInfo(path).isFile()) {
    platform.Message(owner, QStringLiteral("Couldn't open file!"), kError, MessageIcon::Error);
    return false;
  }
  return false;
#endif
}

bool ScriptReady() { return g_scriptReady; }

}  // namespace scrivet
