// Export to raw and IFF files and import from them, through the scripted platform.

#include <QDir>

#include "app_test_support.h"

namespace scrivet::test {
namespace {

ExportChoice Choice(ExportChoice::Mode mode, bool single = false) {
  ExportChoice choice;
  choice.mode = mode;
  choice.singleFile = single;
  return choice;
}

ImportChoice Import(ImportChoice::Mode mode, bool overwrite = false) {
  ImportChoice choice;
  choice.mode = mode;
  choice.autoOverwrite = overwrite;
  return choice;
}

class ImportExportTest : public ListFixture {
 protected:
  QString Out(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  const IffChunk* Find(IffFile& file, const char* type, uint16_t id) {
    TypeCode code = 0;
    ParseTypeCode(type, code);
    return file.Find(code, id);
  }
};

TEST_F(ImportExportTest, DataOnlyExportProposesTypeAndIdAndWritesTheBytes) {
  Open({{"STR#", 128, "strings", Bytes("string data")}, {"BHAV", 4096, "", Bytes("\x01\x02")}});
  list->SelectRows({0, 1});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::DataOnly));
  platform.fileAnswers = {{Out("a.bin")}, {Out("b.bin")}};
  list->Export();
  EXPECT_EQ(dialogs.exportCounts, std::vector<int>{2});
  ASSERT_EQ(platform.dialogs.size(), 2u);
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "STR#128.bin");
  EXPECT_EQ(platform.dialogs[0].request.filter, "All files (*.*)");
  EXPECT_TRUE(platform.dialogs[0].request.confirmOverwrite);
  EXPECT_EQ(platform.dialogs[1].request.defaultName, "BHAV4096.bin");
  EXPECT_EQ(ReadBytes(Out("a.bin")), Bytes("string data"));
  EXPECT_EQ(ReadBytes(Out("b.bin")), Bytes("\x01\x02"));
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(ImportExportTest, CancellingASaveDialogEndsTheExport) {
  Open({{"STR#", 1, "", Bytes("1")}, {"STR#", 2, "", Bytes("2")}});
  list->SelectRows({0, 1});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::DataOnly));
  platform.fileAnswers = {QStringList{}};
  list->Export();
  EXPECT_EQ(platform.dialogs.size(), 1u);
  EXPECT_TRUE(QDir(dir.path()).entryList({"*.bin"}).isEmpty());

  // Cancelling the choice dialog shows no file dialog at all.
  dialogs.exports.enqueue(std::nullopt);
  list->Export();
  EXPECT_EQ(platform.dialogs.size(), 1u);
}

TEST_F(ImportExportTest, ExportWithIdentityThenImportReproducesEverything) {
  const std::string name = std::string("Name \xE9\x81", 7);
  Open({{"OBJD", 0x8001, name, Bytes(std::string("\x00\x01\x02\xFF", 4)), 0x0000}});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::WithIdentity));
  platform.fileAnswers = {{Out("one.iff")}};
  list->Export();
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "OBJD32769.iff");
  EXPECT_EQ(platform.dialogs[0].request.filter, "IFF files (*.iff)");

  CScrivet2Doc empty(platform, "IFFFile2");
  ResourceListController target(empty, dialogs, behaviour);
  dialogs.imports.enqueue(Import(ImportChoice::Mode::IffFiles));
  platform.fileAnswers = {{Out("one.iff")}};
  dialogs.iffPicks.enqueue([](ImportFromIffRows&) { return true; });
  target.Import();
  ASSERT_EQ(dialogs.iffRowsShown.size(), 1u);
  EXPECT_EQ(dialogs.iffRowsShown[0].fileName, "one.iff");
  const IffChunk* imported = Find(empty.File(), "OBJD", 0x8001);
  ASSERT_NE(imported, nullptr);
  EXPECT_EQ(imported->name, name);
  EXPECT_EQ(imported->flags, 0x0000);
  EXPECT_EQ(ChunkBytes(*imported), Bytes(std::string("\x00\x01\x02\xFF", 4)));
  EXPECT_TRUE(empty.IsModified());
}

