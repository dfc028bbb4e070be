// Undo and redo of the document's commands: every command undone gives back the saved file it
// started from, byte for byte, and redone the one it made.

#include <random>

#include "app/document_history.h"
#include "app_test_support.h"
#include "core/stream.h"

namespace scrivet::test {
namespace {

std::vector<uint8_t> Saved(IffFile& file) {
  MemoryStream out;
  EXPECT_TRUE(file.LoadAll());
  EXPECT_TRUE(file.Write(&out));
  return out.TakeBytes();
}

// A raw-data editor that writes its bytes and stores a companion chunk ("NAMS", same id) in the
// same entry, the way the interaction table's entry stores its TTAs.
struct CompanionEditor {
  static inline std::vector<uint8_t> bytes;
  static bool Edit(ResourceData& working, EditorContext& context) {
    working.bytes = bytes;
    const uint16_t id = working.Chunk().id;
    context.file.AddChunk(MakeTypeCode("NAMS"), id, "", bytes.data(), bytes.size() / 2);
    return true;
  }
};

bool Cancelled(ResourceData&, EditorContext&) { return false; }

class HistoryTest : public ListFixture {
 protected:
  void SetUp() override {
    // Only stand-in editors: a real one would open its dialog.
    for (TypeRow& row : rows)
      row.edit = row.type == ResourceData::kType ? OnWorkingCopy<ResourceData, &CompanionEditor::Edit> : nullptr;
    CompanionEditor::bytes = Bytes("edited!");
  }
  void OpenSample() {
    Open({{"STR#", 1, "one", Bytes("one"), 0x0000},
          {"OBJT", 128, "object", Bytes("obj")},
          {"NAMS", 128, "names", Bytes("names")},
          {"STR#", 2, "two", Bytes("two")},
          {"OBJT", 129, "lonely", Bytes("solo")}});
  }
  // In ">> All resources" order: STR# 1, STR# 2, OBJT 128, OBJT 129, NAMS 128.
  void Select(std::vector<int> rowsToSelect) {
    list->SelectType(0);
    list->SelectRows(rowsToSelect);
  }
};

TEST_F(HistoryTest, EveryCommandUndoesAndRedoesToTheSameBytes) {
  struct Case {
    const char* name;
    std::function<void()> run;
  };
  auto yes = [this] { platform.answers.push_back(MessageAnswer::Yes); };
  const std::vector<Case> cases = {
      // Replaces the STR# that stands in the middle.
      {"Add", [&] { dialogs.Ok("STR#", 2, "new"); yes(); list->Add(); }},
      {"Delete", [&] { Select({0, 2, 4}); yes(); list->Delete(); }},
      {"Properties", [&] { Select({3}); dialogs.Ok("STR#", 2, "moved"); yes(); list->Properties(); }},
      {"Duplicate",
       [&] {
         Select({1, 3});
         dialogs.Ok("OBJT", 7, "copy");
         dialogs.Ok("STR#", 2, "over");
         yes();
         list->Duplicate();
       }},
      {"Hex Edit", [&] { Select({3}); list->HexEdit(); }},
      {"Edit OBJT 128", [&] { Select({2}); list->OpenResource(); }},  // rewrites its companion
      {"Edit OBJT 129", [&] { Select({3}); list->OpenResource(); }},  // adds its companion
      {"Import",
       [&] {
         WriteIffFile(Path("in.iff"), {{"STR#", 1, "imported", Bytes("i")}, {"NEWT", 5, "", Bytes("n")}});
         dialogs.imports.enqueue(ImportChoice{ImportChoice::Mode::IffFiles, true});
         platform.fileAnswers.push_back({Path("in.iff")});
         dialogs.iffPicks.enqueue([](ImportFromIffRows&) { return true; });
         list->Import();
       }},
      {"Import",
       [&] {  // two data files, the second over the first
         for (const char* name : {"a.bin", "b.bin"}) WriteBytes(Path(name), Bytes(name));
         dialogs.imports.enqueue(ImportChoice{});
         platform.fileAnswers.push_back({Path("a.bin"), Path("b.bin")});
         for (const char* name : {"a", "b"}) dialogs.Ok("DATA", 3, name);
         yes();
         list->Import();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.Clear();
    OpenSample();
    const std::vector<uint8_t> before = Saved(File());
    c.run();
    EXPECT_EQ(platform.unexpected, 0);
    QUndoStack& history = doc->History();
    ASSERT_EQ(history.count(), 1) << platform.MessageTexts().join(" | ").toStdString();
    EXPECT_EQ(history.undoText(), c.name);
    const std::vector<uint8_t> after = Saved(File());
    EXPECT_NE(after, before);
    for (int round = 0; round < 2; ++round) {
      history.undo();
      EXPECT_EQ(Saved(File()), before);
      EXPECT_FALSE(doc->IsModified());
      history.redo();
      EXPECT_EQ(Saved(File()), after);
      EXPECT_TRUE(doc->IsModified());
    }
    history.undo();
    list->SelectType(0);
    EXPECT_EQ(list->Resources().rowCount(), 5);
  }
}

TEST_F(HistoryTest, CancelledCommandsLeaveNoStepAndTheModifiedMarkFollowsTheSavedState) {
  OpenSample();
  Select({1});
  dialogs.Cancel();
  list->Properties();
  platform.answers.push_back(MessageAnswer::No);
  list->Delete();
  std::vector<TypeRow> cancelling = rows;
  for (TypeRow& row : cancelling)
    if (row.edit) row.edit = OnWorkingCopy<ResourceData, &Cancelled>;
  ResourceListController cancelled(*doc, dialogs, behaviour, cancelling);
  cancelled.Refresh();
  cancelled.SelectType(0);
  cancelled.SelectRows({2});
  cancelled.OpenResource();
  EXPECT_TRUE(platform.MessageTexts().filter("Error").isEmpty());
  EXPECT_EQ(doc->History().count(), 0);
  EXPECT_FALSE(doc->IsModified());

  Select({0});
  list->HexEdit();
  CompanionEditor::bytes = Bytes("again");
  list->HexEdit();
  ASSERT_TRUE(doc->Save(path, nullptr));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->History().count(), 2);  // saving keeps the history
  doc->History().undo();
  EXPECT_TRUE(doc->IsModified());
  doc->History().redo();
  EXPECT_FALSE(doc->IsModified());
  // A change made outside the history drops it and stays modified.
  doc->ContainerChanged();
  EXPECT_EQ(doc->History().count(), 0);
  EXPECT_TRUE(doc->IsModified());
}

// A long random run of commands, undos and redos on a real file ends where replaying only the
// commands that survived ends; every undo gives back the bytes of the state before.
TEST_F(HistoryTest, RandomRunOnAGameFileMatchesTheSurvivingCommands) {
  const QString file =
      QStringLiteral(SCRIVET_CORPUS_DIR "/FaithBeam+Sims-1-Complete-Collection-Widescreen-Patcher/dd_domcal.iff");
  if (!QFileInfo::exists(file)) GTEST_SKIP() << "no corpus file " << file.toStdString();
  struct Op { int kind, row; uint16_t id; };
  auto apply = [this](const Op& op) {
    Select({op.row});
    platform.answers = {MessageAnswer::Yes};
    CompanionEditor::bytes.assign(op.id % 97, uint8_t(op.id));
    const char* types[] = {"TEST", "BHAV", "SPR2"};
    if (op.kind >= 1 && op.kind <= 3) dialogs.Ok(types[op.kind - 1], op.id, "changed");
    switch (op.kind) {
      case 0: list->Delete(); break;
      case 1: list->Add(); break;
      case 2: list->Properties(); break;
      case 3: list->Duplicate(); break;
      default: list->HexEdit(); break;
    }
    platform.answers.clear();
  };
  auto openFresh = [this, &file] {
    doc = std::make_unique<CScrivet2Doc>(platform, QStringLiteral("IFFFile1"));
    list = std::make_unique<ResourceListController>(*doc, dialogs, behaviour, rows);
    ASSERT_TRUE(doc->Open(file, nullptr));
  };

  openFresh();
  std::mt19937 random(20240611);
  std::vector<Op> log;
  std::vector<std::vector<uint8_t>> states = {Saved(File())};
  QUndoStack& history = doc->History();
  for (int step = 0; step < 300; ++step) {
    const int choice = int(random() % 10);
    const bool undo = choice < 2 && history.canUndo();
    if (undo || (choice < 3 && history.canRedo())) {
      undo ? history.undo() : history.redo();
      ASSERT_EQ(Saved(File()), states[size_t(history.index())]) << "step " << step;
    } else {
      const int rowCount = std::max(list->Resources().rowCount(), 1);
      Op op{int(random() % 5), int(random() % uint32_t(rowCount)), uint16_t(random() % 40)};
      log.resize(size_t(history.index()));
      states.resize(size_t(history.index()) + 1);
      apply(op);
      if (history.index() == int(log.size()) + 1) {
        log.push_back(op);
        states.push_back(Saved(File()));
      }
    }
  }
  ASSERT_GT(history.index(), 20);
  const std::vector<uint8_t> end = Saved(File());
  log.resize(size_t(history.index()));

  openFresh();
  for (const Op& op : log) apply(op);
  EXPECT_EQ(Saved(File()), end);
}

}  // namespace
}  // namespace scrivet::test
