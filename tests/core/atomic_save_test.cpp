#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

Bytes SmallFile() {
  IffBuilder b("2.0");
  b.Chunk("AAAA", 1, 0x10, "a", Filled(300, 1));
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2));
  return b.Get();
}

TEST(AtomicSave, ReplacesTheFileTheContainerReadsFromAndLeavesNothingElse) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  auto file = IffFile::OpenPath(dir / "a.iff");
  ASSERT_TRUE(file);
  file->AddChunk(MakeTypeCode("CCCC"), 3, "c", "new", 3);
  CoreFailure failure;
  ASSERT_TRUE(file->SaveToPath(dir / "a.iff", &failure)) << failure.detail;
  EXPECT_EQ(dir.Listing(), (Strings{"a.iff"}));
  EXPECT_TRUE(file->IsInMemory()) << "the container no longer depends on the replaced file";
  EXPECT_EQ(ReadFile(dir / "a.iff"), WriteToBytes(*file));
  EXPECT_EQ(ListingOf(ReadFile(dir / "a.iff")), (Strings{"AAAA#1", "BBBB#2", "CCCC#3", "rsmp#0"}));
}

// Another program rewriting the file in place, even to the same length, leaves the data not loaded
// yet unreadable: none of it is read, and no save goes ahead.
TEST(AtomicSave, AFileRewrittenBehindTheContainerIsNeitherReadNorSaved) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  WriteFile(dir / "other.iff", SmallFile());
  auto file = IffFile::OpenPath(dir / "a.iff");
  ASSERT_TRUE(file);
  Bytes rewritten = SmallFile();
  std::fill(rewritten.begin() + 64, rewritten.end(), 0x5A);
  const auto stamp = fs::last_write_time(dir / "a.iff");
  WriteFile(dir / "a.iff", rewritten);
  fs::last_write_time(dir / "a.iff", stamp + std::chrono::seconds(1));
  EXPECT_TRUE(file->SourceChanged());
  EXPECT_FALSE(file->LoadChunkData(file->ChunkAt(0)) || file->ChunkAt(0).IsLoaded());
  for (const char* target : {"a.iff", "other.iff"}) {
    SCOPED_TRACE(target);
    CoreFailure failure;
    EXPECT_FALSE(file->SaveToPath(dir / target, &failure));
    EXPECT_EQ(failure.error, CoreError::SourceChanged);
  }
  EXPECT_EQ(ReadFile(dir / "a.iff"), rewritten);
  EXPECT_EQ(ReadFile(dir / "other.iff"), SmallFile());
}

TEST(AtomicSave, FailedSavesLeaveTheTargetAsItWasAndNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir / "a.iff", SmallFile());
  const Strings listing = dir.Listing();
  CoreFailure failure;
  auto halfWritten = [](Stream& out) { return out.Write("half", 4) && false; };  // as if the disk filled up
  EXPECT_FALSE(SaveFileAtomically(dir / "a.iff", halfWritten, &failure));
  EXPECT_EQ(failure.error, CoreError::WriteFailed);
  EXPECT_EQ(ReadFile(dir / "a.iff"), SmallFile());
  EXPECT_EQ(dir.Listing(), listing);
  // Targets that cannot be replaced: a missing folder, a folder in the target's place (the rename
  // fails after the temporary file was written), a loop of links.
  fs::create_directory(dir / "folder.iff");
  WriteFile(dir / "folder.iff" / "inside", Bytes{1, 2, 3});
  std::vector<std::string> targets{"missing/a.iff", "folder.iff"};
#ifndef _WIN32
  fs::create_symlink("loop2.iff", dir / "loop1.iff");
  fs::create_symlink("loop1.iff", dir / "loop2.iff");
  targets.push_back("loop1.iff");
#endif
  const Strings withTargets = dir.Listing();
  auto file = IffFile::CreateEmpty();
  file->AddChunk(MakeTypeCode("AAAA"), 1, "a", "data", 4);
  for (const std::string& target : targets) {
    failure = {};
    EXPECT_FALSE(file->SaveToPath(dir / target, &failure)) << target;
    EXPECT_EQ(failure.error, CoreError::System) << target;
  }
  EXPECT_EQ(dir.Listing(), withTargets);
  EXPECT_EQ(ReadFile(dir / "folder.iff" / "inside"), (Bytes{1, 2, 3}));
  EXPECT_NE(file->Name(), (dir / "folder.iff").string());
#ifndef _WIN32
  // Up to 40 links are followed, as the system does: n.iff links to n+1.iff.
  const fs::path chain = dir / "chain";
  fs::create_directory(chain);
  for (int i = 0; i < 41; ++i) fs::create_symlink(std::to_string(i + 1) + ".iff", chain / (std::to_string(i) + ".iff"));
  EXPECT_TRUE(file->SaveToPath(chain / "1.iff") && fs::is_regular_file(chain / "41.iff"));
  EXPECT_FALSE(file->SaveToPath(chain / "0.iff"));
#endif
}

#ifndef _WIN32
// Every entry below the folder, links not followed, as paths relative to it.
Strings Tree(const fs::path& root) {
  Strings out;
  for (const auto& e : fs::recursive_directory_iterator(root)) out.push_back(fs::relative(e.path(), root).string());
  std::sort(out.begin(), out.end());
  return out;
}

// Renaming over a link would replace the link and leave the file it names as it was.
TEST(AtomicSave, ThroughSymbolicLinksReplacesTheFileTheyNameAndKeepsTheLinks) {
  using Links = std::vector<std::pair<std::string, std::string>>;  // link, its text ("" = absolute)
  const std::vector<std::pair<const char*, Links>> cases{
      {"absolute link", {{"link.iff", ""}}},
      {"relative link in another folder", {{"links/a.iff", "../real/a.iff"}}},
      {"chain of two links", {{"first.iff", "links/second.iff"}, {"links/second.iff", "../real/a.iff"}}},
  };
  for (const auto& [name, links] : cases) {
    SCOPED_TRACE(name);
    TempDir dir;
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    WriteFile(dir / "real" / "a.iff", SmallFile());
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "real" / "a.iff", perms);
    for (const auto& [link, text] : links)
      fs::create_symlink(text.empty() ? dir / "real" / "a.iff" : fs::path(text), dir / link);
    const Strings before = Tree(dir.Path());
    const fs::path opened = dir / links.front().first;
    auto file = IffFile::OpenPath(opened);
    ASSERT_TRUE(file);
    file->AddChunk(MakeTypeCode("CCCC"), 3, "c", "new", 3);
    CoreFailure failure;
    ASSERT_TRUE(file->SaveToPath(opened, &failure)) << failure.detail;
    EXPECT_EQ(Tree(dir.Path()), before);
    for (const auto& [link, text] : links) EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    EXPECT_EQ(ListingOf(ReadFile(dir / "real" / "a.iff")), (Strings{"AAAA#1", "BBBB#2", "CCCC#3", "rsmp#0"}));
    EXPECT_EQ(fs::status(dir / "real" / "a.iff").permissions() & fs::perms::all, perms);
  }
}
#endif

}  // namespace