TEST_F(ImportExportTest, SingleFileExportHoldsAllSelectedAndReportsSuccess) {
  Open({{"STR#", 1, "a", Bytes("A")}, {"BHAV", 2, "b", Bytes("B"), 0x0000}, {"GLOB", 3, "c", Bytes("C")}});
  list->SelectRows({0, 2});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::WithIdentity, true));
  platform.fileAnswers = {{Out("all.iff")}};
  list->Export();
  ASSERT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "*.iff");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Success!");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);

  auto written = IffFile::OpenPath(Out("all.iff").toStdString());
  ASSERT_TRUE(written);
  std::vector<IffChunk*> chunks = written->ResourcesByTypeAndId();
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0]->type, MakeTypeCode("STR#"));
  EXPECT_EQ(chunks[1]->type, MakeTypeCode("GLOB"));
}

TEST_F(ImportExportTest, SingleFileNeedsIdentityAndSeveralResources) {
  ExportChoice choice;
  choice.count = 1;
  choice.mode = ExportChoice::Mode::WithIdentity;
  EXPECT_FALSE(choice.SingleFileEnabled());
  EXPECT_EQ(choice.CountLabel(), "Single file");
  choice.count = 3;
  EXPECT_TRUE(choice.SingleFileEnabled());
  EXPECT_EQ(choice.CountLabel(), "Multiple files");
  choice.mode = ExportChoice::Mode::DataOnly;
  EXPECT_FALSE(choice.SingleFileEnabled());
  ImportChoice import;
  EXPECT_FALSE(import.AutoOverwriteEnabled());
  import.mode = ImportChoice::Mode::IffFiles;
  EXPECT_TRUE(import.AutoOverwriteEnabled());

  // A set check box with one resource still writes one file per resource.
  Open({{"STR#", 1, "a", Bytes("A")}});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::WithIdentity, true));
  platform.fileAnswers = {{Out("x.iff")}};
  list->Export();
  EXPECT_EQ(platform.dialogs[0].request.defaultName, "STR#1.iff");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ImportExportTest, ExportToAnImpossiblePathReportsAndGoesOn) {
  Open({{"STR#", 1, "", Bytes("1")}, {"STR#", 2, "", Bytes("2")}});
  list->SelectRows({0, 1});
  dialogs.exports.enqueue(Choice(ExportChoice::Mode::DataOnly));
  platform.fileAnswers = {{Out("missing/folder/a.bin")}, {Out("b.bin")}};
  list->Export();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].caption, "Error");
  EXPECT_EQ(ReadBytes(Out("b.bin")), Bytes("2"));
}

