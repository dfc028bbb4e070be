// The main frame's menus and the document/window handling around them.

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

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
  // Another document is numbered on, opens maximized and has a history of its own.
  CScrivet2Doc* second = frame->NewDocument();
  EXPECT_EQ(FrameTitles(), (QStringList{"IFFFile1", "IFFFile2"}));
  EXPECT_TRUE(frame->FramesOf(second).first()->isMaximized());
  EXPECT_EQ(frame->windowTitle().toStdString(), "Scrivet 2 - [IFFFile2]");
  EXPECT_FALSE(edit()[1]->isEnabled());
}

TEST_F(MainFrameTest, ClosingModifiedDocumentsAsksAndCancelStops) {
  CScrivet2Doc* doc = frame->NewDocument();
  frame->NewDocument();
  doc->File().AddChunk(MakeTypeCode("STR#"), 1, "x", "abc", 3);
  doc->ContainerChanged();
  platform.answers = {MessageAnswer::Cancel, MessageAnswer::Cancel};
  EXPECT_FALSE(frame->CloseAllDocuments());
  EXPECT_FALSE(frame->CloseDocument(*doc));
  EXPECT_EQ(frame->Documents().size(), 2u);
  // Yes on a document without a file asks for a name, then saves there.
  platform.answers.push_back(MessageAnswer::Yes);
  platform.fileAnswers.push_back({Path("named")});
  EXPECT_TRUE(frame->CloseAllDocuments());
  Settle();
  EXPECT_EQ(platform.messages.size(), 3u);
  EXPECT_EQ(platform.dialogs.back().request.defaultName, "IFFFile1");
  EXPECT_TRUE(QFileInfo::exists(Path("named.iff")));
  EXPECT_TRUE(frame->Documents().empty());
  EXPECT_EQ(platform.unexpected, 0);
}

TEST_F(MainFrameTest, ShortcutsAndDoubleClicksReachTheActiveView) {
  CScrivet2Doc* doc = frame->NewDocument();
  doc->File().AddChunk(MakeTypeCode("BMP_"), 1, "", "BM", 2);
  doc->ContainerChanged();
  CScrivet2View* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  Q_EMIT view->ResourceList()->doubleClicked(view->Controller().Resources().index(0, 0));
  EXPECT_EQ(platform.messages.size(), 1u);  // the BMP_ hint
  QAction* del = nullptr;
  for (QAction* action : frame->actions())
    if (action->shortcut() == QKeySequence(QKeySequence(Qt::Key_Delete))) del = action;
  ASSERT_NE(del, nullptr);
  platform.answers.push_back(MessageAnswer::Yes);
  del->trigger();
  EXPECT_EQ(doc->File().CountOfType(MakeTypeCode("BMP_")), 0u);
}

TEST_F(MainFrameTest, FilesDroppedOnTheWindowOpenAndUnreadableOnesLeaveNoDocument) {
  EXPECT_EQ(frame->OpenDocument(Path("absent.iff")), nullptr);
  Settle();
  WriteIffFile(Path("dropped.iff"), {{"STR#", 1, "", {}}});
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Path("dropped.iff"))});
  EXPECT_TRUE(frame->OpenDroppedFiles(&mime));
  ASSERT_EQ(frame->Documents().size(), 1u);
  EXPECT_EQ(frame->Documents().front()->Title(), "dropped.iff");
}

}  // namespace
}  // namespace scrivet::test
