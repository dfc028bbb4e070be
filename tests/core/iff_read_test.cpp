#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/iff_file.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

TEST(ReadDirectory, HeaderChecksAndErrorCodes) {
  const CoreError kNotIff = CoreError::NotIff, kBadVersion = CoreError::BadVersion, kOpens = CoreError::None;
  auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
  Bytes otherTail = IffBuilder("2.5").Get();
  for (size_t i = 12; i < 60; ++i) otherTail[i] = uint8_t(i);  // only 0-7 and 9-11 count
  const std::vector<std::tuple<const char*, Bytes, CoreError>> cases{
      {"empty", {}, kNotIff},
      {"signature only", text("IFF FILE"), kBadVersion},
      {"other signature", text("IFF FILX 2.5:TYPE FOLLOWED BY SIZE"), kNotIff},
      {"version 2.6", IffBuilder("2.6").Get(), kBadVersion},
      {"twelve bytes 2.5", text("IFF FILE 2.5"), kOpens},
      {"header 2.5", IffBuilder("2.5").Get(), kOpens},
      {"header 2.0", IffBuilder("2.0").Get(), kOpens},
      {"any text after the version", otherTail, kOpens},
  };
  for (const auto& [name, bytes, expected] : cases) {
    SCOPED_TRACE(name);
    CoreError error = CoreError::InvalidHandle;
    auto file = ReadBytes(bytes, &error);
    EXPECT_EQ(error, expected);
    EXPECT_EQ(file != nullptr, expected == kOpens);
  }
}

TEST(ReadDirectory, ScanStopsOnUnusableSizesAndTruncatedChunks) {
  // Chunk A, a chunk B with the given size field, then chunk C if the scan gets there.
  const std::vector<std::pair<int64_t, Strings>> cases{
      {0, {"AAAA#1"}},
      {75, {"AAAA#1"}},
      {76, {"AAAA#1", "BBBB#2", "CCCC#3"}},  // empty data, listed
      {0x40000001, {"AAAA#1"}},
      {0xFFFFFFFF, {"AAAA#1"}},
      {0x40000000, {"AAAA#1"}},             // more than the file holds
      {76 + 76 + 3, {"AAAA#1", "BBBB#2"}},  // B's data takes in C, up to the end of the file
      {76 + 76 + 3 + 1, {"AAAA#1"}},        // one byte more than the file holds
  };
  for (const auto& [size, listed] : cases) {
    SCOPED_TRACE(size);
    IffBuilder b;
    b.Chunk("AAAA", 1, 0x10, "a", Filled(5, 1));
    b.Chunk("BBBB", 2, 0x10, "b", {}, size);
    b.Chunk("CCCC", 3, 0x10, "c", Filled(3, 2));
    EXPECT_EQ(ListingOf(b.Get()), listed);
  }
  IffBuilder b;
  const uint32_t end = b.Chunk("AAAA", 1, 0x10, "a", Filled(5, 1)) + 76 + 5;
  b.Chunk("BBBB", 2, 0x10, "b", Filled(5, 2));
  for (size_t cut : {size_t(1), size_t(75)}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(ListingOf(Bytes(b.Get().begin(), b.Get().begin() + end + cut)), (Strings{"AAAA#1"}));
  }
}

