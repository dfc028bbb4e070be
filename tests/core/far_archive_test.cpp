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
};

TEST(FarArchive, LoadsListedEntriesOnceAndOnlyThose) {
  FarBuilder b;
  b.File("a", Filled(64, 1));
  b.File("b", Filled(32, 2));
  b.File("c", Filled(5, 3));
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
  // Entries not in the list, or marked skipped, are refused unread.
  FarEntry stranger = f.far.Entries()[2];
  EXPECT_FALSE(f.far.LoadEntryData(stranger));
  f.far.Entries()[2].skip = true;
  EXPECT_FALSE(f.far.LoadEntryData(f.far.Entries()[2]));
  EXPECT_EQ(f.far.DataReads(), 2u);
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
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_TRUE(f.far.EntryData(e).empty());
    MemoryStream sink;
    EXPECT_FALSE(f.far.WriteEntryData(e, sink));
    EXPECT_EQ(sink.Length(), 0u);
  }
  EXPECT_TRUE(f.far.LoadEntryData(f.far.Entries()[0]));
}

TEST(FarArchive, RefusesBadHeadersVersionsAndManifestsQuickly) {
  FarBuilder good;
  good.File("a", Filled(10, 1));
  good.File("b", Filled(10, 2));
  const Bytes base = good.Build();
  const uint32_t manifest = good.ManifestOffset();
  auto with = [&](auto change) {
    Bytes b = base;
    change(b);
    return b;
  };
  auto setLE = [](Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  };
  const std::vector<std::pair<const char*, Bytes>> cases{
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
  three.File("kept", Filled(4, 1));
  three.File("second", Filled(4, 2));
  three.File("third entry with a long name", Filled(4, 3));
  Bytes cut = three.Build();
  cut.resize(cut.size() - 10);
  FarOnDisk f(cut);
  EXPECT_FALSE(f.opened);
  EXPECT_EQ(Names(f.far), (Strings{"kept", "second"}));
}

// Reopening starts fresh: a four-byte archive read after a two-byte one, then an empty one.
TEST(FarArchive, ListsAndExtractsWithTwoOrFourByteNameLengths) {
  TempDir dir;
  FarBuilder two(true);
  two.File("accessory.of", Filled(3, 1));  // 12 bytes, starts with two printable characters
  two.File("b", Filled(3, 2));
  two.File("anniversary.otf", Filled(5, 3));
  FarBuilder four;
  four.File("first.iff", Filled(100, 1));
  four.File("D:\\Sims\\GameData\\second.iff", Filled(7, 2));
  four.File("empty", {});
  WriteFile(dir / "two.far", two.Build());
  WriteFile(dir / "four.far", four.Build());
  WriteFile(dir / "empty.far", FarBuilder().Build());
  FarArchive far;
  ASSERT_TRUE(far.OpenPath(dir / "two.far"));
  ASSERT_TRUE(far.TwoByteNameLengths());
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
    const fs::path& path = item.path();
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    if (!item.is_regular_file() || !in.read(head, 8) || std::string(head, 8) != "FAR!byAZ") continue;
    SCOPED_TRACE(path.string());
    const Bytes bytes = ReadFile(path);
    FarArchive far;
    CoreFailure failure;
    const bool ok = far.OpenPath(path, &failure);
    if (Peek(bytes, 8, 4, false) != 1 || path.filename().string().find("broken") != std::string::npos) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(failure.error, CoreError::NotFar);
      ++refused;
      continue;
    }
    ASSERT_TRUE(ok) << failure.detail;
    ++opened;
    ASSERT_GT(far.EntryCount(), 0u);
    if (path.filename() == "1b.far") {
      EXPECT_TRUE(far.TwoByteNameLengths());
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
