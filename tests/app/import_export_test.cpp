// Export to raw and IFF files and import from them, through the scripted platform.

#include <QDir>

#include "app_test_support.h"

namespace scrivet::test {
namespace {

class ImportExportTest : public ListFixture {
 protected:
  void Export(ExportChoice::Mode mode, std::deque<QStringList> files, bool single = false) {
    ExportChoice choice;
    choice.mode = mode;
    choice.singleFile = single;
    dialogs.exports.enqueue(choice);
    platform.fileAnswers = std::move(files);
    list->Export();
  }
  // Queues an import of the given files; `pick` answers the row dialog of IFF files.
  void QueueImport(ImportChoice choice, QStringList files,
                   std::function<bool(ImportFromIffRows&)> pick = [](ImportFromIffRows&) { return true; }) {
    dialogs.imports.enqueue(choice);
    platform.fileAnswers = {files};
    dialogs.iffPicks.enqueue(pick);
  }
};

TEST_F(ImportExportTest, DataOnlyExportWritesTheBytesStopsAtCancelAndGoesOnPastAFailedFile) {
  Open({{"STR#", 128, "strings", Bytes("string data")}, {"BHAV", 4096, "", Bytes("\x01\x02")}});
  list->SelectRows({0, 1});
  Export(ExportChoice::Mode::DataOnly, {{Path("a.bin")}, {Path("b.bin")}});
  EXPECT_EQ(dialogs.exportCounts, std::vector<int>{2});
  ASSERT_EQ(platform.dialogs.size(), 2u);
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "STR#128.bin");
  EXPECT_TRUE(platform.dialogs[0].request.confirmOverwrite);
  EXPECT_EQ(platform.dialogs[1].request.defaultName, "BHAV4096.bin");
  EXPECT_EQ(ReadBytes(Path("a.bin")), Bytes("string data"));
  EXPECT_EQ(ReadBytes(Path("b.bin")), Bytes("\x01\x02"));
  EXPECT_FALSE(doc->IsModified());
  // A cancelled file dialog ends the export; a cancelled choice shows no file dialog at all.
  Export(ExportChoice::Mode::DataOnly, {{}});
  dialogs.exports.enqueue(std::nullopt);
  list->Export();
  EXPECT_EQ(platform.dialogs.size(), 3u);
  EXPECT_EQ(QDir(dir.path()).entryList({"*.bin"}).size(), 2);
  Export(ExportChoice::Mode::DataOnly, {{Path("missing/folder/a.bin")}, {Path("c.bin")}});
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(ReadBytes(Path("c.bin")), Bytes("\x01\x02"));
}

TEST_F(ImportExportTest, ExportWithIdentityThenImportReproducesEverything) {
  const std::string name = std::string("Name \xE9\x81", 7);
  Open({{"OBJD", 0x8001, name, Bytes(std::string("\x00\x01\x02\xFF", 4)), 0x0000}});
  Export(ExportChoice::Mode::WithIdentity, {{Path("one.iff")}});
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "OBJD32769.iff");

  CScrivet2Doc empty(platform, "IFFFile2");
  ResourceListController target(empty, dialogs, behaviour);
  QueueImport({ImportChoice::Mode::IffFiles}, {Path("one.iff")});
  target.Import();
  ASSERT_EQ(dialogs.iffRowsShown.size(), 1u);
  EXPECT_EQ(dialogs.iffRowsShown[0].fileName, "one.iff");
  EXPECT_EQ(Recipe(Find(empty.File(), "OBJD", 0x8001)),
            (ChunkRecipe{"OBJD", 0x8001, name, Bytes(std::string("\x00\x01\x02\xFF", 4)), 0x0000}));
  EXPECT_TRUE(empty.IsModified());
}

