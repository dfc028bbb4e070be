// The main frame's menus and the document/window handling around them.

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QTreeView>
#include <QMimeData>
#include <QUrl>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/scrivet2_view.h"
#include "app_test_support.h"

namespace scrivet::test {
namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<CMainFrame>(platform, dialogs, behaviour);
    frame->show();
  }
  QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  QStringList FrameTitles() {
    QStringList titles;
    for (QMdiSubWindow* window : frame->findChild<QMdiArea*>()->subWindowList()) titles << window->windowTitle();
    return titles;
  }
  // Texts of the menu bar's visible menus, and of the visible items of one menu.
  QStringList VisibleMenus() {
    QStringList titles;
    for (QAction* action : frame->menuBar()->actions())
      if (action->isVisible()) titles << action->text();
    return titles;
  }
  QStringList VisibleItems(const QString& menuTitle) {
    QStringList items;
    for (QAction* menuAction : frame->menuBar()->actions())
      if (menuAction->text() == menuTitle && menuAction->menu())
        for (QAction* action : menuAction->menu()->actions())
          if (action->isVisible() && !action->isSeparator()) items << action->text();
    return items;
  }
  void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  QTemporaryDir dir;
  ScriptedPlatform platform;
  ScriptedDialogs dialogs;
  BehaviourCatalogues behaviour;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, UndoAndRedoNameTheActiveDocumentsLastCommand) {
  CScrivet2Doc* doc = frame->NewDocument();
  dialogs.Ok("STR#", 1, "x");
  frame->ActiveView()->Controller().Add();
  auto edit = [this] { return frame->menuBar()->actions().at(1)->menu()->actions(); };
  EXPECT_EQ(edit()[0]->text(), "&Undo Add\tCtrl+Z");
  EXPECT_EQ(frame->windowTitle().toStdString(), "Scrivet 2 - [IFFFile1*]");
  edit()[0]->trigger();
  EXPECT_EQ(doc->File().ChunkCount(), 0u);
  EXPECT_EQ(frame->windowTitle().toStdString(), "Scrivet 2 - [IFFFile1]");
  EXPECT_FALSE(edit()[0]->isEnabled());
  EXPECT_EQ(edit()[1]->text(), "&Redo Add\tCtrl+Y");
  // Another document has a history of its own.
  frame->NewDocument();
  EXPECT_EQ(edit()[1]->text(), "&Redo\tCtrl+Y");
  EXPECT_FALSE(edit()[1]->isEnabled());
}

TEST_F(MainFrameTest, NewDocumentsAreNumberedAndOpenMaximized) {
  CScrivet2Doc* first = frame->NewDocument();
  CScrivet2Doc* second = frame->NewDocument();
  EXPECT_EQ(first->Title(), "IFFFile1");
  EXPECT_EQ(second->Title(), "IFFFile2");
  EXPECT_EQ(FrameTitles(), (QStringList{"IFFFile1", "IFFFile2"}));
  EXPECT_TRUE(frame->FramesOf(second).first()->isMaximized());
  EXPECT_EQ(frame->windowTitle().toStdString(), "Scrivet 2 - [IFFFile2]");
  second->ContainerChanged();
  EXPECT_EQ(frame->windowTitle().toStdString(), "Scrivet 2 - [IFFFile2*]");
}

TEST_F(MainFrameTest, ClosingAModifiedDocumentAsks) {
  CScrivet2Doc* doc = frame->NewDocument();
  doc->File().AddChunk(MakeTypeCode("STR#"), 1, "x", "abc", 3);
  doc->ContainerChanged();

  platform.answers.push_back(MessageAnswer::Cancel);
  EXPECT_FALSE(frame->CloseDocument(*doc));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Save changes to IFFFile1?");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(frame->Documents().size(), 1u);

  // Yes on a document without a file asks for a name, then saves there.
  platform.answers.push_back(MessageAnswer::Yes);
  platform.fileAnswers.push_back({Path("named")});
  EXPECT_TRUE(frame->CloseDocument(*doc));
  Settle();
  EXPECT_EQ(platform.dialogs.back().request.filter, "IFF Files (*.iff)");
  EXPECT_EQ(platform.dialogs.back().request.defaultName, "IFFFile1");
  EXPECT_TRUE(QFileInfo::exists(Path("named.iff")));
  EXPECT_TRUE(frame->Documents().empty());
  EXPECT_EQ(VisibleMenus(), (QStringList{"&File", "&View", "&Help"}));
}