// The largest chunk a file may hold, without a gigabyte of test data: the stream reads zeros past
// the bytes it was given.
TEST(ReadDirectory, AChunkOfTheLargestSizeIsListed) {
  struct Sparse final : Stream {
    Sparse(Bytes head, uint64_t length) : head(std::move(head)), length(length) {}
    size_t Read(void* buffer, size_t n) override {
      const size_t count = size_t(std::min<uint64_t>(n, length - std::min(at, length)));
      for (size_t i = 0; i < count; ++i, ++at) static_cast<uint8_t*>(buffer)[i] = at < head.size() ? head[at] : 0;
      return count;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Seek(uint64_t position) override { return at = position, true; }
    uint64_t Position() const override { return at; }
    uint64_t Length() const override { return length; }
    bool Truncate(uint64_t) override { return false; }
    bool IsMemory() const override { return false; }
    std::unique_ptr<Stream> Duplicate() const override { return std::make_unique<Sparse>(*this); }
    Bytes head;
    uint64_t length, at = 0;
  };
  for (const uint32_t size : {IffFile::kMaxChunkSize, IffFile::kMaxChunkSize + 1}) {
    SCOPED_TRACE(size);
    IffBuilder b;
    const uint32_t at = b.Chunk("BIGG", 1, 0x10, "", {}, size);
    auto file = IffFile::AttachStream(Sparse(b.Get(), uint64_t(at) + size), "big", true);
    ASSERT_TRUE(file && file->ReadDirectory());
    EXPECT_EQ(Listing(*file), size == IffFile::kMaxChunkSize ? Strings{"BIGG#1"} : Strings{});
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
    b.Raw(IffBuilder::Header("BHAV", 280u << 20, 4096));
    b.Raw(Bytes(500, 0));
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

// A 2.5 file: A, X (flag 0x0004, a free block), C, then a map that the cases vary.
// A's data holds bytes that look like a chunk (at 0), a map (at 78) and a large chunk (at 154).
Bytes Lookalikes() {
  Bytes d = IffBuilder::Header("PHNT", 2);
  d.resize(78);
  for (const char* type : {"rsmp", "BIG!"}) {
    const Bytes h = IffBuilder::Header(type, 100000);
    d.insert(d.end(), h.begin(), h.end());
  }
  return d;
}

struct MapFixture {
  IffBuilder b{"2.5"};
  uint32_t a = b.Chunk("AAAA", 1, 0x10, "A", Lookalikes());
  uint32_t free = b.Chunk("XXXX", 9, 0x0004, "garbage\x7f", Filled(12, 2));
  uint32_t c = b.Chunk("CCCC", 3, 0x10, "C", Filled(8, 3));
};

// What the chunk headers say wins: names stop at a zero or fill the 64-byte field, a later chunk
// of the same identity replaces the earlier one where it stands, and map entries only locate.
TEST(ReadDirectory, HeadersNameTheChunksAndTheLaterDuplicateWins) {
  const std::string long64(64, 'N');
  IffBuilder names;
  names.Chunk("AAAA", 1, 0x10, long64 + "overflow", Filled(2, 1));
  names.Chunk("BBBB", 2, 0x10, std::string("ab\0cd", 5), {});
  names.Chunk("CCCC", 3, 0x10, "\xE9t\xE9", {});
  IffBuilder dup;
  dup.Chunk("AAAA", 1, 0x10, "first", Filled(3, 1));
  dup.Chunk("BBBB", 1, 0x10, "b", Filled(3, 2));
  dup.Chunk("AAAA", 1, 0x00, "second", Filled(4, 3));
  MapFixture f;
  f.b.Map({{"AAAA", f.a, 77, 0x0000, "map name "}, {"XXXX", f.free, 9, 0x0004, "free"}, {"CCCC", f.c, 78, 0xFFFF, "x"}});
  IffBuilder mapFirst;  // as in the game's own object files
  const uint32_t aAt = 64 + 76 + uint32_t(IffBuilder::MapData({{"AAAA", 0, 1, 0x10, "A"}}).size());
  mapFirst.Map({{"AAAA", aAt, 1, 0x10, "A"}});
  mapFirst.Chunk("AAAA", 1, 0x10, "A", Filled(9, 5));
  const std::vector<std::tuple<Bytes, Strings, std::vector<ChunkImage>>> cases{
      {names.Get(), {"AAAA#1", "BBBB#2", "CCCC#3"},
       {{"AAAA", 1, 0x10, long64, Filled(2, 1)}, {"BBBB", 2, 0x10, "ab", {}}, {"CCCC", 3, 0x10, "\xE9t\xE9", {}}}},
      {dup.Get(), {"BBBB#1", "AAAA#1"}, {{"BBBB", 1, 0x10, "b", Filled(3, 2)}, {"AAAA", 1, 0x00, "second", Filled(4, 3)}}},
      {f.b.Get(), {"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"},
       {{"XXXX", 9, 0x0004, "garbage\x7f", Filled(12, 2)}, {"AAAA", 1, 0x10, "A", Lookalikes()},
        {"CCCC", 3, 0x10, "C", Filled(8, 3)}}},
      {mapFirst.Get(), {"rsmp#0", "AAAA#1"}, {{"AAAA", 1, 0x10, "A", Filled(9, 5)}}},
  };
  for (const auto& [bytes, listed, images] : cases) {
    SCOPED_TRACE(listed[0]);
    auto file = ReadBytes(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), listed);
    EXPECT_EQ(Images(*file), images);
  }
  auto file = ReadBytes(dup.Get());
  EXPECT_EQ(file->Find(MakeTypeCode("AAAA"), 1), &file->ChunkAt(1));
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{MakeTypeCode("BBBB"), MakeTypeCode("AAAA")}));
}

