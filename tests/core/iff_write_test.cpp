#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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

// A map entry as found in written bytes, with the pad byte that followed it (-1 = none).
struct ParsedEntry {
  std::string type;
  uint32_t offset;
  uint16_t id, flags;
  std::string name;
  int pad;
};

// Parses the map of a written file strictly, checking its fixed fields on the way.
std::vector<ParsedEntry> ParseWrittenMap(const Bytes& file) {
  std::vector<ParsedEntry> out;
  const uint32_t at = GetU32BE(file, 60);
  EXPECT_EQ(std::string(file.begin() + at, file.begin() + at + 4), "rsmp");
  const uint32_t size = GetU32BE(file, at + 4);
  EXPECT_EQ(at + size, file.size()) << "the map is the last chunk";
  EXPECT_EQ(GetU32BE(file, at + 8) >> 16, 0u) << "map id";
  EXPECT_EQ(GetU32BE(file, at + 8) & 0xFFFF, 0x0010u) << "map flags";
  for (size_t i = at + 12; i < at + 76; ++i) EXPECT_EQ(file[i], 0) << "map name byte " << i - at;
  const size_t d = at + 76;
  EXPECT_EQ(GetU32LE(file, d), 0u);
  EXPECT_EQ(GetU32LE(file, d + 4), 0u);
  EXPECT_EQ(std::string(file.begin() + d + 8, file.begin() + d + 12), "pmsr");
  EXPECT_EQ(GetU32LE(file, d + 12), size) << "data size field equals the header's";
  const uint32_t groups = GetU32LE(file, d + 16);
  size_t p = d + 20;
  for (uint32_t g = 0; g < groups; ++g) {
    std::string type(file.rend() - p - 4, file.rend() - p);  // little-endian: reversed
    const uint32_t count = GetU32LE(file, p + 4);
    p += 8;
    for (uint32_t e = 0; e < count; ++e) {
      ParsedEntry entry{type, GetU32LE(file, p), GetU16LE(file, p + 4), GetU16LE(file, p + 6), {}, -1};
      p += 8;
      while (file.at(p) != 0) entry.name.push_back(char(file[p++]));
      ++p;
      if ((p - at) % 2) entry.pad = file[p++];
      out.push_back(entry);
    }
  }
  EXPECT_EQ(p, file.size()) << "nothing after the last entry";
  return out;
}

TEST(Write, HeaderIsTheGamesTemplateWithTheMapOffset) {
  auto file = IffFile::CreateEmpty(false);
  ASSERT_TRUE(file->AddChunk(MakeTypeCode("STR#"), 128, "Strings", "abc", 3));
  Bytes out = WriteToBytes(*file);
  const char expected[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 JAMIE DOORNBOS & MAXIS 1";
  static_assert(sizeof(expected) - 1 == 60);
  EXPECT_EQ(std::memcmp(out.data(), expected, 60), 0)
      << std::string(out.begin(), out.begin() + 60);
  EXPECT_EQ(GetU32BE(out, 60), 64u + 76u + 3u);
  EXPECT_EQ(std::memcmp(IffFile::HeaderTemplate().data(), expected, 60), 0);
  EXPECT_EQ(std::string(IffFile::HeaderTemplate().begin() + 60, IffFile::HeaderTemplate().end()),
            std::string("996\0", 4));
}

TEST(Write, ChunkHeadersAreBigEndianWithNamesCutAt63) {
  auto file = IffFile::CreateEmpty(false);
  const std::string name70(70, 'n'), name63(63, 'm');
  ASSERT_TRUE(file->AddChunk(MakeTypeCode("BHAV"), 0x1234, name70, "xy", 2));
  ASSERT_TRUE(file->AddChunk(MakeTypeCode("BHAV"), 0x1235, name63, "", 0));
  file->ChunkAt(0).flags = 0xABCD;
  Bytes out = WriteToBytes(*file);
  const Bytes header(out.begin() + 64, out.begin() + 64 + 76);
  EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "BHAV");
  EXPECT_EQ(GetU32BE(header, 4), 78u);
  EXPECT_EQ(GetU32BE(header, 8), 0x1234ABCDu);  // id then flags
  EXPECT_EQ(std::string(header.begin() + 12, header.begin() + 75), std::string(63, 'n'));
  EXPECT_EQ(header[75], 0);
  EXPECT_EQ(out[140], 'x');
  auto back = ReadBytes(out);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ChunkAt(0).name, std::string(63, 'n'));
  EXPECT_EQ(back->ChunkAt(1).name, name63);
  auto entries = ParseWrittenMap(out);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, std::string(63, 'n'));
  EXPECT_EQ(entries[1].name, name63);
}