TEST_F(MainFrameTest, ExitAsksForEveryModifiedDocumentAndCancelStops) {
  CScrivet2Doc* a = frame->NewDocument();
  frame->NewDocument();
  a->ContainerChanged();
  platform.answers.push_back(MessageAnswer::Cancel);
  EXPECT_FALSE(frame->CloseAllDocuments());
  EXPECT_EQ(frame->Documents().size(), 2u);
  platform.answers.push_back(MessageAnswer::No);
  EXPECT_TRUE(frame->CloseAllDocuments());
  Settle();
  EXPECT_TRUE(frame->Documents().empty());
  EXPECT_EQ(platform.unexpected, 0);
}

TEST_F(MainFrameTest, SecondWindowShowsTheSameDocumentAndFollowsChanges) {
  CScrivet2Doc* doc = frame->NewDocument();
  CChildFrame* second = frame->NewWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FrameTitles(), (QStringList{"IFFFile1:1", "IFFFile1:2"}));
  CScrivet2View* firstView = frame->FramesOf(doc).first()->View();

  dialogs.Ok("STR#", 5, "new");
  second->View()->Controller().Add();
  EXPECT_EQ(firstView->Controller().Resources().rowCount(), 1);

  // Closing one window of a modified document does not ask; the document stays.
  second->close();
  Settle();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(frame->Documents().size(), 1u);
  EXPECT_EQ(FrameTitles(), QStringList{"IFFFile1*"});
}

TEST_F(MainFrameTest, FailedSaveKeepsTheDocumentModified) {
  CScrivet2Doc* doc = frame->NewDocument();
  doc->ContainerChanged();
  platform.fileAnswers.push_back({Path("missing/dir/x.iff")});
  EXPECT_FALSE(frame->SaveDocument(*doc));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(platform.messages[0].text.startsWith("Couldn't save the file!"));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(doc->PathName().isEmpty());
}

TEST_F(MainFrameTest, RecentFilesKeepTheLastFour) {
  const char* names[] = {"a.iff", "b.iff", "c.iff", "d.iff", "e.iff"};
  for (const char* name : names) {
    WriteIffFile(Path(name), {{"STR#", 1, "", {}}});
    ASSERT_NE(frame->OpenDocument(Path(name)), nullptr);
  }
  QStringList recent = frame->RecentFiles();
  ASSERT_EQ(recent.size(), 4);
  EXPECT_TRUE(recent[0].endsWith("e.iff"));
  EXPECT_TRUE(recent[3].endsWith("b.iff"));
  EXPECT_TRUE(VisibleItems("&File").contains("&1 " + recent[0]));

  // Opening an open file again activates it instead of opening a copy.
  frame->OpenDocument(Path("c.iff"));
  EXPECT_EQ(frame->Documents().size(), 5u);
}