// Free blocks are known only through the map; map-only chunks stay where the map put them and
// scanned ones follow in scan order. Entries that lead nowhere are skipped, and a map that is not
// one, or is cut short, is used as far as it goes. A stale offset may point at any chunk or into
// one's data: only a real map is walked, and only chunks whose data lies in the file count.
TEST(ReadDirectory, MapsAreUsedAsFarAsTheyGo) {
  const Strings plain{"AAAA#1", "CCCC#3"}, scanned{"AAAA#1", "CCCC#3", "rsmp#0"},
      withFree{"XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"};
  auto mapData = [](std::function<void(Bytes&)> change) {
    return [change](MapFixture& f) {
      Bytes data = IffBuilder::MapData({{"XXXX", f.free, 9, 0x0004, "free"}});
      change(data);
      f.b.SetMapOffset(f.b.Chunk("rsmp", 0, 0x10, "", data));
    };
  };
  auto offset = [](uint32_t at) {
    return [at](MapFixture& f) {
      f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
      f.b.SetMapOffset(at);
    };
  };
  const std::vector<std::tuple<const char*, std::function<void(MapFixture&)>, Strings>> cases{
      {"no map", [](MapFixture&) {}, plain},
      {"offset at an ordinary chunk", [](MapFixture& f) { f.b.SetMapOffset(f.c); }, plain},
      {"offset at a header inside data", [](MapFixture& f) { f.b.SetMapOffset(f.a + 76); }, plain},
      {"offset at a map that runs past the end", [](MapFixture& f) { f.b.SetMapOffset(f.a + 76 + 78); }, plain},
      {"entry whose data runs past the end",
       [](MapFixture& f) { f.b.Map({{"XXXX", f.free, 9, 0x0004, ""}, {"BIG!", f.a + 76 + 154, 7, 0x10, ""}}); },
       withFree},
      {"offset past the end", offset(0x7FFFFFF0u), scanned},
      {"offset inside the header", offset(10), scanned},
      {"no offset", offset(0), scanned},
      {"version 2.0, which has no map",
       [](MapFixture& f) {
         f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
         f.b.SetVersion("2.0");
       },
       scanned},
      {"bogus entries",
       [](MapFixture& f) {
         f.b.Map({{"AAAA", 0xFFFFFFF0u, 1, 0x10, "past the end"},
                  {"AAAA", f.b.Size() + 2000, 1, 0x10, "past the end"},
                  {"AAAA", f.a + 80, 1, 0x10, "inside data"},  // a "header" with a nonsense size
                  {"AAAA", 0, 1, 0x10, "inside the file header"},
                  {"XXXX", f.free, 9, 0x0004, "free"}});
       },
       withFree},
      {"no magic", mapData([](Bytes& d) { d[8] = 'P'; }), scanned},
      {"count past the data", mapData([](Bytes& d) { d[24] = d[25] = d[26] = d[27] = 0xFF; }), withFree},
      {"name without a zero", mapData([](Bytes& d) { d.resize(d.size() - 3); }), scanned},
      {"the map lists itself and another map",  // both replace the chunk being walked
       [](MapFixture& f) {
         uint32_t second = f.b.Chunk("rsmp", 0, 0x10, "", Filled(30, 4));
         const uint32_t mapAt = f.b.Size();
         f.b.Map({{"rsmp", mapAt, 0, 0x10, ""}, {"rsmp", second, 0, 0x10, ""}, {"XXXX", f.free, 9, 0x0004, ""}});
       },
       withFree},
  };
  for (const auto& [name, map, listed] : cases) {
    SCOPED_TRACE(name);
    MapFixture f;
    map(f);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ListingOf(f.b.Get()), listed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  }
}

