#pragma once
// The application object: command line, start-up and the main frame.

#include <QApplication>
#include <memory>

#include "app/qt_view_dialogs.h"
#include "behaviour/behaviour_startup.h"
#include "editors/qt_platform.h"

namespace scrivet {

class CMainFrame;

class CScrivet2App : public QApplication {
  Q_OBJECT

 public:
  // Before the application object exists: a screenshot run needs no display.
  static void PrepareEnvironment(int argc, char** argv);

  CScrivet2App(int& argc, char** argv);
  ~CScrivet2App() override;

  // Start-up and command line. Returns an exit code when the program is already done
  // (--help, --version, --screenshot, failures), or -1 to run the event loop.
  int Start();

 private:
  int TakeScreenshot(const QString& path);
  // --edit TYPE with the positional arguments ID FILE.
  int TakeEditorScreenshot(const QString& path, const QString& typeText, const QStringList& args);

  std::unique_ptr<QtPlatform> platform_;
  QtViewDialogs dialogs_;
  BehaviourCatalogues behaviour_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace scrivet
