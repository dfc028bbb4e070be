#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"
#include "tests/core/byte_builders.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testbytes;
using namespace scrivet::testsupport;

namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

Bytes SmallFile() {
  IffBuilder b("2.0");
  b.Chunk("AAAA", 1, 0x10, "a", Filled(300, 1));
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2));
  return b.Get();
}

// A file whose second chunk claims more data than the file holds, so it can never be loaded.
Bytes FileWithAnUnloadableChunk() {
  IffBuilder b("2.0");
  b.Chunk("AAAA", 1, 0x10, "a", Filled(300, 1));
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2), 76 + 5000);
  return b.Get();
}

TEST(AtomicSave, WritesANewFileAndLeavesNothingElse) {
  TempDir dir;
  auto file = IffFile::CreateEmpty();
  file->AddChunk(MakeTypeCode("AAAA"), 1, "a", "data", 4);
  std::string error;
  ASSERT_TRUE(file->SaveToPath(dir / "new.iff", &error)) << error;
  EXPECT_EQ(dir.Listing(), (Strings{"new.iff"}));
  EXPECT_EQ(file->Name(), (dir / "new.iff").string());
  MemoryStream expected;
  ASSERT_TRUE(file->Write(&expected));
  EXPECT_EQ(ReadFile(dir / "new.iff"), expected.Bytes());
}

TEST(AtomicSave, ReplacesTheFileTheContainerReadsFrom) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  int error = -1;
  auto file = IffFile::OpenPath(dir / "a.iff", error);
  ASSERT_TRUE(file);
  file->AddChunk(MakeTypeCode("CCCC"), 3, "c", "new", 3);
  std::string reason;
  ASSERT_TRUE(file->SaveToPath(dir / "a.iff", &reason)) << reason;
  EXPECT_EQ(dir.Listing(), (Strings{"a.iff"}));
  // The container no longer depends on the old file: its chunks are all in memory.
  EXPECT_TRUE(file->IsInMemory());
  auto back = IffFile::OpenPath(dir / "a.iff", error);
  ASSERT_TRUE(back);
  EXPECT_EQ(Listing(*back), (Strings{"AAAA#1", "BBBB#2", "CCCC#3", "rsmp#0"}));
  EXPECT_EQ(Images(*back), Images(*file));
}

TEST(AtomicSave, AChunkThatCannotBeLoadedLeavesTheOldFileAlone) {
  TempDir dir;
  const Bytes original = FileWithAnUnloadableChunk();
  WriteFile(dir / "a.iff", original);
  WriteFile(dir / "other.iff", SmallFile());
  int error = -1;
  auto file = IffFile::OpenPath(dir / "a.iff", error);
  ASSERT_TRUE(file);
  ASSERT_EQ(file->ChunkCount(), 2u);
  for (const char* target : {"a.iff", "other.iff"}) {
    SCOPED_TRACE(target);
    std::string reason;
    EXPECT_FALSE(file->SaveToPath(dir / target, &reason));
    EXPECT_FALSE(reason.empty());
  }
  EXPECT_EQ(ReadFile(dir / "a.iff"), original);
  EXPECT_EQ(ReadFile(dir / "other.iff"), SmallFile());
  EXPECT_EQ(dir.Listing(), (Strings{"a.iff", "other.iff"}));
  // Nothing was lost: the loadable chunk still loads from the untouched file.
  EXPECT_TRUE(file->LoadChunkData(file->ChunkAt(0)));
}

TEST(AtomicSave, AFailingWriterLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  std::string error;
  bool ok = SaveFileAtomically(
      dir / "a.iff",
      [](Stream& out) {
        out.Write("half-written", 12);  // as if the disk filled up here
        return false;
      },
      &error);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(dir / "a.iff"), SmallFile());
  EXPECT_EQ(dir.Listing(), (Strings{"a.iff"}));
}

TEST(AtomicSave, TargetsThatCannotBeReplacedFailCleanly) {
  TempDir dir;
  auto file = IffFile::CreateEmpty();
  file->AddChunk(MakeTypeCode("AAAA"), 1, "a", "data", 4);
  {
    std::string reason;
    EXPECT_FALSE(file->SaveToPath(dir / "missing" / "a.iff", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(fs::exists(dir / "missing"));
  }
  {
    // A folder in the target's place: the rename fails after the temporary file was written.
    fs::create_directory(dir / "folder.iff");
    WriteFile(dir / "folder.iff" / "inside", Bytes{1, 2, 3});
    std::string reason;
    EXPECT_FALSE(file->SaveToPath(dir / "folder.iff", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fs::is_directory(dir / "folder.iff"));
    EXPECT_EQ(ReadFile(dir / "folder.iff" / "inside"), (Bytes{1, 2, 3}));
  }
  EXPECT_EQ(dir.Listing(), (Strings{"folder.iff"}));
  EXPECT_NE(file->Name(), (dir / "folder.iff").string());
}

TEST(AtomicSave, KeepsThePermissionsOfTheReplacedFile) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "a.iff", perms);
  int error = -1;
  auto file = IffFile::OpenPath(dir / "a.iff", error);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->SaveToPath(dir / "a.iff"));
  EXPECT_EQ(fs::status(dir / "a.iff").permissions() & fs::perms::all, perms);
}

}  // namespace