TEST_F(ImportExportTest, DataOnlyImportStopsAtTheCancelledFile) {
  Open({{"BHAV", 1, "", {}}});
  for (const char* name : {"one.bin", "two.bin", "three.bin"}) WriteBytes(Out(name), Bytes(name));
  dialogs.imports.enqueue(Import(ImportChoice::Mode::DataOnly));
  platform.fileAnswers = {{Out("one.bin"), Out("two.bin"), Out("three.bin")}};
  dialogs.Ok("RAWD", 7, "first");
  dialogs.Cancel();
  list->Import();
  EXPECT_EQ(platform.dialogs[0].kind, ScriptedPlatform::DialogKind::OpenMany);
  EXPECT_EQ(platform.dialogs[0].request.filter, "All files (*.*)");
  EXPECT_EQ(dialogs.itemTitles, (QStringList{"Insert Item", "Insert Item"}));
  EXPECT_EQ(dialogs.itemInitials[0].name, QFileInfo(Out("one.bin")).absoluteFilePath().left(64));
  EXPECT_EQ(dialogs.itemInitials[0].id, 0);
  const IffChunk* added = Find(File(), "RAWD", 7);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(ChunkBytes(*added), Bytes("one.bin"));
  EXPECT_EQ(added->flags, 0x0010);
  EXPECT_EQ(File().CountOfType(MakeTypeCode("RAWD")), 1u);
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(ImportExportTest, UnreadableDataFilesAreReportedAndSkipped) {
  Open({});
  WriteBytes(Out("good.bin"), Bytes("good"));
  dialogs.imports.enqueue(Import(ImportChoice::Mode::DataOnly));
  platform.fileAnswers = {{Out("gone.bin"), dir.path(), Out("good.bin")}};
  dialogs.Ok("GOOD", 1, "good");
  list->Import();
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(dialogs.itemTitles.size(), 1);
  ASSERT_NE(Find(File(), "GOOD", 1), nullptr);
  EXPECT_EQ(ChunkBytes(*Find(File(), "GOOD", 1)), Bytes("good"));
}

TEST_F(ImportExportTest, IffImportAsksBeforeOverwritingUnlessTold) {
  Open({{"STR#", 1, "mine", Bytes("mine")}, {"STR#", 2, "keep", Bytes("keep")}});
  WriteIffFile(Out("source.iff"), {{"STR#", 1, "theirs", Bytes("theirs"), 0x0000},
                                   {"STR#", 2, "theirs too", Bytes("theirs2")},
                                   {"BHAV", 9, "new", Bytes("bhav")}});
  auto pickAll = [](ImportFromIffRows& rows) {
    EXPECT_EQ(rows.chunks.size(), 3u);  // the source's rsmp is not offered
    for (bool selected : rows.selected) EXPECT_TRUE(selected);
    return true;
  };
  dialogs.imports.enqueue(Import(ImportChoice::Mode::IffFiles));
  platform.fileAnswers = {{Out("source.iff")}};
  dialogs.iffPicks.enqueue(pickAll);
  platform.answers = {MessageAnswer::Yes, MessageAnswer::No};
  list->Import();
  EXPECT_EQ(platform.dialogs[0].request.filter, "IFF files (*.iff)");
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text,
            "The resource with properties\n\ntype: STR#\nid: 1\nname: theirs\n\nalready exists!\n\n"
            "Do you want to overwrite this resource?");
  EXPECT_EQ(platform.messages[0].caption, "Resource already exists!");
  EXPECT_EQ(Find(File(), "STR#", 1)->name, "theirs");
  EXPECT_EQ(Find(File(), "STR#", 1)->flags, 0x0000);
  EXPECT_EQ(Find(File(), "STR#", 2)->name, "keep");
  EXPECT_NE(Find(File(), "BHAV", 9), nullptr);

  // With the check box set nothing is asked.
  platform.Clear();
  dialogs.imports.enqueue(Import(ImportChoice::Mode::IffFiles, true));
  platform.fileAnswers = {{Out("source.iff")}};
  dialogs.iffPicks.enqueue(pickAll);
  list->Import();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(Find(File(), "STR#", 2)->name, "theirs too");
}

TEST_F(ImportExportTest, IffImportTakesOnlySelectedRowsAndReportsBadFiles) {
  Open({});
  WriteBytes(Out("junk.iff"), Bytes("not an iff file at all"));
  WriteIffFile(Out("good.iff"), {{"STR#", 1, "", Bytes("1")}, {"STR#", 2, "", Bytes("2")}});
  dialogs.imports.enqueue(Import(ImportChoice::Mode::IffFiles));
  platform.fileAnswers = {{Out("junk.iff"), Out("good.iff")}};
  dialogs.iffPicks.enqueue([](ImportFromIffRows& rows) {
    rows.selected[0] = false;
    return true;
  });
  list->Import();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, QString("Couldn't load the supposed IFF file \"%1\"!").arg(Out("junk.iff")));
  EXPECT_EQ(platform.messages[0].caption, "Error while loading file!");
  EXPECT_EQ(Find(File(), "STR#", 1), nullptr);
  EXPECT_NE(Find(File(), "STR#", 2), nullptr);
}

TEST_F(ImportExportTest, CancelledIffPickEndsTheImport) {
  Open({});
  WriteIffFile(Out("a.iff"), {{"STR#", 1, "", {}}});
  WriteIffFile(Out("b.iff"), {{"STR#", 2, "", {}}});
  dialogs.imports.enqueue(Import(ImportChoice::Mode::IffFiles));
  platform.fileAnswers = {{Out("a.iff"), Out("b.iff")}};
  dialogs.iffPicks.enqueue([](ImportFromIffRows&) { return false; });
  list->Import();
  EXPECT_EQ(dialogs.iffRowsShown.size(), 1u);
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 0u);
  EXPECT_FALSE(doc->IsModified());
}

}  // namespace
}  // namespace scrivet::test
