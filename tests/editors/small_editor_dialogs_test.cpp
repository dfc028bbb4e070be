// The small editors, each opened through the application's table on a real resource (a generated
// career), changed and confirmed.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/type_table.h"
#include "editors/bcon_editor_dialog.h"
#include "editors/carr_editor_dialog.h"
#include "editors/name_editor_dialogs.h"
#include "editors/objd_editor_dialog.h"
#include "editors/objf_editor_dialog.h"
#include "editors/string_table_editor_dialog.h"
#include "editors/ttab_editor_dialog.h"
#include "tests/editors/when_open.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = SCRIVET_CORPUS_DIR;
const fs::path kPainting = kCorpus / "Secondhand-Feraligatr+Sims-1-Programs-for-Legacy-Collection/PMPaintingTemplate.iff";
const fs::path kCalendar = kCorpus / "FaithBeam+Sims-1-Complete-Collection-Widescreen-Patcher/dd_domcal.iff";

void Type(QWidget& box, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(&box)) line->selectAll();
  if (auto* arrows = dynamic_cast<ArrowNumberBox*>(&box)) arrows->selectAll();
  QTest::keyClicks(&box, text);
}

class SmallEditorDialogs : public ::testing::Test {
 protected:
  // Runs the editor of chunk (type, id) with `action` on its dialog; it must end with OK.
  template <class Dialog>
  void Edit(TypeCode type, uint16_t id, std::function<void(Dialog&)> action) {
    privateFunctions_ = PrivateFunctions(*file_);
    IffChunk* chunk = file_->Find(type, id);
    ASSERT_TRUE(chunk);
    std::unique_ptr<IffResource> resource = CreateResourceForType(type);
    ASSERT_TRUE(resource->Load(*file_, *chunk));
    WhenOpen<Dialog>(action);
    context_ = std::make_unique<EditorContext>(EditorContext{
        *file_, nullptr, platform_, behaviour_.primitives, behaviour_.functions, privateFunctions_, {}});
    EXPECT_EQ(RunEditorFor(TypeRows(), *resource, *context_), EditorResult::Ok);
  }
  template <class R>
  R Stored(uint16_t id, TypeCode type = R::kType) {
    R resource;
    IffChunk* chunk = file_->Find(type, id);
    EXPECT_TRUE(chunk && resource.Load(*file_, *chunk));
    return resource;
  }
  bool OpenCorpusFile(const fs::path& path) { return (file_ = IffFile::OpenPath(path)) != nullptr; }
  ScriptedPlatform platform_;
  BehaviourCatalogues behaviour_;
  FunctionList privateFunctions_;
  std::unique_ptr<IffFile> file_;
  std::unique_ptr<EditorContext> context_;
};

TEST_F(SmallEditorDialogs, Career) {
  ResourceCarr career;
  career.careerName = "Law";
  for (int i = 0; i < 3; ++i) career.AddJob();
  file_ = IffFile::CreateEmpty(false);
  ASSERT_TRUE(career.SaveAs(*file_, ResourceCarr::kType, 9, "", IffChunk::kDefaultFlags));
  Edit<CarrEditorDialog>(ResourceCarr::kType, 9, [&](CarrEditorDialog& dialog) {
    platform_.answers = {MessageAnswer::No};
    dialog.AddJob();
    EXPECT_EQ(dialog.JobList().topLevelItemCount(), 3);
    dialog.JobList().setCurrentItem(dialog.JobList().topLevelItem(2));
    Type(dialog.TextBox(JobText::Name), "Boss ");
    EXPECT_EQ(dialog.JobList().topLevelItem(2)->text(1), "Boss ");
    Type(dialog.NumberBox(JobBox::Endtime), "24");
    dialog.OkButton().click();
    ASSERT_TRUE(dialog.isVisible()) << "24 is refused";
    Type(dialog.NumberBox(JobBox::Endtime), "17");
    dialog.OkButton().click();
  });
  EXPECT_EQ(platform_.messages.size(), 2u);
  const ResourceCarr stored = Stored<ResourceCarr>(9);
  ASSERT_EQ(stored.jobs.size(), 3u);
  EXPECT_EQ(stored.jobs[2].jobName, "Boss ");
  EXPECT_EQ(stored.jobs[2].endHour, 17);
}