TEST(Write, MapGroupsTypesInFirstOccurrenceOrderAndPadsByParity) {
  auto file = IffFile::CreateEmpty(false);
  // Name lengths 0-5 across interleaved types; rsmp chunks in the list are never written.
  struct Add {
    const char* type;
    uint16_t id;
    const char* name;
  };
  const std::vector<Add> adds{{"BBBB", 5, ""},     {"AAAA", 1, "a"},    {"rsmp", 0, "old map"},
                              {"BBBB", 2, "bb"},   {"CCCC", 9, "ccc"},  {"AAAA", 0, "aaaa"},
                              {"BBBB", 1, "bbbbb"}};
  for (const Add& a : adds)
    ASSERT_TRUE(file->AddChunk(MakeTypeCode(a.type[0], a.type[1], a.type[2], a.type[3]), a.id, a.name, "d", 1));
  file->ChunkAt(3).flags = 0x0004;
  Bytes out = WriteToBytes(*file);
  auto entries = ParseWrittenMap(out);
  Strings order;
  for (const auto& e : entries) order.push_back(e.type + "#" + std::to_string(e.id) + ":" + e.name);
  EXPECT_EQ(order, (Strings{"BBBB#5:", "BBBB#2:bb", "BBBB#1:bbbbb", "AAAA#1:a", "AAAA#0:aaaa", "CCCC#9:ccc"}));
  for (const auto& e : entries) {
    SCOPED_TRACE(e.name);
    // Entries start at even positions, so an even-length name (with its zero, odd) needs a pad.
    if (e.name.size() % 2 == 0)
      EXPECT_EQ(e.pad, 0xA3);
    else
      EXPECT_EQ(e.pad, -1);
    // The offset leads to the chunk's own header.
    EXPECT_EQ(std::string(out.begin() + e.offset, out.begin() + e.offset + 4), e.type);
    EXPECT_EQ(GetU32BE(out, e.offset + 8) >> 16, e.id);
    EXPECT_EQ(GetU32BE(out, e.offset + 8) & 0xFFFF, e.flags);
  }
  EXPECT_EQ(entries[1].flags, 0x0004);
}

TEST(Write, AnEmptyContainerWritesAHeaderAndAnEmptyMap) {
  auto file = IffFile::CreateEmpty(false);
  Bytes out = WriteToBytes(*file);
  EXPECT_EQ(out.size(), 64u + 76u + 20u);
  EXPECT_TRUE(ParseWrittenMap(out).empty());
  auto back = ReadBytes(out);
  ASSERT_TRUE(back);
  EXPECT_EQ(Listing(*back), (Strings{"rsmp#0"}));
}

TEST(Write, DataOffsetsPointAtTheWrittenData) {
  auto file = IffFile::CreateEmpty(false);
  IffChunk* a = file->AddChunk(MakeTypeCode("AAAA"), 1, "a", "alpha", 5);
  IffChunk* b = file->AddChunk(MakeTypeCode("BBBB"), 1, "b", "beta", 4);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->dataOffset, 0u);
  Bytes out = WriteToBytes(*file);
  EXPECT_EQ(a->dataOffset, 64u + 76u);
  EXPECT_EQ(b->dataOffset, 64u + 76u + 5u + 76u);
  EXPECT_EQ(std::string(out.begin() + b->dataOffset, out.begin() + b->dataOffset + 4), "beta");
}

TEST(Write, TheOwnStreamOnlyWhenWritable) {
  auto readOnly = IffFile::CreateEmpty(true);
  ASSERT_TRUE(readOnly->AddChunk(MakeTypeCode("AAAA"), 1, "a", "x", 1));
  EXPECT_FALSE(readOnly->Write());
  MemoryStream elsewhere;
  EXPECT_TRUE(readOnly->Write(&elsewhere));

  auto writable = IffFile::CreateEmpty(false);
  ASSERT_TRUE(writable->AddChunk(MakeTypeCode("AAAA"), 1, "a", "x", 1));
  EXPECT_TRUE(writable->Write());
  EXPECT_EQ(writable->StreamLength(), elsewhere.Length());

  // A target that already holds more bytes is truncated first.
  MemoryStream longer(Bytes(10000, 0xEE));
  EXPECT_TRUE(readOnly->Write(&longer));
  EXPECT_EQ(longer.Bytes(), elsewhere.Bytes());
}