TEST_F(ImportExportTest, SingleFileExportHoldsAllSelected) {
  Open({{"STR#", 1, "a", Bytes("A")}, {"BHAV", 2, "b", Bytes("B"), 0x0000}, {"GLOB", 3, "c", Bytes("C")}});
  list->SelectRows({0, 2});
  Export(ExportChoice::Mode::WithIdentity, {{Path("all.iff")}}, true);
  ASSERT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "*.iff");
  EXPECT_EQ(platform.messages.size(), 1u);  // success
  auto written = IffFile::OpenPath(Path("all.iff").toStdString());
  ASSERT_TRUE(written);
  std::vector<std::string> types;
  for (IffChunk* chunk : written->ResourcesByTypeAndId()) types.push_back(TypeCodeToString(chunk->type));
  EXPECT_EQ(types, (std::vector<std::string>{"STR#", "GLOB"}));
}

TEST_F(ImportExportTest, DataOnlyImportSkipsUnreadableFilesAndStopsAtTheCancelledOne) {
  Open({{"BHAV", 1, "", {}}});
  for (const char* name : {"one.bin", "two.bin", "three.bin"}) WriteBytes(Path(name), Bytes(name));
  QueueImport({}, {Path("gone.bin"), dir.path(), Path("one.bin"), Path("two.bin"), Path("three.bin")});
  dialogs.Ok("RAWD", 7, "first");
  dialogs.Cancel();
  list->Import();
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(dialogs.itemInitials.size(), 2u);
  EXPECT_EQ(dialogs.itemInitials[0].name, QFileInfo(Path("one.bin")).absoluteFilePath().left(64));
  EXPECT_EQ(dialogs.itemInitials[0].id, 0);
  EXPECT_EQ(Recipe(Find("RAWD", 7)), (ChunkRecipe{"RAWD", 7, "first", Bytes("one.bin")}));
  EXPECT_EQ(File().CountOfType(MakeTypeCode("RAWD")), 1u);
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(ImportExportTest, IffImportAsksBeforeOverwritingUnlessTold) {
  Open({{"STR#", 1, "mine", Bytes("mine")}, {"STR#", 2, "keep", Bytes("keep")}});
  WriteIffFile(Path("source.iff"), {{"STR#", 1, "theirs", Bytes("theirs"), 0x0000},
                                   {"STR#", 2, "theirs too", Bytes("theirs2")},
                                   {"BHAV", 9, "new", Bytes("bhav")}});
  auto pickAll = [](ImportFromIffRows& rows) {
    EXPECT_EQ(rows.chunks.size(), 3u);  // the source's rsmp is not offered
    for (bool selected : rows.selected) EXPECT_TRUE(selected);
    return true;
  };
  QueueImport({ImportChoice::Mode::IffFiles}, {Path("source.iff")}, pickAll);
  platform.answers = {MessageAnswer::Yes, MessageAnswer::No};
  list->Import();
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(Recipe(Find("STR#", 1)), (ChunkRecipe{"STR#", 1, "theirs", Bytes("theirs"), 0x0000}));
  EXPECT_EQ(Find("STR#", 2)->name, "keep");
  EXPECT_NE(Find("BHAV", 9), nullptr);
  // With the check box set nothing is asked.
  platform.Clear();
  QueueImport({ImportChoice::Mode::IffFiles, true}, {Path("source.iff")}, pickAll);
  list->Import();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(Find("STR#", 2)->name, "theirs too");
}

TEST_F(ImportExportTest, IffImportTakesOnlySelectedRowsReportsBadFilesAndStopsAtCancel) {
  Open({});
  WriteBytes(Path("junk.iff"), Bytes("not an iff file at all"));
  WriteIffFile(Path("good.iff"), {{"STR#", 1, "", Bytes("1")}, {"STR#", 2, "", Bytes("2")}});
  QueueImport({ImportChoice::Mode::IffFiles}, {Path("good.iff"), Path("good.iff")},
              [](ImportFromIffRows&) { return false; });
  list->Import();
  EXPECT_EQ(dialogs.iffRowsShown.size(), 1u);
  EXPECT_FALSE(doc->IsModified());

  QueueImport({ImportChoice::Mode::IffFiles}, {Path("junk.iff"), Path("good.iff")}, [](ImportFromIffRows& rows) {
    rows.selected[0] = false;
    return true;
  });
  list->Import();
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(Find("STR#", 1), nullptr);
  EXPECT_NE(Find("STR#", 2), nullptr);
}

}  // namespace
}  // namespace scrivet::test
