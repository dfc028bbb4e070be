#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "tests/core/byte_builders.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testbytes;
using namespace scrivet::testsupport;

namespace {

using Strings = std::vector<std::string>;

TEST(ReadDirectory, HeaderChecksAndErrorCodes) {
  struct Case {
    const char* name;
    Bytes bytes;
    int error;  // 0 = opens
  };
  auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
  IffBuilder full("2.5");
  Bytes header25 = full.Get();
  Bytes header20 = IffBuilder("2.0").Get();
  Bytes otherTail = header25;
  for (size_t i = 12; i < 64; ++i) otherTail[i] = uint8_t(i);  // only 0-7 and 9-11 count
  otherTail[60] = otherTail[61] = otherTail[62] = otherTail[63] = 0;
  const std::vector<Case> cases{
      {"empty", {}, 3},
      {"three bytes", text("IFF"), 3},
      {"signature only", text("IFF FILE"), 4},
      {"lower case", text("iff file 2.5"), 3},
      {"other signature", text("IFF FILX 2.5:TYPE FOLLOWED BY SIZE"), 3},
      {"version 2.6", IffBuilder("2.6").Get(), 4},
      {"version 1.0", IffBuilder("1.0").Get(), 4},
      {"twelve bytes 2.5", text("IFF FILE 2.5"), 0},
      {"header 2.5", header25, 0},
      {"header 2.0", header20, 0},
      {"any text after the version", otherTail, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int error = -1;
    auto file = ReadBytes(c.bytes, &error);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(file != nullptr, c.error == 0);
    if (file) {
      EXPECT_EQ(file->ChunkCount(), 0u);
    }
  }
}

TEST(ReadDirectory, AClosedContainerReportsAnInvalidHandle) {
  auto file = IffFile::CreateEmpty();
  file->Close();
  int error = -1;
  EXPECT_FALSE(file->ReadDirectory(error));
  EXPECT_EQ(error, IffFile::kErrorInvalidHandle);
}

TEST(ReadDirectory, Version20IsReadByTheScanAndIgnoresBytes60To63) {
  IffBuilder b("2.0");  // bytes 60-63 hold "996\0", which must not be taken for a map offset
  b.Chunk("BHAV", 4096, 0x0010, "Main", Filled(33, 1));
  b.Chunk("STR#", 128, 0x0000, "Strings", Filled(1, 2));
  b.Chunk("objt", 7, 0x0010, "", {});
  auto file = ReadBytes(b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"BHAV#4096", "STR##128", "objt#7"}));
  auto images = Images(*file);
  EXPECT_EQ(images[0], (ChunkImage{"BHAV", 4096, 0x0010, "Main", Filled(33, 1)}));
  EXPECT_EQ(images[1], (ChunkImage{"STR#", 128, 0x0000, "Strings", Filled(1, 2)}));
  EXPECT_EQ(images[2], (ChunkImage{"objt", 7, 0x0010, "", {}}));
}

TEST(ReadDirectory, ScanStopsOnUnusableSizes) {
  // Each case: chunk A, a chunk with the given size field, then chunk C if the scan gets there.
  struct Case {
    int64_t size;
    Strings listed;
  };
  const std::vector<Case> cases{
      {0, {"AAAA#1"}},
      {75, {"AAAA#1"}},
      {76, {"AAAA#1", "BBBB#2", "CCCC#3"}},        // empty data, listed
      {0x40000001, {"AAAA#1"}},
      {0xFFFFFFFF, {"AAAA#1"}},
      {0x40000000, {"AAAA#1", "BBBB#2"}},          // listed; the scan then runs off the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    IffBuilder b;
    b.Chunk("AAAA", 1, 0x10, "a", Filled(5, 1));
    b.Chunk("BBBB", 2, 0x10, "b", {}, c.size);
    b.Chunk("CCCC", 3, 0x10, "c", Filled(3, 2));
    auto file = ReadBytes(b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), c.listed);
  }
}