TEST_F(MainFrameTest, OpeningAFileThatCannotBeReadLeavesNoDocument) {
  EXPECT_EQ(frame->OpenDocument(Path("absent.iff")), nullptr);
  Settle();
  EXPECT_TRUE(frame->Documents().empty());
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(MainFrameTest, EditMenuState) {
  CScrivet2Doc doc(platform, "IFFFile1");
  CScrivet2View view(doc, dialogs, behaviour);

  auto enabledItems = [&view] {
    QMenu menu;
    view.FillEditMenu(menu);
    QStringList enabled;
    for (QAction* action : menu.actions())
      if (action->isEnabled()) enabled << action->text();
    return enabled;
  };
  // Empty document: only the commands without a selection.
  EXPECT_EQ(enabledItems(), (QStringList{"&Add...\tIns", "&Import...\tCtrl+I"}));
  doc.File().AddChunk(MakeTypeCode("STR#"), 1, "", nullptr, 0);
  doc.ContainerChanged();
  EXPECT_EQ(enabledItems().size(), 7);
}

TEST_F(MainFrameTest, EditShortcutsReachTheActiveView) {
  CScrivet2Doc* doc = frame->NewDocument();
  doc->File().AddChunk(MakeTypeCode("STR#"), 1, "", nullptr, 0);
  doc->ContainerChanged();
  QAction* del = nullptr;
  for (QAction* action : frame->actions())
    if (action->shortcut() == QKeySequence(QKeySequence(Qt::Key_Delete))) del = action;
  ASSERT_NE(del, nullptr);
  platform.answers.push_back(MessageAnswer::Yes);
  del->trigger();
  EXPECT_EQ(platform.MessageTexts(), QStringList{"Do you really want to delete the selected items?"});
  EXPECT_EQ(doc->File().CountOfType(MakeTypeCode("STR#")), 0u);
}

TEST_F(MainFrameTest, DoubleClickOpensTheResource) {
  CScrivet2Doc* doc = frame->NewDocument();
  doc->File().AddChunk(MakeTypeCode("BMP_"), 1, "", "BM", 2);
  doc->ContainerChanged();
  CScrivet2View* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  Q_EMIT view->ResourceList()->doubleClicked(view->Controller().Resources().index(0, 0));
  EXPECT_EQ(platform.MessageTexts(),
            QStringList{"This resource should be edited by exporting and importing it to a .BMP file!"});
}

TEST_F(MainFrameTest, FilesDroppedOnTheWindowOpen) {
  WriteIffFile(Path("dropped.iff"), {{"STR#", 1, "", {}}});
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Path("dropped.iff"))});
  EXPECT_TRUE(frame->OpenDroppedFiles(&mime));
  ASSERT_EQ(frame->Documents().size(), 1u);
  EXPECT_EQ(frame->Documents().front()->Title(), "dropped.iff");
}

TEST_F(MainFrameTest, GameFolderSettingIsStoredForTheNextStart) {
  platform.fileAnswers.push_back({"/games/The Sims"});
  frame->ChooseGameFolder();
  EXPECT_EQ(platform.settings.value("GameFolder").toString(), "/games/The Sims");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
  // Cancel changes nothing.
  platform.fileAnswers.push_back({});
  frame->ChooseGameFolder();
  EXPECT_EQ(platform.settings.value("GameFolder").toString(), "/games/The Sims");
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(MainFrameTest, CustomScriptThatCannotBeOpenedIsReported) {
  platform.fileAnswers.push_back({});
  frame->LoadCustomScript();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "script.txt");
  EXPECT_EQ(platform.dialogs[0].request.filter, "Text files (*.txt);;All files(*.*)");
  platform.fileAnswers.push_back({Path("missing.txt")});
  frame->LoadCustomScript();
  EXPECT_EQ(platform.MessageTexts(), QStringList{"Couldn't open file!"});
  EXPECT_EQ(platform.messages[0].caption, "Error");
  EXPECT_TRUE(platform.messages[0].hadParent);
}

TEST(ProgramTest, ScreenshotWritesAPicture) {
  QTemporaryDir dir;
  const QString file = dir.filePath("shown.iff");
  const QString png = dir.filePath("shot.png");
  WriteIffFile(file, {{"STR#", 128, "Strings", Bytes("abc")}, {"BHAV", 4096, "main", {}}, {"XYZW", 1, "", Bytes("raw")}});
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  env.remove("SIMS_DATA");
  program.setProcessEnvironment(env);
  program.start(SCRIVET2_BINARY, {"--screenshot", png, file});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  QImage image(png);
  EXPECT_FALSE(image.isNull());
  EXPECT_GT(image.width(), 600);
  EXPECT_TRUE(QString::fromLocal8Bit(program.readAllStandardOutput()).contains("shot.png"));

  // One resource's editor instead (here the hex editor), leaving the file as it was; a short
  // command line is refused.
  const std::vector<uint8_t> before = ReadBytes(file);
  program.start(SCRIVET2_BINARY, {"--screenshot", png, "--edit", "XYZW", "1", file});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  EXPECT_GT(QImage(png).width(), 100);
  EXPECT_EQ(ReadBytes(file), before);
  program.start(SCRIVET2_BINARY, {"--screenshot", png, "--edit", "STR#", file});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 2);
}

}  // namespace
}  // namespace scrivet::test
