#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/far_archive.h"
#include "tests/core/byte_builders.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testbytes;
using namespace scrivet::testsupport;

namespace {

using Strings = std::vector<std::string>;

Strings Names(const FarArchive& far) {
  Strings names;
  for (const FarEntry& e : far.Entries()) names.push_back(e.name);
  return names;
}

// Opens the bytes as a disk file, the way archives are read.
struct FarOnDisk {
  TempDir dir;
  FarArchive far;
  bool opened;
  CoreFailure failure;
  explicit FarOnDisk(const Bytes& bytes) {
    WriteFile(dir / "a.far", bytes);
    opened = far.OpenPath(dir / "a.far", &failure);
  }
};

TEST(FarArchive, ListsAndExtractsFilesWithFourByteNameLengths) {
  FarBuilder b;
  b.File("first.iff", Filled(100, 1));
  b.File("D:\\Sims\\GameData\\second.iff", Filled(7, 2));
  b.File("empty", {});
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  EXPECT_FALSE(f.far.TwoByteNameLengths());
  EXPECT_EQ(f.far.Version(), 1u);
  EXPECT_EQ(Names(f.far), (Strings{"first.iff", "D:\\Sims\\GameData\\second.iff", "empty"}));
  const std::vector<Bytes> expected{Filled(100, 1), Filled(7, 2), {}};
  for (size_t i = 0; i < 3; ++i) {
    FarEntry& e = f.far.Entries()[i];
    EXPECT_EQ(e.dataSize, expected[i].size());
    EXPECT_EQ(e.nameLength, e.name.size());
    ASSERT_TRUE(f.far.LoadEntryData(e));
    EXPECT_EQ(f.far.EntryData(e), expected[i]);
  }
  MemoryStream out(Bytes{'#'});
  out.Seek(1);
  ASSERT_TRUE(f.far.WriteEntryData(f.far.Entries()[1], out));
  Bytes written = out.Bytes();
  EXPECT_EQ(written.size(), 8u);
  EXPECT_EQ(Bytes(written.begin() + 1, written.end()), Filled(7, 2));
}

TEST(FarArchive, RecognisesTwoByteNameLengthsAtTheFirstEntry) {
  FarBuilder b(/*twoByteNameLengths=*/true);
  b.File("accessory.of", Filled(10, 1));  // 12 bytes, starts with two printable characters
  b.File("b", Filled(3, 2));
  b.File("anniversary.otf", Filled(5, 3));
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  EXPECT_TRUE(f.far.TwoByteNameLengths());
  EXPECT_EQ(Names(f.far), (Strings{"accessory.of", "b", "anniversary.otf"}));
  EXPECT_EQ(f.far.Entries()[0].nameLength, 12u);
  ASSERT_TRUE(f.far.LoadEntryData(f.far.Entries()[2]));
  EXPECT_EQ(f.far.EntryData(f.far.Entries()[2]), Filled(5, 3));
}

TEST(FarArchive, OpensEmptyArchivesAndMemoryStreamsWithNoEntries) {
  FarOnDisk f(FarBuilder().Build());
  EXPECT_TRUE(f.opened);
  EXPECT_EQ(f.far.EntryCount(), 0u);

  FarBuilder b;
  b.File("x", Filled(4, 1));
  MemoryStream memory(b.Build());
  FarArchive far;
  EXPECT_TRUE(far.Open(memory));
  EXPECT_EQ(far.EntryCount(), 0u);
}

TEST(FarArchive, LoadsEachEntryOnceAndKeepsItUntilClose) {
  FarBuilder b;
  b.File("a", Filled(64, 1));
  b.File("b", Filled(32, 2));
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  FarEntry& a = f.far.Entries()[0];
  EXPECT_TRUE(f.far.EntryData(a).empty()) << "nothing is read on open";
  EXPECT_EQ(f.far.DataReads(), 0u);
  ASSERT_TRUE(f.far.LoadEntryData(a));
  ASSERT_TRUE(f.far.LoadEntryData(a));
  MemoryStream sink;
  ASSERT_TRUE(f.far.WriteEntryData(a, sink));
  EXPECT_EQ(f.far.DataReads(), 1u);
  ASSERT_TRUE(f.far.LoadEntryData(f.far.Entries()[1]));
  EXPECT_EQ(f.far.DataReads(), 2u);
  EXPECT_EQ(f.far.EntryData(a), Filled(64, 1));
  f.far.Close();
  EXPECT_EQ(f.far.EntryCount(), 0u);
}

TEST(FarArchive, EntriesBeyondTheEndFailAndStayUnloaded) {
  FarBuilder b;
  b.File("good", Filled(8, 1));
  b.RawEntry("past the end", 1000, 20);
  b.RawEntry("huge", 0xFFFFFFFF, 16);
  b.RawEntry("far offset", 1, 0xFFFFFFF0);
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  ASSERT_EQ(f.far.EntryCount(), 4u);
  for (size_t i = 1; i < 4; ++i) {
    SCOPED_TRACE(f.far.Entries()[i].name);
    FarEntry& e = f.far.Entries()[i];
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(f.far.LoadEntryData(e));
    EXPECT_FALSE(f.far.LoadEntryData(e));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_TRUE(f.far.EntryData(e).empty());
    MemoryStream sink;
    EXPECT_FALSE(f.far.WriteEntryData(e, sink));
    EXPECT_EQ(sink.Length(), 0u);
  }
  EXPECT_TRUE(f.far.LoadEntryData(f.far.Entries()[0]));
}

TEST(FarArchive, RefusesEntriesItDoesNotListOrThatAreSkipped) {
  FarBuilder b;
  b.File("a", Filled(4, 1));
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  FarEntry stranger = f.far.Entries()[0];  // same numbers, not in the list
  EXPECT_FALSE(f.far.LoadEntryData(stranger));
  f.far.Entries()[0].skip = true;
  EXPECT_FALSE(f.far.LoadEntryData(f.far.Entries()[0]));
  EXPECT_EQ(f.far.DataReads(), 0u);
}

TEST(FarArchive, RefusesBadHeadersVersionsAndManifests) {
  FarBuilder good;
  good.File("a", Filled(10, 1));
  good.File("b", Filled(10, 2));
  const Bytes base = good.Build();
  const uint32_t manifest = good.ManifestOffset();
  struct Case {
    const char* name;
    Bytes bytes;
  };
  auto with = [&](auto change) {
    Bytes b = base;
    change(b);
    return b;
  };
  auto setLE = [](Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  };
  const std::vector<Case> cases{
      {"empty file", {}},
      {"short header", Bytes(base.begin(), base.begin() + 12)},
      {"signature", with([](Bytes& b) { b[3] = '?'; })},
      {"version 3", FarBuilder(false, 3).Build()},
      {"version 0", FarBuilder(false, 0).Build()},
      {"version 2", with([&](Bytes& b) { setLE(b, 8, 2); })},
      {"manifest inside the header", with([&](Bytes& b) { setLE(b, 12, 12); })},
      {"manifest past the end", with([&](Bytes& b) { setLE(b, 12, uint32_t(base.size()) + 10); })},
      {"manifest at the very end", with([&](Bytes& b) { setLE(b, 12, uint32_t(base.size())); })},
      {"count without entries", with([&](Bytes& b) { b.resize(manifest + 4); })},
      {"a million entries", with([&](Bytes& b) { setLE(b, manifest, 1000000); })},
      {"all-ones count", with([&](Bytes& b) { setLE(b, manifest, 0xFFFFFFFF); })},
      {"short last entry", with([&](Bytes& b) { b.resize(b.size() - 1); })},
      {"name longer than the file", with([&](Bytes& b) { setLE(b, b.size() - 5, 0xFFFF); })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto start = std::chrono::steady_clock::now();
    FarOnDisk f(c.bytes);
    EXPECT_FALSE(f.opened);
    EXPECT_EQ(f.failure.error, CoreError::NotFar);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  }
}

TEST(FarArchive, EntriesReadBeforeAShortManifestStayListed) {
  FarBuilder b;
  b.File("kept", Filled(4, 1));
  b.File("second", Filled(4, 2));
  b.File("third entry with a long name", Filled(4, 3));
  Bytes bytes = b.Build();
  bytes.resize(bytes.size() - 10);  // cut the last name
  FarOnDisk f(bytes);
  EXPECT_FALSE(f.opened);
  EXPECT_EQ(Names(f.far), (Strings{"kept", "second"}));
}

TEST(FarArchive, ReopeningStartsFresh) {
  TempDir dir;
  FarBuilder two(true);
  two.File("twelve bytes", Filled(3, 1));
  FarBuilder four;
  four.File("x", Filled(5, 2));
  four.File("y", Filled(6, 3));
  WriteFile(dir / "two.far", two.Build());
  WriteFile(dir / "four.far", four.Build());
  FarArchive far;
  ASSERT_TRUE(far.OpenPath(dir / "two.far"));
  ASSERT_TRUE(far.TwoByteNameLengths());
  ASSERT_TRUE(far.LoadEntryData(far.Entries()[0]));
  ASSERT_TRUE(far.OpenPath(dir / "four.far"));
  EXPECT_FALSE(far.TwoByteNameLengths());
  EXPECT_EQ(Names(far), (Strings{"x", "y"}));
  ASSERT_TRUE(far.LoadEntryData(far.Entries()[1]));
  EXPECT_EQ(far.EntryData(far.Entries()[1]), Filled(6, 3));
  CoreFailure failure;
  EXPECT_FALSE(far.OpenPath(dir / "missing.far", &failure));
  EXPECT_EQ(failure.error, CoreError::System);
  EXPECT_FALSE(failure.detail.empty());
  EXPECT_EQ(far.EntryCount(), 0u);
}

}  // namespace