// A target that takes only so many bytes, like a full disk.
class FullDisk final : public Stream {
 public:
  explicit FullDisk(size_t room) : room_(room) {}
  size_t Read(void* buffer, size_t n) override { return inner_.Read(buffer, n); }
  bool Write(const void* buffer, size_t n) override {
    if (inner_.Position() + n > room_) return false;
    return inner_.Write(buffer, n);
  }
  bool Seek(uint64_t position) override { return inner_.Seek(position); }
  uint64_t Position() const override { return inner_.Position(); }
  uint64_t Length() const override { return inner_.Length(); }
  bool Truncate(uint64_t length) override { return inner_.Truncate(length); }
  bool IsMemory() const override { return false; }
  std::unique_ptr<Stream> Duplicate() const override { return nullptr; }

 private:
  MemoryStream inner_;
  size_t room_;
};

TEST(Write, AStreamErrorFailsTheWrite) {
  auto file = IffFile::CreateEmpty(false);
  const Bytes data = Filled(50000, 1);
  for (uint16_t i = 0; i < 40; ++i) file->AddChunk(MakeTypeCode("AAAA"), i, "chunk", data.data(), data.size());
  MemoryStream whole;
  ASSERT_TRUE(file->Write(&whole));
  for (size_t room : {size_t(10), size_t(64), size_t(1) << 20, size_t(whole.Length() - 1)}) {
    SCOPED_TRACE(room);
    FullDisk disk(room);
    EXPECT_FALSE(file->Write(&disk));
  }
  FullDisk enough(whole.Length());
  EXPECT_TRUE(file->Write(&enough));
}

TEST(Write, UnloadedChunksFailTheWrite) {
  auto source = IffFile::CreateEmpty(false);
  ASSERT_TRUE(source->AddChunk(MakeTypeCode("AAAA"), 1, "a", "x", 1));
  auto file = ReadBytes(WriteToBytes(*source));
  ASSERT_TRUE(file);
  MemoryStream out;
  EXPECT_FALSE(file->Write(&out));
  ASSERT_TRUE(file->LoadAll());
  EXPECT_TRUE(file->Write(&out));
}

// Round trips: read, load all, write, read again; every listed chunk but the map survives.
struct RoundTripCase {
  std::string name;
  std::function<Bytes()> build;
  Strings listed;  // the expected listing after the first read (maps included)
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, KeepsEveryChunkAndWritesAFreshMapLast) {
  auto file = ReadBytes(GetParam().build());
  ASSERT_TRUE(file);
  EXPECT_EQ(Listing(*file), GetParam().listed);
  auto before = Images(*file);
  Bytes written = WriteToBytes(*file);
  auto back = ReadBytes(written);
  ASSERT_TRUE(back);
  EXPECT_EQ(Images(*back), before);
  EXPECT_EQ(std::string(written.begin() + 9, written.begin() + 12), "2.5");
  EXPECT_EQ(ParseWrittenMap(written).size(), before.size());
  EXPECT_EQ(back->CountOfType(IffFile::kMapType), 1u);
  EXPECT_EQ(back->ChunkAt(back->ChunkCount() - 1).type, IffFile::kMapType);
  // Writing the re-read file gives the same bytes again.
  EXPECT_EQ(WriteToBytes(*back), written);
}