TEST_F(SmallEditorDialogs, ConstantsShowTheirLabelsAndTheFunctionTableOpensARoutine) {
  if (!OpenCorpusFile(kPainting)) GTEST_SKIP() << "no corpus file " << kPainting;
  Edit<BconEditorDialog>(ResourceBcon::kType, 4096, [](BconEditorDialog& dialog) {
    QTreeWidget& list = dialog.ValueList();
    EXPECT_EQ(list.topLevelItem(1)->text(2), "Max Fun");
    list.setCurrentItem(list.topLevelItem(1));
    Type(dialog.ValueBox(), "-1");
    dialog.OkButton().click();
  });
  EXPECT_EQ(Stored<ResourceBcon>(4096).values.at(1), -1);

  Edit<ObjfEditorDialog>(ResourceObjf::kType, 16807, [](ObjfEditorDialog& dialog) {
    QTreeWidget& list = dialog.EntryList();
    EXPECT_EQ(list.topLevelItem(0)->text(3), "init common");
    Type(dialog.IdBox(ObjfBox::Check), "70000");
    dialog.OkButton().click();
    ASSERT_TRUE(dialog.isVisible()) << "70000 is refused";
    Type(dialog.IdBox(ObjfBox::Check), "4095");
    Q_EMIT dialog.IdBox(ObjfBox::Check).editingFinished();  // as leaving the box does
    EXPECT_EQ(list.topLevelItem(0)->text(4), "(missing)");
    dialog.OpenButton(ObjfBox::Action).click();
  });
  EXPECT_TRUE(context_->openAfterClose.requested);
  EXPECT_EQ(context_->openAfterClose.type, ResourceBhav::kType);
  EXPECT_EQ(context_->openAfterClose.id, 0x1001);
  EXPECT_EQ(Stored<ResourceObjf>(16807).entries[0], (FunctionEntry{4095, 0x1001}));
}

TEST_F(SmallEditorDialogs, NamesKeepTheirSpacesAndStringsTheLineBreaksOfAnEditedText) {
  if (!OpenCorpusFile(kCalendar)) GTEST_SKIP() << "no corpus file " << kCalendar;
  Edit<FwavEditorDialog>(ResourceFwav::kType, 3, [](FwavEditorDialog& dialog) {
    Type(dialog.NameBox(), "ring  ");
    dialog.OkButton().click();
  });
  EXPECT_EQ(Stored<ResourceFwav>(3).soundName, "ring  ");
  Edit<GlobEditorDialog>(ResourceGlob::kType, 128, [](GlobEditorDialog& dialog) {
    Type(dialog.NameBox(), " Globals");
    dialog.OkButton().click();
  });
  EXPECT_EQ(Stored<ResourceGlob>(128).fileName, " Globals");

  const ResourceStr before = Stored<ResourceStr>(301);
  Edit<StringTableEditorDialog>(ResourceStr::kType, 301, [](StringTableEditorDialog& d) {
    EXPECT_FALSE(d.TextBox().isEnabled());
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
  const ResourceStr after = Stored<ResourceStr>(301);
  EXPECT_EQ(after.items[1].slots[0].value, before.items[1].slots[0].value.str() + "!\r\nx");
  EXPECT_EQ(after.items[0], before.items[0]);
  EXPECT_EQ(after.items[1].slots[0].description, before.items[1].slots[0].description);
}

TEST_F(SmallEditorDialogs, ObjectDefinitionStoresATypedFieldAndInteractionsAddTheirMissingTexts) {
  if (!OpenCorpusFile(kCalendar)) GTEST_SKIP() << "no corpus file " << kCalendar;
  Edit<ObjdEditorDialog>(ResourceObjd::kType, 16819, [](ObjdEditorDialog& d) {
    QTest::keyClicks(&d.FindBox(), "sale");
    EXPECT_EQ(d.FieldList().currentItem()->text(0), QStringLiteral("Sale price"));
    d.Box(NumberBase::Decimal).selectAll();
    QTest::keyClicks(&d.Box(NumberBase::Decimal), "-2");
    EXPECT_EQ(d.Box(NumberBase::Hex).text(), QStringLiteral("FFFFFFFE"));
    EXPECT_EQ(d.FieldList().currentItem()->text(1), QStringLiteral("-2"));
    d.OkButton().click();
  });
  uint32_t price = 0;
  Stored<ResourceObjd>(16819).ReadField(68, 2, price);
  EXPECT_EQ(price, 0xFFFEu);

  static constexpr TypeCode kTexts = MakeTypeCode("TTAs");
  ASSERT_EQ(file_->Find(kTexts, 129), nullptr);
  Edit<TtabEditorDialog>(ResourceTtab::kType, 129, [this](TtabEditorDialog& d) {
    QTest::keyClicks(&d.NameBox(), "Look");
    EXPECT_EQ(d.InteractionList().item(0)->text(), QStringLiteral("#0: Look"));
    d.AdvertisementList().setCurrentItem(d.AdvertisementList().topLevelItem(3));
    d.NumberBox(TtabNumber::Max).setText(QStringLiteral("70000"));
    d.OkButton().click();  // refused: the dialog stays open
    ASSERT_TRUE(d.isVisible());
    EXPECT_EQ(platform_.messages.size(), 1u);
    d.NumberBox(TtabNumber::Max).setText(QStringLiteral("40"));
    d.OkButton().click();
  });
  EXPECT_EQ(Stored<ResourceTtab>(129).interactions[0].advertisements[7].max, 40);
  ASSERT_NE(file_->Find(kTexts, 129), nullptr);
  EXPECT_EQ(file_->Find(kTexts, 129)->flags, IffChunk::kDefaultFlags);
  EXPECT_EQ(Stored<ResourceStr>(129, kTexts).items.at(0).slots[0].value, "Look");
}

}  // namespace
}  // namespace scrivet
