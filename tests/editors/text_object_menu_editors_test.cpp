// The strings, object definition and interaction menu editors, each opened through the
// application's table on a real resource, changed and confirmed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "codecs/type_table.h"
#include "editors/objd_editor_dialog.h"
#include "editors/string_table_editor_dialog.h"
#include "editors/ttab_editor_dialog.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

const std::filesystem::path kCalendar = std::filesystem::path(SCRIVET_CORPUS_DIR) /
                                        "FaithBeam+Sims-1-Complete-Collection-Widescreen-Patcher/dd_domcal.iff";

class TextObjectMenuEditors : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = IffFile::OpenPath(kCalendar);
    if (!file_) GTEST_SKIP() << "no corpus file " << kCalendar;
  }

  // Opens chunk (type, id) in its editor and runs `action` on the dialog once it is up.
  template <class Dialog>
  EditorResult Run(TypeCode type, uint16_t id, std::function<void(Dialog&)> action) {
    IffChunk* chunk = file_->Find(type, id);
    std::unique_ptr<IffResource> resource = CreateResourceForType(type);
    EXPECT_TRUE(chunk && resource->Load(*file_, *chunk));
    QTimer::singleShot(0, [action] {
      auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      action(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    EditorContext context{*file_, nullptr, platform_, behaviour_.primitives, behaviour_.functions, functions_, {}};
    return RunEditorFor(TypeRows(), *resource, context);
  }

  template <class R>
  R Stored(TypeCode type, uint16_t id) {
    R resource;
    IffChunk* chunk = file_->Find(type, id);
    EXPECT_TRUE(chunk && resource.Load(*file_, *chunk));
    return resource;
  }

  std::unique_ptr<IffFile> file_;
  ScriptedPlatform platform_;
  BehaviourCatalogues behaviour_;
  FunctionList functions_;
};

TEST_F(TextObjectMenuEditors, StringsEditorKeepsTheLineBreaksOfAnEditedText) {
  const ResourceStr before = Stored<ResourceStr>(ResourceStr::kType, 301);
  const EditorResult result = Run<StringTableEditorDialog>(ResourceStr::kType, 301, [](StringTableEditorDialog& d) {
    EXPECT_FALSE(d.TextBox().isEnabled());
    EXPECT_EQ(d.TextBox().toPlainText(), QStringLiteral("No item selected"));
    d.ItemList().selectRow(1);
    QTest::keyClick(&d.TextBox(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&d.TextBox(), "?");
    QTest::keyClick(&d.TextBox(), Qt::Key_Z, Qt::ControlModifier);  // the dialog's undo, not the box's
    EXPECT_FALSE(d.Logic().CanUndo());
    QTest::keyClick(&d.TextBox(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&d.TextBox(), "!");
    QTest::keyClick(&d.TextBox(), Qt::Key_Return);
    QTest::keyClicks(&d.TextBox(), "x");
    d.OkButton().click();
  });
  ASSERT_EQ(result, EditorResult::Ok);
  const ResourceStr after = Stored<ResourceStr>(ResourceStr::kType, 301);
  EXPECT_EQ(after.items[1].slots[0].value, before.items[1].slots[0].value + "!\r\nx");
  EXPECT_EQ(after.items[0], before.items[0]);
  EXPECT_EQ(after.items[1].slots[0].description, before.items[1].slots[0].description);
}

TEST_F(TextObjectMenuEditors, ObjectDefinitionEditorStoresATypedField) {
  const EditorResult result = Run<ObjdEditorDialog>(ResourceObjd::kType, 16819, [](ObjdEditorDialog& d) {
    QTest::keyClicks(&d.FindBox(), "sale");
    EXPECT_EQ(d.FieldList().currentItem()->text(0), QStringLiteral("Sale price"));
    EXPECT_TRUE(d.HelpBox().toPlainText().startsWith(QStringLiteral("Sale price\n\nNo Description.")));
    d.Box(NumberBase::Decimal).selectAll();
    QTest::keyClicks(&d.Box(NumberBase::Decimal), "-2");
    EXPECT_EQ(d.Box(NumberBase::Hex).text(), QStringLiteral("FFFFFFFE"));
    EXPECT_EQ(d.FieldList().currentItem()->text(1), QStringLiteral("-2"));
    d.OkButton().click();
  });
  ASSERT_EQ(result, EditorResult::Ok);
  uint32_t price = 0;
  Stored<ResourceObjd>(ResourceObjd::kType, 16819).ReadField(68, 2, price);
  EXPECT_EQ(price, 0xFFFEu);
}

TEST_F(TextObjectMenuEditors, InteractionMenuEditorAddsTheMissingMenuTexts) {
  static constexpr TypeCode kTexts = MakeTypeCode("TTAs");
  ASSERT_EQ(file_->Find(kTexts, 129), nullptr);
  const EditorResult result = Run<TtabEditorDialog>(ResourceTtab::kType, 129, [this](TtabEditorDialog& d) {
    QTest::keyClicks(&d.NameBox(), "Look");
    EXPECT_EQ(d.InteractionList().item(0)->text(), QStringLiteral("#0: Look"));
    d.AdvertisementList().setCurrentItem(d.AdvertisementList().topLevelItem(3));
    d.NumberBox(TtabNumber::Max).setText(QStringLiteral("70000"));
    d.OkButton().click();  // refused: the dialog stays open
    ASSERT_TRUE(d.isVisible());
    EXPECT_EQ(platform_.MessageTexts(), QStringList{QStringLiteral("Please enter an integer between 0 and 65535.")});
    d.NumberBox(TtabNumber::Max).setText(QStringLiteral("40"));
    d.OkButton().click();
  });
  ASSERT_EQ(result, EditorResult::Ok);
  EXPECT_EQ(Stored<ResourceTtab>(ResourceTtab::kType, 129).interactions[0].advertisements[7].max, 40);
  const IffChunk* texts = file_->Find(kTexts, 129);
  ASSERT_NE(texts, nullptr);
  EXPECT_EQ(texts->name, "");
  EXPECT_EQ(texts->flags, IffChunk::kDefaultFlags);
  EXPECT_EQ(Stored<ResourceStr>(kTexts, 129).items.at(0).slots[0].value, "Look");
}

}  // namespace
}  // namespace scrivet
