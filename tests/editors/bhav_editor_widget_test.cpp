// The routine editor on a real routine, opened through the editor table as the resource list does.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "editors/bhav_editor_dialog.h"
#include "editors/select_function_dialog.h"
#include "tests/editors/when_open.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

void Trigger(QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions())
    if (action->text() == text) action->trigger();
  delete menu;
}

class BhavEditorWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString path = QStringLiteral(SCRIVET_CORPUS_DIR "/francot514+FreeSims/npcs.far.members/Bills.iff");
    file_ = IffFile::OpenPath(path.toStdString());
    if (!file_) GTEST_SKIP() << "no corpus file " << path.toStdString();
    LoadBehaviourCatalogues(SCRIVET_GAMEDATA_DIR, SCRIVET_SCRIPT_PATH, behaviour_);
    privateFunctions_ = PrivateFunctions(*file_);
    IffChunk* chunk = file_->Find(ResourceBhav::kType, 4103);  // 12 lines; line 3 calls routine 4105 of the file
    ASSERT_TRUE(chunk && routine_.Load(*file_, *chunk));
  }
  // Runs the editor with `action` on its dialog; returns the stored routine.
  ResourceBhav Edit(std::function<void(BhavEditorDialog&)> action) {
    WhenOpen<BhavEditorDialog>(action, true);
    context_ = std::make_unique<EditorContext>(EditorContext{*file_, nullptr, platform_, behaviour_.primitives,
                                                             behaviour_.functions, privateFunctions_, {}});
    EXPECT_EQ(RunEditorFor(TypeRows(), routine_, *context_), EditorResult::Ok);
    ResourceBhav stored;
    EXPECT_TRUE(stored.Load(*file_, *file_->Find(ResourceBhav::kType, 4103)));
    return stored;
  }

  ScriptedPlatform platform_;
  BehaviourCatalogues behaviour_;
  FunctionList privateFunctions_;
  std::unique_ptr<IffFile> file_;
  ResourceBhav routine_;
  std::unique_ptr<EditorContext> context_;
};

TEST_F(BhavEditorWidget, EditsAParameterRunsALineCommandAndOkStoresTheRoutine) {
  const ResourceBhav stored = Edit([this](BhavEditorDialog& dialog) {
    QTreeWidget& list = dialog.LineList();
    ASSERT_EQ(list.topLevelItemCount(), 12);
    EXPECT_EQ(list.topLevelItem(3)->text(1), "(priv:) set graphic by state");
    list.setCurrentItem(list.topLevelItem(1));

    QLineEdit& parameter = dialog.NumberBox(BhavEditorDialog::Box::Param2);
    parameter.selectAll();
    QTest::keyClicks(&parameter, "-2");
    EXPECT_EQ(dialog.HexBox(2).text(), "FE");
    QTest::keyClicks(&parameter, "x");  // no number: left as typed, nothing applied
    EXPECT_EQ(dialog.Logic().Lines()[1].OperandWord(1), -2);
    parameter.setText("-2");

    Trigger(dialog.ContextMenu(), "&Add");
    EXPECT_EQ(list.topLevelItemCount(), 13);
    QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Insert);  // line 12 is selected: a new line in front of it
    EXPECT_EQ(list.topLevelItem(13)->text(2), "12, 12");
    list.setCurrentItem(list.topLevelItem(1));  // line 10 jumps to it
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(platform_.messages.size(), 1u);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), &dialog.NumberBox(BhavEditorDialog::Box::Function));
    dialog.OkButton().click();
  });
  ASSERT_EQ(stored.instructions.size(), 14u);
  EXPECT_EQ(stored.instructions[1].OperandWord(1), -2);
  EXPECT_FALSE(context_->openAfterClose.requested);
}

TEST_F(BhavEditorWidget, FunctionPickerAndCalledRoutine) {
  const ResourceBhav stored = Edit([this](BhavEditorDialog& dialog) {
    dialog.LineList().setCurrentItem(dialog.LineList().topLevelItem(0));
    WhenOpen<SelectFunctionDialog>([this](SelectFunctionDialog& picker) {
      QComboBox& functions = picker.FunctionList();
      EXPECT_EQ(functions.currentText(), "Expression") << "opcode 2 chosen at first";
      functions.setCurrentIndex(functions.findText("----------"));
      picker.OkButton().click();
      EXPECT_EQ(platform_.messages.size(), 1u);  // a separator is refused
      functions.setCurrentIndex(functions.findText("(glob:) Idle"));
      picker.OkButton().click();
    }, true);
    dialog.FunctionButton().click();
    EXPECT_EQ(dialog.NumberBox(BhavEditorDialog::Box::Function).text(), "256");
    platform_.answers = {MessageAnswer::Ok};
    dialog.OfferCalledRoutine(3);  // answered OK: this editor closes with its edits
  });
  EXPECT_TRUE(context_->openAfterClose.requested);
  EXPECT_EQ(context_->openAfterClose.id, 4105);
  EXPECT_EQ(stored.instructions[0].opcode, 256);
}

}  // namespace
}  // namespace scrivet
