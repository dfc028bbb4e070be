#include <gtest/gtest.h>

#include <chrono>
#include <memory>
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
    CoreError error;
  };
  const CoreError kNotIff = CoreError::NotIff, kBadVersion = CoreError::BadVersion, kOpens = CoreError::None;
  auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
  IffBuilder full("2.5");
  Bytes header25 = full.Get();
  Bytes header20 = IffBuilder("2.0").Get();
  Bytes otherTail = header25;
  for (size_t i = 12; i < 64; ++i) otherTail[i] = uint8_t(i);  // only 0-7 and 9-11 count
  otherTail[60] = otherTail[61] = otherTail[62] = otherTail[63] = 0;
  const std::vector<Case> cases{
      {"empty", {}, kNotIff},
      {"three bytes", text("IFF"), kNotIff},
      {"signature only", text("IFF FILE"), kBadVersion},
      {"lower case", text("iff file 2.5"), kNotIff},
      {"other signature", text("IFF FILX 2.5:TYPE FOLLOWED BY SIZE"), kNotIff},
      {"version 2.6", IffBuilder("2.6").Get(), kBadVersion},
      {"version 1.0", IffBuilder("1.0").Get(), kBadVersion},
      {"twelve bytes 2.5", text("IFF FILE 2.5"), kOpens},
      {"header 2.5", header25, kOpens},
      {"header 2.0", header20, kOpens},
      {"any text after the version", otherTail, kOpens},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CoreError error = CoreError::InvalidHandle;
    auto file = ReadBytes(c.bytes, &error);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(file != nullptr, c.error == kOpens);
    if (file) {
      EXPECT_EQ(file->ChunkCount(), 0u);
    }
  }
}

TEST(ReadDirectory, AClosedContainerReportsAnInvalidHandle) {
  auto file = IffFile::CreateEmpty();
  file->Close();
  CoreFailure failure;
  EXPECT_FALSE(file->ReadDirectory(&failure));
  EXPECT_EQ(failure.error, CoreError::InvalidHandle);
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
      {0x40000000, {"AAAA#1"}},                    // more than the file holds
      {76 + 76 + 3, {"AAAA#1", "BBBB#2"}},         // B's data takes in C, up to the end of the file
      {76 + 76 + 3 + 1, {"AAAA#1"}},               // one byte more than the file holds
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

// Some community object files end in bytes that look like a chunk header claiming hundreds of
// megabytes: neither the scan nor a map entry may list it, or the file could never be saved.
TEST(ReadDirectory, ATailThatOnlyLooksLikeAChunkIsLeftOut) {
  for (const bool withMap : {false, true}) {
    SCOPED_TRACE(withMap ? "2.5 with a map that lists the tail" : "2.0");
    IffBuilder b(withMap ? "2.5" : "2.0");
    std::vector<MapEntry> entries{{"OBJD", b.Chunk("OBJD", 128, 0x10, "object", Filled(300, 1)), 128, 0x10, "object"},
                                  {"STR#", b.Chunk("STR#", 129, 0x10, "strings", Filled(40, 2)), 129, 0x10, "strings"},
                                  {"BHAV", 0, 4096, 0x10, ""}};
    if (withMap) {
      entries[2].offset = b.Size() + 76 + uint32_t(IffBuilder::MapData(entries).size());
      b.Map(entries);
    }
    Bytes tail;
    PutText(tail, "BHAV");
    PutU32BE(tail, 280u << 20);
    PutU16BE(tail, 4096);
    PutU16BE(tail, 0x10);
    tail.resize(76 + 500, 0);
    b.Raw(tail);
    auto file = ReadBytes(b.Get());
    ASSERT_TRUE(file);
    Strings expected{"OBJD#128", "STR##129"};
    if (withMap) expected.push_back("rsmp#0");
    EXPECT_EQ(Listing(*file), expected);
    auto back = ReadBytes(WriteToBytes(*file));
    ASSERT_TRUE(back);
    EXPECT_EQ(Images(*back), Images(*file));
  }
}

TEST(ReadDirectory, TruncatedChunksEndTheScan) {
  IffBuilder b;
  b.Chunk("AAAA", 1, 0x10, "a", Filled(5, 1));
  Bytes full = b.Get();
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2));
  for (size_t cut : {size_t(1), size_t(75)}) {
    SCOPED_TRACE(cut);
    Bytes bytes = b.Get();
    bytes.resize(full.size() + cut);
    auto file = ReadBytes(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), (Strings{"AAAA#1"}));
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