Bytes ThreeChunks(const char* version, bool withMap, bool mapDisagrees) {
  IffBuilder b(version);
  uint32_t a = b.Chunk("STR#", 128, 0x0000, "Strings", Filled(31, 1));
  uint32_t c = b.Chunk("BHAV", 4096, 0x0010, "odd size", Filled(77, 2));
  uint32_t d = b.Chunk("\x81\x82\x83\x84", 65535, 0xFFEB, "", {});
  if (withMap) {
    if (mapDisagrees)
      b.Map({{"STR#", a, 1, 0, "other "}, {"BHAV", 0, 4096, 0x10, "bad offset"}});
    else
      b.Map({{"STR#", a, 128, 0, "Strings"}, {"BHAV", c, 4096, 0x10, "odd size"},
             {"\x81\x82\x83\x84", d, 65535, 0xFFEB, ""}});
  }
  return b.Get();
}

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTrip,
    ::testing::Values(
        RoundTripCase{"Version20", [] { return ThreeChunks("2.0", false, false); },
                      {"STR##128", "BHAV#4096", "\x81\x82\x83\x84#65535"}},
        RoundTripCase{"Version25NoMap", [] { return ThreeChunks("2.5", false, false); },
                      {"STR##128", "BHAV#4096", "\x81\x82\x83\x84#65535"}},
        RoundTripCase{"Version25Map", [] { return ThreeChunks("2.5", true, false); },
                      {"STR##128", "BHAV#4096", "\x81\x82\x83\x84#65535", "rsmp#0"}},
        RoundTripCase{"Version25MapDisagrees", [] { return ThreeChunks("2.5", true, true); },
                      {"STR##128", "BHAV#4096", "\x81\x82\x83\x84#65535", "rsmp#0"}},
        RoundTripCase{"FreeBlocksThroughTheMap",
                      [] {
                        IffBuilder b;
                        uint32_t x1 = b.Chunk("XXXX", 2, 0x0014, "\x01\x02junk", Filled(40, 3));
                        b.Chunk("OBJD", 128, 0x10, "Object", Filled(200, 4));
                        uint32_t x2 = b.Chunk("XXXX", 4097, 0x0004, "", Filled(3, 5));
                        b.Map({{"XXXX", x1, 2, 0x14, ""}, {"XXXX", x2, 4097, 4, ""}});
                        return b.Get();
                      },
                      {"XXXX#2", "XXXX#4097", "OBJD#128", "rsmp#0"}},
        RoundTripCase{"LongNamesAndDuplicates",
                      [] {
                        IffBuilder b("2.0");
                        b.Chunk("AAAA", 1, 0x10, std::string(63, 'L'), Filled(1, 6));
                        b.Chunk("AAAA", 1, 0x10, "replaced", Filled(2, 7));
                        b.Chunk("AAAA", 0x8000, 0x10, "high id", {});
                        return b.Get();
                      },
                      {"AAAA#1", "AAAA#32768"}}),
    [](const auto& info) { return info.param.name; });

TEST(Write, A64ByteNameComesBackCutTo63) {
  IffBuilder b;
  b.Chunk("AAAA", 1, 0x10, std::string(64, 'Z'), Filled(3, 1));
  auto file = ReadBytes(b.Get());
  ASSERT_TRUE(file);
  ASSERT_EQ(file->ChunkAt(0).name.size(), 64u);
  auto back = ReadBytes(WriteToBytes(*file));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ChunkAt(0).name, std::string(63, 'Z'));
}

// Container editing, as seen through the list, lookups and the type list.
TEST(Container, AddReplacesTheSameIdentityAndAppends) {
  auto file = IffFile::CreateEmpty(false);
  const TypeCode A = MakeTypeCode("AAAA"), B = MakeTypeCode("BBBB");
  ASSERT_TRUE(file->AddChunk(A, 1, "one", "1", 1));
  ASSERT_TRUE(file->AddChunk(B, 1, "b", "b", 1));
  IffChunk* replaced = file->AddChunk(A, 1, "uno", "111", 3);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(Listing(*file), (Strings{"BBBB#1", "AAAA#1"}));
  EXPECT_EQ(file->Find(A, 1), replaced);
  EXPECT_EQ(replaced->flags, 0x0010);
  EXPECT_EQ(replaced->dataOffset, 0u);
  EXPECT_EQ(replaced->name, "uno");
  EXPECT_EQ(replaced->Size(), 3u);
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{B, A}));

  MemoryStream source(Bytes{1, 2, 3, 4});
  source.Seek(3);  // the whole stream is taken, from its start
  IffChunk* fromStream = file->AddChunk(B, 2, "s", source);
  ASSERT_TRUE(fromStream);
  EXPECT_EQ(Bytes(fromStream->Data(), fromStream->Data() + fromStream->Size()), (Bytes{1, 2, 3, 4}));
}

TEST(Container, RemoveAndChangeIdentityKeepTheTypeListCurrent) {
  auto file = IffFile::CreateEmpty(false);
  const TypeCode A = MakeTypeCode("AAAA"), B = MakeTypeCode("BBBB"), C = MakeTypeCode("CCCC");
  file->AddChunk(A, 1, "a1", "", 0);
  file->AddChunk(B, 1, "b1", "", 0);
  file->AddChunk(A, 2, "a2", "", 0);
  EXPECT_FALSE(file->RemoveChunk(C, 1));
  EXPECT_TRUE(file->RemoveChunk(B, 1));
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{A}));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "AAAA#2"}));

  file->ChunkAt(0).flags = 0x1234;
  ASSERT_TRUE(file->ChangeIdentity(A, 1, C, 7, "renamed"));
  EXPECT_EQ(Listing(*file), (Strings{"CCCC#7", "AAAA#2"}));
  EXPECT_EQ(file->ChunkAt(0).flags, 0x1234);
  EXPECT_EQ(file->ChunkAt(0).name, "renamed");
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{C, A}));
  EXPECT_EQ(file->Find(A, 1), nullptr);
  EXPECT_EQ(file->Find(C, 7), &file->ChunkAt(0));
  EXPECT_FALSE(file->ChangeIdentity(A, 1, C, 8, "gone"));

  // Renaming onto a taken identity: both stay listed; removing one leaves the other findable.
  ASSERT_TRUE(file->ChangeIdentity(C, 7, A, 2, "clash"));
  EXPECT_EQ(file->ChunkCount(), 2u);
  EXPECT_TRUE(file->RemoveChunk(A, 2));
  EXPECT_EQ(file->ChunkCount(), 1u);
  EXPECT_NE(file->Find(A, 2), nullptr);
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{A}));
}

