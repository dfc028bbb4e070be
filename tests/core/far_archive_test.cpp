#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "core/far_archive.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

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
  FarEntry& operator[](size_t i) { return far.Entries()[i]; }
};

TEST(FarArchive, LoadsListedEntriesOnceAndOnlyThose) {
  FarBuilder b;
  b.File("a", Filled(64, 1));
  b.File("b", Filled(32, 2));
  b.File("c", Filled(5, 3));
  b.RawEntry("past the end", 1000, 20);
  b.RawEntry("huge", 0xFFFFFFFF, 16);
  b.RawEntry("far offset", 1, 0xFFFFFFF0);
  FarOnDisk f(b.Build());
  ASSERT_TRUE(f.opened);
  EXPECT_TRUE(f.far.EntryData(f[0]).empty()) << "nothing is read on open";
  MemoryStream sink;
  ASSERT_TRUE(f.far.LoadEntryData(f[0]) && f.far.LoadEntryData(f[0]) && f.far.WriteEntryData(f[0], sink));
  EXPECT_EQ(f.far.DataReads(), 1u);
  ASSERT_TRUE(f.far.LoadEntryData(f[1]));
  EXPECT_EQ(f.far.DataReads(), 2u);
  EXPECT_EQ(f.far.EntryData(f[0]), Filled(64, 1));
  // Entries not in the list, marked skipped or lying beyond the end are refused and stay unloaded.
  FarEntry stranger = f[2];
  EXPECT_FALSE(f.far.LoadEntryData(stranger));
  f[2].skip = true;
  for (size_t i = 2; i < 6; ++i) {
    SCOPED_TRACE(f[i].name);
    EXPECT_FALSE(f.far.LoadEntryData(f[i]));
    EXPECT_TRUE(f.far.EntryData(f[i]).empty());
    MemoryStream out;
    EXPECT_FALSE(f.far.WriteEntryData(f[i], out));
    EXPECT_EQ(out.Length(), 0u);
  }
  EXPECT_EQ(f.far.DataReads(), 2u);
}

TEST(FarArchive, RefusesBadHeadersVersionsAndManifestsQuickly) {
  FarBuilder good;
  good.File("a", Filled(10, 1));
  good.File("b", Filled(10, 2));
  const Bytes base = good.Build();
  const uint32_t manifest = good.ManifestOffset();
  auto with = [&](size_t at, uint32_t v, size_t size = 0) {
    Bytes b = base;
    for (int i = 0; i < 4 && at != SIZE_MAX; ++i) b[at + i] = uint8_t(v >> (8 * i));
    if (size) b.resize(size);
    return b;
  };
  const std::vector<std::pair<const char*, Bytes>> cases{
      {"empty file", {}},
      {"short header", with(SIZE_MAX, 0, 12)},
      {"signature FAR?", with(0, 0x3F524146)},
      {"version 0", FarBuilder(false, 0).Build()},
      {"version 2", with(8, 2)},
      {"manifest inside the header", with(12, 12)},
      {"manifest past the end", with(12, uint32_t(base.size()) + 10)},
      {"manifest at the very end", with(12, uint32_t(base.size()))},
      {"count without entries", with(SIZE_MAX, 0, manifest + 4)},
      {"all-ones count", with(manifest, 0xFFFFFFFF)},
      {"short last entry", with(SIZE_MAX, 0, base.size() - 1)},
      {"name longer than the file", with(base.size() - 5, 0xFFFF)},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    auto start = std::chrono::steady_clock::now();
    FarOnDisk f(bytes);
    EXPECT_FALSE(f.opened);
    EXPECT_EQ(f.failure.error, CoreError::NotFar);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  }
  // Entries read before a manifest cut short stay listed.
  FarBuilder three;
  for (const char* name : {"kept", "second", "third entry with a long name"}) three.File(name, Filled(4, 1));
  Bytes cut = three.Build();
  cut.resize(cut.size() - 10);
  FarOnDisk f(cut);
  EXPECT_FALSE(f.opened);
  EXPECT_EQ(Names(f.far), (Strings{"kept", "second"}));
}