// A stale map offset or map entry may point at any chunk or into one's data, where the bytes can
// look like a header: only a real map is walked, and only chunks whose data lies in the file count.
TEST(ReadDirectory, BadMapOffsetsAndEntriesAddNoPhantoms) {
  auto header = [](std::string_view type, uint32_t size) {
    Bytes h;
    PutText(h, type);
    PutU32BE(h, size);
    PutU16BE(h, 7);
    PutU16BE(h, 0x10);
    h.resize(76, 0);
    return h;
  };
  Bytes lookalikes = header("PHNT", 76 + 2);
  lookalikes.resize(78);
  const uint32_t rsmpAt = uint32_t(lookalikes.size());
  Bytes more = header("rsmp", 76 + 100000);
  lookalikes.insert(lookalikes.end(), more.begin(), more.end());
  const uint32_t bigAt = uint32_t(lookalikes.size());
  more = header("BIG!", 76 + 100000);
  lookalikes.insert(lookalikes.end(), more.begin(), more.end());

  struct Case {
    const char* name;
    int mapOffset;  // into A's data; -1: a real map at the end listing `entry`; -2: at chunk C
    uint32_t entry;
    Strings listed;
  };
  const std::vector<Case> cases{
      {"offset at an ordinary chunk", -2, 0, {"AAAA#1", "CCCC#3"}},
      {"offset at a header inside data", 0, 0, {"AAAA#1", "CCCC#3"}},
      {"offset at a map that runs past the end", int(rsmpAt), 0, {"AAAA#1", "CCCC#3"}},
      {"entry whose data runs past the end", -1, bigAt, {"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IffBuilder b;
    const uint32_t a = b.Chunk("AAAA", 1, 0x10, "A", lookalikes);
    const uint32_t free = b.Chunk("XXXX", 9, 0x0004, "", Filled(12, 2));
    const uint32_t at = b.Chunk("CCCC", 3, 0x10, "C", Filled(8, 3));
    if (c.mapOffset == -1)
      b.Map({{"XXXX", free, 9, 0x0004, ""}, {"BIG!", a + 76 + c.entry, 7, 0x10, ""}});
    else
      b.SetMapOffset(c.mapOffset == -2 ? at : a + 76 + uint32_t(c.mapOffset));
    auto file = ReadBytes(b.Get());
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), c.listed);
  }
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
  ASSERT_TRUE(file->ReadDirectory());
  ASSERT_EQ(file->ChunkCount(), kChunks + 1);
  const uint64_t mapSize = 76 + IffBuilder::MapData(entries).size();
  // The header, the map (read twice: as itself and through the scan), and each chunk header twice.
  EXPECT_LE(stream.Stats().bytesRead, 64 + 2 * mapSize + 2 * kChunks * 76);
  for (size_t i = 0; i < file->ChunkCount(); ++i)
    if (file->ChunkAt(i).type != IffFile::kMapType) {
      EXPECT_FALSE(file->ChunkAt(i).IsLoaded());
    }

  stream.ResetStats();
  IffChunk* chunk = file->Find(MakeTypeCode("DATA"), 7);
  ASSERT_TRUE(chunk);
  // Not loaded yet: the size its header declares, and nothing to read.
  EXPECT_EQ(chunk->Size(), kData);
  uint8_t byte;
  EXPECT_FALSE(chunk->ReadU8(byte));
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
  ASSERT_TRUE(file->ReadDirectory());
  ASSERT_EQ(file->ChunkCount(), kChunks);
  // A chunk written to in the middle of a run holds its data from then on and must not be read over.
  IffChunk& edited = file->ChunkAt(30);
  ASSERT_TRUE(edited.SetSize(0) && edited.WriteZString("edited"));
  stream.ResetStats();
  ASSERT_TRUE(file->LoadAll());
  EXPECT_LE(stream.Stats().reads, 4u);
  for (uint16_t i = 0; i < kChunks; ++i) {
    SCOPED_TRACE(i);
    const IffChunk& c = file->ChunkAt(i);
    ASSERT_TRUE(c.IsLoaded());
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
  ASSERT_TRUE(file->ReadDirectory());
  ASSERT_TRUE(file->ReadDirectory());
  // Chunks already listed stay in front unless the file has their identity.
  EXPECT_EQ(Listing(*file), (Strings{"NEW!#1", "XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
  EXPECT_EQ(file->ChunkAt(2).name, "A");
  EXPECT_EQ(file->Find(MakeTypeCode("AAAA"), 1), &file->ChunkAt(2));
  EXPECT_EQ(file->Find(MakeTypeCode("NEW!"), 1), &file->ChunkAt(0));
  EXPECT_EQ(file->TypeList().size(), 5u);
}

// Bytes the caller already holds are read in place: loaded data points into them until a write
// copies it, nothing is written into them, and what the container hands out keeps them alive.
TEST(ReadDirectory, SharedBytesAreReadInPlaceUntilWritten) {
  IffBuilder b;
  b.Chunk("AAAA", 1, 0x10, "a", Filled(100, 1));
  b.Chunk("BBBB", 2, 0x10, "b", Filled(130, 2));
  const Bytes original = b.Get();
  auto bytes = std::make_shared<const Bytes>(original);
  auto file = IffFile::AttachShared(bytes);
  ASSERT_TRUE(file && file->ReadDirectory());
  EXPECT_TRUE(file->IsReadOnly());
  auto copied = ReadBytes(original);
  ASSERT_TRUE(copied);
  IffChunk& a = *file->Find(MakeTypeCode("AAAA"), 1);
  IffChunk& same = *copied->Find(MakeTypeCode("AAAA"), 1);
  ASSERT_TRUE(file->LoadChunkData(a) && copied->LoadChunkData(same));
  EXPECT_TRUE(a.Data() >= bytes->data() && a.Data() < bytes->data() + bytes->size()) << "read in place";
  // A write copies the data first and then grows it as it would grow a copied chunk.
  EXPECT_EQ(a.Capacity(), same.Capacity());
  for (IffChunk* c : {&a, &same}) ASSERT_TRUE(c->SetCursor(98) && c->WriteU32(0xDDCCBBAA) && c->SetSize(c->Capacity()));
  EXPECT_EQ(a.Capacity(), same.Capacity());
  EXPECT_EQ(a.View(), same.View()) << "the bytes past the data are zeros, not the file's next bytes";
  EXPECT_EQ(*bytes, original);

  EXPECT_FALSE(file->Write()) << "no stream of its own to write";
  EXPECT_EQ(WriteToBytes(*file), WriteToBytes(*copied));

  IffChunk kept = *file->Find(MakeTypeCode("BBBB"), 2);
  file.reset();
  bytes.reset();
  EXPECT_EQ(Bytes(kept.Data(), kept.Data() + kept.Size()), Filled(130, 2));
}

TEST(ReadDirectory, OpenPathKeepsTheFileAndLoadsFromIt) {
  TempDir dir;
  IffBuilder b("2.0");
  b.Chunk("AAAA", 1, 0x10, "a", Filled(100, 1));
  WriteFile(dir / "a.iff", b.Get());
  CoreFailure failure{CoreError::InvalidHandle, "stale"};
  auto file = IffFile::OpenPath(dir / "a.iff", &failure);
  ASSERT_TRUE(file);
  EXPECT_EQ(failure.error, CoreError::None);
  EXPECT_TRUE(file->IsReadOnly());
  EXPECT_EQ(file->Name(), (dir / "a.iff").string());
  ASSERT_EQ(file->ChunkCount(), 1u);
  EXPECT_EQ(Images(*file)[0].data, Filled(100, 1));

  EXPECT_FALSE(IffFile::OpenPath(dir / "missing.iff", &failure));
  EXPECT_EQ(failure.error, CoreError::System);
  EXPECT_FALSE(failure.detail.empty());
  WriteFile(dir / "text.iff", Bytes{'h', 'e', 'l', 'l', 'o'});
  auto text = IffFile::OpenPath(dir / "text.iff", &failure);
  ASSERT_TRUE(text);  // the file opened; the container says why it is not IFF
  EXPECT_EQ(failure.error, CoreError::NotIff);
}

}  // namespace