TEST(ReadDirectory, ChunksThatClaimMoreThanTheFileHoldFailToLoadCleanly) {
  for (uint32_t size : {200u, 0x40000000u}) {
    SCOPED_TRACE(size);
    IffBuilder b;
    b.Chunk("AAAA", 1, 0x10, "a", Filled(4, 1));
    b.Chunk("BIG!", 2, 0x10, "big", Filled(10, 3), size);
    auto file = ReadBytes(b.Get());
    ASSERT_TRUE(file);
    ASSERT_EQ(file->ChunkCount(), 2u);
    IffChunk& big = file->ChunkAt(1);
    EXPECT_EQ(big.Size(), size - 76u);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(file->LoadChunkData(big));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(big.loaded);
    EXPECT_FALSE(file->LoadAll());
    // The good chunk still loads; nothing else was lost.
    EXPECT_TRUE(file->LoadChunkData(file->ChunkAt(0)));
    MemoryStream out;
    EXPECT_FALSE(file->Write(&out));
  }
}

TEST(ReadDirectory, TruncatedChunkHeadersEndTheScan) {
  IffBuilder b;
  b.Chunk("AAAA", 1, 0x10, "a", Filled(5, 1));
  Bytes full = b.Get();
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2));
  for (size_t cut : {size_t(1), size_t(40), size_t(75), size_t(76 + 4)}) {
    SCOPED_TRACE(cut);
    Bytes bytes = b.Get();
    bytes.resize(full.size() + cut);
    auto file = ReadBytes(bytes);
    ASSERT_TRUE(file);
    // A whole header with short data is listed but cannot load.
    const bool headerWhole = cut >= 76;
    EXPECT_EQ(file->ChunkCount(), headerWhole ? 2u : 1u);
    if (headerWhole) {
      EXPECT_FALSE(file->LoadChunkData(file->ChunkAt(1)));
    }
  }
}

TEST(ReadDirectory, NamesStopAtTheFirstZeroOrAfter64Bytes) {
  IffBuilder b;
  const std::string long64(64, 'N');
  b.Chunk("AAAA", 1, 0x10, long64 + "overflow", Filled(2, 1));  // field full, no zero
  b.Chunk("BBBB", 2, 0x10, std::string("ab\0cd", 5), {});
  b.Chunk("CCCC", 3, 0x10, "\xE9t\xE9", {});  // bytes kept as they are
  auto file = ReadBytes(b.Get());
  ASSERT_TRUE(file);
  ASSERT_EQ(file->ChunkCount(), 3u);
  EXPECT_EQ(file->ChunkAt(0).name, long64);
  EXPECT_EQ(file->ChunkAt(1).name, "ab");
  EXPECT_EQ(file->ChunkAt(2).name, "\xE9t\xE9");
}

TEST(ReadDirectory, DuplicatesKeepTheLaterChunkAtItsPosition) {
  IffBuilder b;
  b.Chunk("AAAA", 1, 0x10, "first", Filled(3, 1));
  b.Chunk("BBBB", 1, 0x10, "b", Filled(3, 2));
  b.Chunk("AAAA", 1, 0x00, "second", Filled(4, 3));
  b.Chunk("AAAA", 2, 0x10, "other id", {});
  auto file = ReadBytes(b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"BBBB#1", "AAAA#1", "AAAA#2"}));
  EXPECT_EQ(Images(*file)[1], (ChunkImage{"AAAA", 1, 0x00, "second", Filled(4, 3)}));
  EXPECT_EQ(file->Find(MakeTypeCode("AAAA"), 1), &file->ChunkAt(1));
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{MakeTypeCode("BBBB"), MakeTypeCode("AAAA")}));
}

// A 2.5 file: A, B (flag 0x0004, a free block), C, then a map that the cases vary.
struct MapFixture {
  IffBuilder b{"2.5"};
  uint32_t a, free, c;
  MapFixture() {
    a = b.Chunk("AAAA", 1, 0x10, "A", Filled(7, 1));
    free = b.Chunk("XXXX", 9, 0x0004, "garbage\x7f", Filled(12, 2));
    c = b.Chunk("CCCC", 3, 0x10, "C", Filled(8, 3));
  }
};

