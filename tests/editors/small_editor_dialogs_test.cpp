// The career, constants, sound, semi-global and function table editors, each opened through the
// application's table on a real resource (a generated career), changed and confirmed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
#include "editors/objf_editor_dialog.h"
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
  // The editor of chunk (type, id) of `file`, with `action` run on the dialog once it is up.
  template <class Dialog>
  EditorResult Run(TypeCode type, uint16_t id, std::function<void(Dialog&)> action) {
    privateFunctions_ = PrivateFunctions(*file_);
    IffChunk* chunk = file_->Find(type, id);
    EXPECT_TRUE(chunk);
    if (!chunk) return EditorResult::NotHandled;
    std::unique_ptr<IffResource> resource = CreateResourceForType(type);
    EXPECT_TRUE(resource->Load(*file_, *chunk));
    QTimer::singleShot(0, [action] {
      auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      action(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    context_ = std::make_unique<EditorContext>(
        EditorContext{*file_, nullptr, platform_, behaviour_.primitives, behaviour_.functions, privateFunctions_,
                      {false, 0, 0}});
    return RunEditorFor(TypeRows(), *resource, *context_);
  }

  template <class R>
  R Stored(uint16_t id) {
    R resource;
    EXPECT_TRUE(resource.Load(*file_, *file_->Find(R::kType, id)));
    return resource;
  }

  bool OpenCorpusFile(const fs::path& path) {
    file_ = IffFile::OpenPath(path);
    return file_ != nullptr;
  }

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

  EXPECT_EQ(Run<CarrEditorDialog>(ResourceCarr::kType, 9, [&](CarrEditorDialog& dialog) {
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
            }),
            EditorResult::Ok);
  EXPECT_EQ(platform_.messages.size(), 2u);
  const ResourceCarr stored = Stored<ResourceCarr>(9);
  ASSERT_EQ(stored.jobs.size(), 3u);
  EXPECT_EQ(stored.jobs[2].jobName, "Boss ");
  EXPECT_EQ(stored.jobs[2].endHour, 17);
}

TEST_F(SmallEditorDialogs, ConstantsShowTheirLabels) {
  if (!OpenCorpusFile(kPainting)) GTEST_SKIP() << "no corpus file " << kPainting;
  EXPECT_EQ(Run<BconEditorDialog>(ResourceBcon::kType, 4096, [](BconEditorDialog& dialog) {
              QTreeWidget& list = dialog.ValueList();
              EXPECT_EQ(list.topLevelItem(1)->text(2), "Max Fun");
              list.setCurrentItem(list.topLevelItem(1));
              Type(dialog.ValueBox(), "-1");
              dialog.OkButton().click();
            }),
            EditorResult::Ok);
  EXPECT_EQ(Stored<ResourceBcon>(4096).values.at(1), -1);
}

TEST_F(SmallEditorDialogs, SoundAndSemiGlobalNamesKeepTheirSpaces) {
  if (!OpenCorpusFile(kCalendar)) GTEST_SKIP() << "no corpus file " << kCalendar;
  EXPECT_EQ(Run<FwavEditorDialog>(ResourceFwav::kType, 3, [](FwavEditorDialog& dialog) {
              EXPECT_EQ(dialog.NameBox().text(), "art_approve_vox");
              Type(dialog.NameBox(), "ring  ");
              dialog.OkButton().click();
            }),
            EditorResult::Ok);
  EXPECT_EQ(Stored<ResourceFwav>(3).soundName, "ring  ");
  EXPECT_EQ(Run<GlobEditorDialog>(ResourceGlob::kType, 128, [](GlobEditorDialog& dialog) {
              Type(dialog.NameBox(), " Globals");
              dialog.OkButton().click();
            }),
            EditorResult::Ok);
  EXPECT_EQ(Stored<ResourceGlob>(128).fileName, " Globals");
}

TEST_F(SmallEditorDialogs, FunctionTableNamesRoutinesAndOpensOne) {
  if (!OpenCorpusFile(kPainting)) GTEST_SKIP() << "no corpus file " << kPainting;
  EXPECT_EQ(Run<ObjfEditorDialog>(ResourceObjf::kType, 16807, [](ObjfEditorDialog& dialog) {
              QTreeWidget& list = dialog.EntryList();
              EXPECT_EQ(list.topLevelItem(0)->text(3), "init common");
              EXPECT_TRUE(dialog.DescriptionBox().toPlainText().startsWith("The init tree"));
              Type(dialog.IdBox(ObjfBox::Check), "70000");
              dialog.OkButton().click();
              ASSERT_TRUE(dialog.isVisible()) << "70000 is refused";
              Type(dialog.IdBox(ObjfBox::Check), "4095");
              Q_EMIT dialog.IdBox(ObjfBox::Check).editingFinished();  // as leaving the box does
              EXPECT_EQ(list.topLevelItem(0)->text(4), "(missing)");
              dialog.OpenButton(ObjfBox::Action).click();
            }),
            EditorResult::Ok);
  EXPECT_TRUE(context_->openAfterClose.requested);
  EXPECT_EQ(context_->openAfterClose.type, ResourceBhav::kType);
  EXPECT_EQ(context_->openAfterClose.id, 0x1001);
  EXPECT_EQ(Stored<ResourceObjf>(16807).entries[0], (FunctionEntry{4095, 0x1001}));
}

}  // namespace
}  // namespace scrivet
