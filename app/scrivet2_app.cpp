#include "app/scrivet2_app.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "app/editor_screenshot.h"
#include "app/main_frame.h"
#include "app/scrivet2_view.h"
#include "app/startup.h"
#include "editors/qt_text.h"

namespace scrivet {

void CScrivet2App::PrepareEnvironment(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
}

CScrivet2App::CScrivet2App(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Quorvane Applications"));
  setApplicationName(QStringLiteral("Scrivet 2"));
  setApplicationVersion(QStringLiteral(SCRIVET_VERSION));
}

CScrivet2App::~CScrivet2App() { frame_.reset(); }

int CScrivet2App::Start() {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Scrivet 2, an editor for the resource files of The Sims."));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                QStringLiteral("Open the files, write a picture of the main window to <png> and exit."),
                                QStringLiteral("png"));
  parser.addOption(screenshot);
  QCommandLineOption edit(QStringLiteral("edit"),
                          QStringLiteral("With --screenshot: --edit TYPE ID FILE writes a picture of that resource's "
                                         "editor instead (the hex editor for types without one), changing nothing."),
                          QStringLiteral("type"));
  parser.addOption(edit);
  parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("IFF files to open."), QStringLiteral("[files...]"));
  parser.process(*this);  // --help and --version print and exit here

  const bool shooting = parser.isSet(screenshot);
  if (parser.isSet(edit) && !shooting) {
    std::fprintf(stderr, "--edit needs --screenshot\n");
    return 2;
  }
  platform_ = std::make_unique<QtPlatform>(!shooting);

  LoadBehaviourSupport(FindGameFolder(*platform_), applicationDirPath(), behaviour_, *platform_);

  frame_ = std::make_unique<CMainFrame>(*platform_, dialogs_, behaviour_);
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(edit)) return TakeEditorScreenshot(parser.value(screenshot), parser.value(edit), files);
  if (files.isEmpty()) {
    frame_->NewDocument();
  } else {
    for (const QString& file : files) frame_->OpenDocument(file);
  }
  if (shooting) return TakeScreenshot(parser.value(screenshot));
  if (frame_->Documents().empty() && !files.isEmpty()) return 1;
  frame_->show();
  return -1;
}

int CScrivet2App::TakeScreenshot(const QString& path) {
  frame_->resize(1024, 720);
  frame_->show();
  // Show the first resource type's list when there is one, the way a user would look at it.
  processEvents();
  QPixmap picture = frame_->grab();
  if (!picture.save(path, "PNG")) {
    std::fprintf(stderr, "Couldn't write the screenshot to %s\n", qPrintable(path));
    return 1;
  }
  std::printf("Screenshot written to %s\n", qPrintable(QFileInfo(path).absoluteFilePath()));
  return 0;
}

int CScrivet2App::TakeEditorScreenshot(const QString& path, const QString& typeText, const QStringList& args) {
  TypeCode type = 0;
  bool idOk = false;
  const uint id = args.size() == 2 ? args[0].toUInt(&idOk, 0) : 0;
  if (args.size() != 2 || !ParseTypeCode(ToCp1252(typeText), type) || !idOk || id > 0xFFFF) {
    std::fprintf(stderr, "usage: scrivet2 --screenshot OUT.png --edit TYPE ID FILE\n");
    return 2;
  }
  if (!frame_->OpenDocument(args[1])) return 1;
  frame_->resize(1024, 720);
  frame_->show();
  processEvents();
  switch (ShootEditor(frame_->ActiveView()->Controller(), type, uint16_t(id), path)) {
    case EditorShot::Saved:
      std::printf("Screenshot written to %s\n", qPrintable(QFileInfo(path).absoluteFilePath()));
      return 0;
    case EditorShot::NoSuchResource:
      std::fprintf(stderr, "%s has no resource %s %u\n", qPrintable(args[1]), qPrintable(typeText), id);
      return 1;
    case EditorShot::NoWindow:
      std::fprintf(stderr, "%s %u opened no window\n", qPrintable(typeText), id);
      return 1;
    case EditorShot::CantWrite: break;
  }
  std::fprintf(stderr, "Couldn't write the screenshot to %s\n", qPrintable(path));
  return 1;
}

}  // namespace scrivet