TEST(ReadDirectory, FreeBlocksAreKnownOnlyThroughTheMap) {
  {
    MapFixture f;  // no map: the scan steps over the free block without listing it
    auto file = ReadBytes(f.b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3"}));
  }
  {
    MapFixture f;
    f.b.Map({{"AAAA", f.a, 1, 0x10, "A"}, {"XXXX", f.free, 9, 0x0004, "free"}, {"CCCC", f.c, 3, 0x10, "C"}});
    auto file = ReadBytes(f.b.Get());
    ASSERT_TRUE(file);
    // Map-only chunks stay where the map put them; scanned ones move to the scan's order.
    EXPECT_EQ(Listing(*file), (Strings{"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
    auto images = Images(*file);
    EXPECT_EQ(images[0], (ChunkImage{"XXXX", 9, 0x0004, "garbage\x7f", Filled(12, 2)}));
  }
}

TEST(ReadDirectory, TheChunkHeaderIsAuthoritativeOverTheMap) {
  MapFixture f;
  // Wrong ids, flags and names in the map; the header at the offset wins.
  f.b.Map({{"AAAA", f.a, 77, 0x0000, "map name "}, {"CCCC", f.c, 78, 0xFFFF, "x"}});
  auto file = ReadBytes(f.b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3", "rsmp#0"}));
  EXPECT_EQ(file->ChunkAt(0).name, "A");
  EXPECT_EQ(file->ChunkAt(1).flags, 0x10);
}

TEST(ReadDirectory, BogusMapEntriesAreSkipped) {
  MapFixture f;
  const uint32_t end = f.b.Size() + 2000;
  f.b.Map({
      {"AAAA", 0xFFFFFFF0u, 1, 0x10, "past the end"},
      {"AAAA", end, 1, 0x10, "past the end"},
      {"AAAA", f.a + 80, 1, 0x10, "inside data"},  // a "header" with a nonsense size
      {"AAAA", 0, 1, 0x10, "inside the file header"},
      {"XXXX", f.free, 9, 0x0004, "free"},
  });
  auto file = ReadBytes(f.b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
}

TEST(ReadDirectory, MapOffsetsThatLeadNowhereFallBackToTheScan) {
  const std::vector<std::pair<const char*, uint32_t>> offsets{
      {"past the end", 0x7FFFFFF0u}, {"inside the header", 10}, {"none", 0}};
  for (const auto& [what, offset] : offsets) {
    SCOPED_TRACE(what);
    MapFixture f;
    f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
    f.b.SetMapOffset(offset);
    auto file = ReadBytes(f.b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3", "rsmp#0"}));
  }
}

TEST(ReadDirectory, AMapOffsetAtAnOrdinaryChunkOnlyRegistersThatChunk) {
  MapFixture f;
  f.b.SetMapOffset(f.c);
  auto file = ReadBytes(f.b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3"}));
}

TEST(ReadDirectory, MapsWithoutMagicOrWithTruncatedEntriesAreUsedAsFarAsTheyGo) {
  {
    MapFixture f;
    uint32_t at = f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
    f.b.BytesRef()[at + 76 + 8] = 'P';  // "Pmsr"
    auto file = ReadBytes(f.b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3", "rsmp#0"}));
  }
  {
    // The entry count claims far more than the map holds; the first entry is still read.
    MapFixture f;
    Bytes data = IffBuilder::MapData({{"XXXX", f.free, 9, 0x0004, "free"}});
    data[24] = data[25] = data[26] = data[27] = 0xFF;
    uint32_t at = f.b.Chunk("rsmp", 0, 0x10, "", data);
    f.b.SetMapOffset(at);
    auto start = std::chrono::steady_clock::now();
    auto file = ReadBytes(f.b.Get());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
  }
  {
    // A name with no zero before the end of the map data.
    MapFixture f;
    Bytes data = IffBuilder::MapData({{"XXXX", f.free, 9, 0x0004, "free"}});
    data.resize(data.size() - 3);
    uint32_t at = f.b.Chunk("rsmp", 0, 0x10, "", data);
    f.b.SetMapOffset(at);
    auto file = ReadBytes(f.b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "CCCC#3", "rsmp#0"}));
  }
}

TEST(ReadDirectory, MapsThatListMapsDoNotPullTheMapAwayWhileItIsRead) {
  // The map names itself and a second rsmp chunk with its id: both replace the chunk being walked.
  MapFixture f;
  uint32_t second = f.b.Chunk("rsmp", 0, 0x10, "", Filled(30, 4));
  const uint32_t mapAt = f.b.Size();
  f.b.Map({{"rsmp", mapAt, 0, 0x10, ""},
           {"rsmp", second, 0, 0x10, ""},
           {"XXXX", f.free, 9, 0x0004, "free"}});
  auto file = ReadBytes(f.b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
}

TEST(ReadDirectory, TheMapMayComeFirstAndItsSizeFieldMayBeStale) {
  // As in the game's own object files: the map right after the file header.
  IffBuilder b;
  const uint32_t mapAt = 64;
  const uint32_t aAt = mapAt + 76 + uint32_t(IffBuilder::MapData({{"AAAA", 0, 1, 0x10, "A"}}).size());
  b.Map({{"AAAA", aAt, 1, 0x10, "A"}});
  ASSERT_EQ(b.Chunk("AAAA", 1, 0x10, "A", Filled(9, 5)), aAt);
  auto file = ReadBytes(b.Get());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), (Strings{"rsmp#0", "AAAA#1"}));
  EXPECT_EQ(Images(*file)[0].data, Filled(9, 5));
}

TEST(ReadDirectory, ReadsOnlyHeadersAndLoadsDataOnDemand) {
  IffBuilder b;
  std::vector<MapEntry> entries;
  const size_t kChunks = 20, kData = 50000;
  for (uint16_t i = 0; i < kChunks; ++i)
    entries.push_back({"DATA", b.Chunk("DATA", i, 0x10, "chunk", Filled(kData, uint8_t(i))), i, 0x10, "chunk"});
  b.Map(entries);
  CountingStream stream(b.Get());
  auto file = IffFile::AttachStream(stream, "counted.iff", true);
  ASSERT_TRUE(file);
  EXPECT_EQ(stream.Stats().bytesRead, 0u) << "attaching reads nothing";
  int error = -1;
  ASSERT_TRUE(file->ReadDirectory(error));
  ASSERT_EQ(file->ChunkCount(), kChunks + 1);
  const uint64_t mapSize = 76 + IffBuilder::MapData(entries).size();
  // The header, the map (read twice: as itself and through the scan), and each chunk header twice.
  EXPECT_LE(stream.Stats().bytesRead, 64 + 2 * mapSize + 2 * kChunks * 76);
  for (size_t i = 0; i < file->ChunkCount(); ++i)
    if (file->ChunkAt(i).type != IffFile::kMapType) {
      EXPECT_FALSE(file->ChunkAt(i).loaded);
    }

  stream.ResetStats();
  IffChunk* chunk = file->Find(MakeTypeCode("DATA"), 7);
  ASSERT_TRUE(chunk);
  ASSERT_TRUE(file->LoadChunkData(*chunk));
  EXPECT_EQ(stream.Stats().bytesRead, kData);
  EXPECT_TRUE(std::equal(chunk->Data(), chunk->Data() + kData, Filled(kData, 7).begin()));
  // Loaded once: a second load reads nothing, and leaves the cursor alone.
  ASSERT_TRUE(chunk->SetCursor(5));
  ASSERT_TRUE(file->LoadChunkData(*chunk));
  EXPECT_EQ(stream.Stats().bytesRead, kData);
  EXPECT_EQ(chunk->Cursor(), 5u);
}

TEST(ReadDirectory, LoadAllReadsRunsOfChunksAndKeepsLoadedOnes) {
  IffBuilder b;
  const uint16_t kChunks = 60;
  for (uint16_t i = 0; i < kChunks; ++i)
    b.Chunk("DATA", i, 0x10, "", Filled(i % 7 == 0 ? 0 : 100 + i * 37, uint8_t(i)));
  CountingStream stream(b.Get());
  auto file = IffFile::AttachStream(stream, "runs.iff", true);
  int error = -1;
  ASSERT_TRUE(file->ReadDirectory(error));
  ASSERT_EQ(file->ChunkCount(), kChunks);
  // An edited chunk in the middle of a run must not be read over.
  IffChunk& edited = file->ChunkAt(30);
  ASSERT_TRUE(file->LoadChunkData(edited));
  ASSERT_TRUE(edited.SetSize(0) && edited.WriteZString("edited"));
  stream.ResetStats();
  ASSERT_TRUE(file->LoadAll());
  EXPECT_LE(stream.Stats().reads, 4u);
  for (uint16_t i = 0; i < kChunks; ++i) {
    SCOPED_TRACE(i);
    const IffChunk& c = file->ChunkAt(i);
    ASSERT_TRUE(c.loaded);
    if (i == 30) {
      EXPECT_EQ(std::string(c.View()), std::string("edited", 7));
      continue;
    }
    EXPECT_EQ(c.Cursor(), 0u);
    EXPECT_EQ(Bytes(c.Data(), c.Data() + c.Size()), Filled(i % 7 == 0 ? 0 : 100 + i * 37, uint8_t(i)));
  }
}

TEST(ReadDirectory, ReadingAgainReplacesChunksInsteadOfDuplicatingThem) {
  MapFixture f;
  f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
  MemoryStream memory(f.b.Get());
  auto file = IffFile::AttachMemoryCopy(memory);
  file->AddChunk(MakeTypeCode("NEW!"), 1, "added", "x", 1);
  file->AddChunk(MakeTypeCode("AAAA"), 1, "added too", "y", 1);
  int error = -1;
  ASSERT_TRUE(file->ReadDirectory(error));
  ASSERT_TRUE(file->ReadDirectory(error));
  // Chunks already listed stay in front unless the file has their identity.
  EXPECT_EQ(Listing(*file), (Strings{"NEW!#1", "XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
  EXPECT_EQ(file->ChunkAt(2).name, "A");
  EXPECT_EQ(file->Find(MakeTypeCode("AAAA"), 1), &file->ChunkAt(2));
  EXPECT_EQ(file->Find(MakeTypeCode("NEW!"), 1), &file->ChunkAt(0));
  EXPECT_EQ(file->TypeList().size(), 5u);
}

TEST(ReadDirectory, OpenPathKeepsTheFileAndLoadsFromIt) {
  TempDir dir;
  IffBuilder b("2.0");
  b.Chunk("AAAA", 1, 0x10, "a", Filled(100, 1));
  WriteFile(dir / "a.iff", b.Get());
  int error = -1;
  auto file = IffFile::OpenPath(dir / "a.iff", error);
  ASSERT_TRUE(file);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(file->IsReadOnly());
  EXPECT_EQ(file->Name(), (dir / "a.iff").string());
  ASSERT_EQ(file->ChunkCount(), 1u);
  EXPECT_EQ(Images(*file)[0].data, Filled(100, 1));

  std::string reason;
  EXPECT_FALSE(IffFile::OpenPath(dir / "missing.iff", error, &reason));
  EXPECT_FALSE(reason.empty());
  WriteFile(dir / "text.iff", Bytes{'h', 'e', 'l', 'l', 'o'});
  auto text = IffFile::OpenPath(dir / "text.iff", error);
  ASSERT_TRUE(text);  // the file opened; the container says why it is not IFF
  EXPECT_EQ(error, IffFile::kErrorNotIff);
}

}  // namespace