TEST(Container, IterationByListOrderAndByAscendingId) {
  auto file = IffFile::CreateEmpty(false);
  const TypeCode A = MakeTypeCode("AAAA"), B = MakeTypeCode("BBBB");
  for (uint16_t id : {300, 0x8000, 5, 0x7FFF}) file->AddChunk(A, id, "", "", 0);
  file->AddChunk(B, 1, "", "", 0);

  std::vector<uint16_t> listOrder;
  for (size_t p = file->FirstOfType(A); p != IffFile::npos; p = file->NextOfSameType(p))
    listOrder.push_back(file->ChunkAt(p).id);
  EXPECT_EQ(listOrder, (std::vector<uint16_t>{300, 0x8000, 5, 0x7FFF}));

  std::vector<uint16_t> idOrder;
  for (IffChunk* c = file->LowestIdOfType(A); c; c = file->NextHigherId(*c)) idOrder.push_back(c->id);
  EXPECT_EQ(idOrder, (std::vector<uint16_t>{5, 300, 0x7FFF, 0x8000}));  // unsigned order

  EXPECT_EQ(file->FirstOfType(MakeTypeCode("NONE")), IffFile::npos);
  EXPECT_EQ(file->LowestIdOfType(MakeTypeCode("NONE")), nullptr);
  EXPECT_EQ(file->CountOfType(A), 4u);
  EXPECT_EQ(file->CountOfType(B), 1u);
  auto reread = ReadBytes(WriteToBytes(*file));
  ASSERT_TRUE(reread && reread->LoadChunkData(*reread->Find(A, 5)));
  EXPECT_EQ(reread->CountOfType(A, true), 1u);  // only loaded chunks, when asked
}

TEST(Container, ResourcesAreListedByTypeThenAscendingIdWithoutTheMap) {
  auto file = IffFile::CreateEmpty(false);
  const TypeCode A = MakeTypeCode("AAAA"), B = MakeTypeCode("BBBB");
  file->AddChunk(B, 9, "", "", 0);
  file->AddChunk(IffFile::kMapType, 0, "", "", 0);
  file->AddChunk(A, 0x8001, "", "", 0);
  file->AddChunk(B, 2, "", "", 0);
  file->AddChunk(A, 3, "", "", 0);
  Strings order;
  for (const IffChunk* c : file->ResourcesByTypeAndId())
    order.push_back(TypeCodeToString(c->type) + "#" + std::to_string(c->id));
  EXPECT_EQ(order, (Strings{"BBBB#2", "BBBB#9", "AAAA#3", "AAAA#32769"}));
}

TEST(Container, WriteChunkDataLoadsAndWritesOnlyTheData) {
  auto source = IffFile::CreateEmpty(false);
  source->AddChunk(MakeTypeCode("AAAA"), 1, "a", "payload", 7);
  auto file = ReadBytes(WriteToBytes(*source));
  ASSERT_TRUE(file);
  MemoryStream out(Bytes{'>', '>'});
  out.Seek(2);
  EXPECT_TRUE(file->WriteChunkData(MakeTypeCode("AAAA"), 1, out));
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), ">>payload");
  EXPECT_FALSE(file->WriteChunkData(MakeTypeCode("AAAA"), 2, out));
}

TEST(Container, DetachedContainersKeepTheirLoadedData) {
  auto source = IffFile::CreateEmpty(false);
  source->AddChunk(MakeTypeCode("AAAA"), 1, "a", "payload", 7);
  Bytes bytes = WriteToBytes(*source);
  CountingStream stream(bytes);
  auto file = IffFile::AttachStream(stream, "x.iff", true);
  ASSERT_TRUE(file->ReadDirectory());
  ASSERT_TRUE(file->LoadAll());
  file->DetachStream(false);
  EXPECT_EQ(file->StreamLength(), 0u);
  EXPECT_TRUE(file->IsInMemory());
  ASSERT_TRUE(file->Write());
  EXPECT_EQ(Images(*file), Images(*ReadBytes(bytes)));
}

}  // namespace