// Opening reads only headers; a chunk's data is read once, when asked for; LoadAll reads runs of
// chunks at once but never over one written to since, which holds its data from then on.
TEST(ReadDirectory, DataIsReadOnDemandAndLoadAllReadsRuns) {
  IffBuilder b;
  const uint16_t kChunks = 60;
  auto data = [](uint16_t i) { return Filled(i % 7 == 0 ? 0 : 100 + i * 37, uint8_t(i)); };
  std::vector<MapEntry> entries;
  for (uint16_t i = 0; i < kChunks; ++i) entries.push_back({"DATA", b.Chunk("DATA", i, 0x10, "", data(i)), i, 0x10, ""});
  b.Map(entries);
  CountingStream stream(b.Get());
  auto file = IffFile::AttachStream(stream, "runs.iff", true);
  ASSERT_TRUE(file->ReadDirectory());
  // The header, the map (read twice: as itself and through the scan), and each chunk header twice.
  EXPECT_LE(stream.Stats().bytesRead, 64 + 2 * (76 + IffBuilder::MapData(entries).size()) + 2 * kChunks * 76);
  stream.ResetStats();
  IffChunk& chunk = file->ChunkAt(8);
  uint8_t byte;
  EXPECT_EQ(chunk.Size(), data(8).size());  // not loaded yet: the declared size, and nothing to read
  EXPECT_FALSE(chunk.ReadU8(byte));
  ASSERT_TRUE(file->LoadChunkData(chunk) && chunk.SetCursor(5) && file->LoadChunkData(chunk));
  EXPECT_EQ(stream.Stats().bytesRead, data(8).size());
  EXPECT_EQ(chunk.Cursor(), 5u) << "a second load leaves the chunk alone";

  IffChunk& edited = file->ChunkAt(30);
  ASSERT_TRUE(edited.SetSize(0) && edited.WriteZString("edited"));
  stream.ResetStats();
  ASSERT_TRUE(file->LoadAll());
  EXPECT_LE(stream.Stats().reads, 4u);
  for (uint16_t i = 0; i < kChunks; ++i) {
    SCOPED_TRACE(i);
    const IffChunk& c = file->ChunkAt(i);
    ASSERT_TRUE(c.IsLoaded());
    EXPECT_EQ(Bytes(c.Data(), c.Data() + c.Size()), (i == 30 ? Bytes{'e', 'd', 'i', 't', 'e', 'd', 0} : data(i)));
    EXPECT_EQ(c.Cursor(), i == 30 ? 7u : i == 8 ? 5u : 0u);
  }
}

TEST(ReadDirectory, ReadingAgainReplacesChunksInsteadOfDuplicatingThem) {
  MapFixture f;
  f.b.Map({{"XXXX", f.free, 9, 0x0004, "free"}});
  auto file = IffFile::AttachMemoryCopy(MemoryStream(f.b.Get()));
  file->AddChunk(MakeTypeCode("NEW!"), 1, "added", "x", 1);
  file->AddChunk(MakeTypeCode("AAAA"), 1, "added too", "y", 1);
  ASSERT_TRUE(file->ReadDirectory());
  ASSERT_TRUE(file->ReadDirectory());
  // Chunks already listed stay in front unless the file has their identity.
  EXPECT_EQ(Listing(*file), (Strings{"NEW!#1", "XXXX#9", "AAAA#1", "CCCC#3", "rsmp#0"}));
  EXPECT_EQ(file->Find(MakeTypeCode("AAAA"), 1), &file->ChunkAt(2));
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
  auto copied = ReadBytes(original);
  ASSERT_TRUE(copied);
  IffChunk &a = file->ChunkAt(0), &same = copied->ChunkAt(0);
  ASSERT_TRUE(file->LoadChunkData(a) && copied->LoadChunkData(same));
  EXPECT_TRUE(a.Data() >= bytes->data() && a.Data() < bytes->data() + bytes->size()) << "read in place";
  // A write copies the data first and then grows it as it would grow a copied chunk; the bytes
  // past the data are zeros, not the file's next bytes.
  for (IffChunk* c : {&a, &same}) ASSERT_TRUE(c->SetCursor(98) && c->WriteU32(0xDDCCBBAA) && c->SetSize(c->Capacity()));
  EXPECT_EQ(a.View(), same.View());
  EXPECT_EQ(*bytes, original);
  EXPECT_FALSE(file->Write()) << "no stream of its own to write";
  EXPECT_EQ(WriteToBytes(*file), WriteToBytes(*copied));

  IffChunk kept = *file->Find(MakeTypeCode("BBBB"), 2);
  file.reset();
  bytes.reset();
  EXPECT_EQ(Bytes(kept.Data(), kept.Data() + kept.Size()), Filled(130, 2));
}

}  // namespace