// Reopening starts fresh: a four-byte archive read after a two-byte one, then an empty one.
TEST(FarArchive, ListsAndExtractsWithTwoOrFourByteNameLengths) {
  TempDir dir;
  FarBuilder two(true), four;
  two.File("accessory.of", Filled(3, 1));  // 12 bytes, starts with two printable characters
  two.File("b", Filled(3, 2));
  two.File("anniversary.otf", Filled(5, 3));
  four.File("first.iff", Filled(100, 1));
  four.File("D:\\Sims\\GameData\\second.iff", Filled(7, 2));
  four.File("empty", {});
  WriteFile(dir / "two.far", two.Build());
  WriteFile(dir / "four.far", four.Build());
  WriteFile(dir / "empty.far", FarBuilder().Build());
  FarArchive far;
  ASSERT_TRUE(far.OpenPath(dir / "two.far") && far.TwoByteNameLengths());
  EXPECT_EQ(Names(far), (Strings{"accessory.of", "b", "anniversary.otf"}));
  ASSERT_TRUE(far.LoadEntryData(far.Entries()[2]));
  EXPECT_EQ(far.EntryData(far.Entries()[2]), Filled(5, 3));

  ASSERT_TRUE(far.OpenPath(dir / "four.far"));
  EXPECT_FALSE(far.TwoByteNameLengths());
  EXPECT_EQ(Names(far), (Strings{"first.iff", "D:\\Sims\\GameData\\second.iff", "empty"}));
  const std::vector<Bytes> expected{Filled(100, 1), Filled(7, 2), {}};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(far.LoadEntryData(far.Entries()[i]));
    EXPECT_EQ(far.EntryData(far.Entries()[i]), expected[i]);
  }
  MemoryStream out(Bytes{'#'});
  out.Seek(1);
  ASSERT_TRUE(far.WriteEntryData(far.Entries()[1], out));
  EXPECT_EQ(Bytes(out.Bytes().begin() + 1, out.Bytes().end()), Filled(7, 2));

  ASSERT_TRUE(far.OpenPath(dir / "empty.far"));
  EXPECT_EQ(far.EntryCount(), 0u);
  ASSERT_TRUE(far.OpenPath(dir / "four.far"));
  EXPECT_FALSE(far.OpenPath(dir / "missing.far"));
  EXPECT_EQ(far.EntryCount(), 0u);
}

// Every archive of the real files, when present: version 1 ones list and extract every member
// (the online game's give names two-byte lengths), the others and the broken one are refused.
TEST(FarArchive, EveryRealArchiveIsReadOrRefused) {
  const fs::path corpus = SCRIVET_CORPUS_DIR;
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  size_t opened = 0, refused = 0;
  for (const auto& item : fs::recursive_directory_iterator(corpus)) {
    char head[8] = {};
    if (!item.is_regular_file() || !std::ifstream(item.path(), std::ios::binary).read(head, 8) ||
        std::string(head, 8) != "FAR!byAZ")
      continue;
    SCOPED_TRACE(item.path().string());
    const Bytes bytes = ReadFile(item.path());
    FarArchive far;
    CoreFailure failure;
    const bool ok = far.OpenPath(item.path(), &failure);
    if (Peek(bytes, 8, 4, false) != 1 || item.path().filename().string().find("broken") != std::string::npos) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(failure.error, CoreError::NotFar);
      ++refused;
      continue;
    }
    ASSERT_TRUE(ok) << failure.detail;
    ASSERT_GT(far.EntryCount(), 0u);
    ++opened;
    if (item.path().filename() == "1b.far") {
      EXPECT_EQ(far.Entries()[1].name, "anniversary.otf");
    }
    for (FarEntry& entry : far.Entries()) {
      ASSERT_TRUE(far.LoadEntryData(entry)) << entry.name;
      const auto& data = far.EntryData(entry);
      ASSERT_EQ(data.size(), entry.dataSize);
      ASSERT_TRUE(std::equal(data.begin(), data.end(), bytes.begin() + entry.dataOffset)) << entry.name;
    }
  }
  EXPECT_GE(opened, 4u);
  EXPECT_GE(refused, 2u);  // the broken archive and the version 3 one
}

}  // namespace
