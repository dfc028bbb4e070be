#include <gtest/gtest.h>

#include <tuple>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/iff_resource.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

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
  const uint32_t at = Peek(file, 60, 4, true);
  const uint32_t size = Peek(file, at + 4, 4, true);
  EXPECT_EQ(at + size, file.size()) << "the map is the last chunk";
  Bytes fixed;  // id 0, flags 0x0010, no name; the data's size field equals the header's
  PutText(fixed, "rsmp");
  Put(fixed, size, 4, true);
  Put(fixed, 0x0010, 4, true);
  fixed.resize(76 + 8, 0);
  PutText(fixed, "pmsr");
  Put(fixed, size, 4, false);
  EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + fixed.size()), fixed);
  const size_t d = at + 76;
  const uint32_t groups = Peek(file, d + 16, 4, false);
  size_t p = d + 20;
  for (uint32_t g = 0; g < groups; ++g) {
    std::string type(file.rend() - p - 4, file.rend() - p);  // little-endian: reversed
    const uint32_t count = Peek(file, p + 4, 4, false);
    p += 8;
    for (uint32_t e = 0; e < count; ++e) {
      ParsedEntry entry{type, Peek(file, p, 4, false), uint16_t(Peek(file, p + 4, 2, false)),
                        uint16_t(Peek(file, p + 6, 2, false)), {}, -1};
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

TEST(Write, TheGamesHeaderTemplateAndBigEndianChunkHeadersWithNamesCutAt63) {
  auto file = IffFile::CreateEmpty(false);
  IffChunk* a = file->AddChunk(MakeTypeCode("BHAV"), 0x1234, std::string(70, 'n'), "xy", 2);
  IffChunk* b = file->AddChunk(MakeTypeCode("BHAV"), 0x1235, std::string(63, 'm'), "", 0);
  ASSERT_TRUE(a && b);
  a->flags = 0xABCD;
  Bytes out = WriteToBytes(*file);
  const char expected[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 JAMIE DOORNBOS & MAXIS 1";
  EXPECT_EQ(std::string(out.begin(), out.begin() + 60), std::string(expected, 60));
  EXPECT_EQ(Peek(out, 60, 4, true), 64u + 76u + 2u + 76u);
  EXPECT_EQ(Bytes(out.begin() + 64, out.begin() + 140),
            IffBuilder::Header("BHAV", 2, 0x1234, 0xABCD, std::string(63, 'n')));
  EXPECT_EQ(out[140], 'x');
  // Written chunks learn where their data now lies.
  EXPECT_EQ(a->dataOffset, 140u);
  EXPECT_EQ(b->dataOffset, 140u + 2u + 76u);
  auto entries = ParseWrittenMap(out);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, std::string(63, 'n'));
  EXPECT_EQ(entries[1].name, std::string(63, 'm'));
}

TEST(Write, MapGroupsTypesInFirstOccurrenceOrderAndPadsByParity) {
  auto file = IffFile::CreateEmpty(false);
  // Name lengths 0-5 across interleaved types; rsmp chunks in the list are never written.
  const std::vector<std::tuple<const char*, uint16_t, const char*>> adds{
      {"BBBB", 5, ""},   {"AAAA", 1, "a"},    {"rsmp", 0, "old map"}, {"BBBB", 2, "bb"},
      {"CCCC", 9, "ccc"}, {"AAAA", 0, "aaaa"}, {"BBBB", 1, "bbbbb"}};
  for (const auto& [type, id, name] : adds)
    ASSERT_TRUE(file->AddChunk(MakeTypeCode(type[0], type[1], type[2], type[3]), id, name, "d", 1));
  file->ChunkAt(3).flags = 0x0004;
  Bytes out = WriteToBytes(*file);
  auto entries = ParseWrittenMap(out);
  Strings order;
  for (const auto& e : entries) order.push_back(e.type + "#" + std::to_string(e.id) + ":" + e.name);
  EXPECT_EQ(order, (Strings{"BBBB#5:", "BBBB#2:bb", "BBBB#1:bbbbb", "AAAA#1:a", "AAAA#0:aaaa", "CCCC#9:ccc"}));
  for (const auto& e : entries) {
    SCOPED_TRACE(e.name);
    // Entries start at even positions, so an even-length name (with its zero, odd) needs a pad.
    EXPECT_EQ(e.pad, e.name.size() % 2 == 0 ? 0xA3 : -1);
    // The offset leads to the chunk's own header.
    EXPECT_EQ(std::string(out.begin() + e.offset, out.begin() + e.offset + 4), e.type);
    EXPECT_EQ(Peek(out, e.offset + 8, 4, true) >> 16, e.id);
    EXPECT_EQ(Peek(out, e.offset + 8, 4, true) & 0xFFFF, e.flags);
  }
  EXPECT_EQ(entries[1].flags, 0x0004);
}

TEST(Write, TheOwnStreamOnlyWhenWritable) {
  auto readOnly = IffFile::CreateEmpty(true), writable = IffFile::CreateEmpty(false);
  ASSERT_TRUE(readOnly->AddChunk(MakeTypeCode("AAAA"), 1, "a", "x", 1));
  ASSERT_TRUE(writable->AddChunk(MakeTypeCode("AAAA"), 1, "a", "x", 1));
  EXPECT_FALSE(readOnly->Write());
  EXPECT_TRUE(writable->Write());
  // Another target is written from its start; one that already holds more bytes is truncated.
  MemoryStream longer(Bytes(10000, 0xEE));
  longer.Seek(9000);
  EXPECT_TRUE(readOnly->Write(&longer));
  EXPECT_EQ(writable->StreamLength(), longer.Length());
  EXPECT_EQ(ListingOf(longer.Bytes()), (Strings{"AAAA#1", "rsmp#0"}));
}

TEST(Write, AStreamErrorOrAnUnloadedChunkFailsTheWrite) {
  auto file = IffFile::CreateEmpty(false);
  const Bytes data = Filled(50000, 1);
  for (uint16_t i = 0; i < 40; ++i) file->AddChunk(MakeTypeCode("AAAA"), i, "chunk", data.data(), data.size());
  MemoryStream whole;
  ASSERT_TRUE(file->Write(&whole));
  for (size_t room : {size_t(10), size_t(64), size_t(1) << 20, size_t(whole.Length() - 1)}) {
    SCOPED_TRACE(room);
    CountingStream disk({}, room);
    EXPECT_FALSE(file->Write(&disk));
  }
  CountingStream enough({}, whole.Length());
  EXPECT_TRUE(file->Write(&enough));
  // Chunks whose data was never loaded fail it too.
  auto unloaded = ReadBytes(whole.Bytes());
  ASSERT_TRUE(unloaded);
  EXPECT_FALSE(unloaded->Write(&whole));
  ASSERT_TRUE(unloaded->LoadAll());
  EXPECT_TRUE(unloaded->Write(&whole));
}

Bytes ThreeChunks(const char* version, bool withMap, bool mapDisagrees) {
  IffBuilder b(version);
  uint32_t a = b.Chunk("STR#", 128, 0x0000, "Strings", Filled(31, 1));
  uint32_t c = b.Chunk("BHAV", 4096, 0x0010, "odd size", Filled(77, 2));
  uint32_t d = b.Chunk("\x81\x82\x83\x84", 65535, 0xFFEB, "", {});
  if (withMap && mapDisagrees) b.Map({{"STR#", a, 1, 0, "other "}, {"BHAV", 0, 4096, 0x10, "bad offset"}});
  if (withMap && !mapDisagrees)
    b.Map({{"STR#", a, 128, 0, "Strings"}, {"BHAV", c, 4096, 0x10, "odd size"},
           {"\x81\x82\x83\x84", d, 65535, 0xFFEB, ""}});
  return b.Get();
}

// Read, load all, write, read again: every listed chunk but the map survives, the map is fresh and
// last, and writing the re-read file gives the same bytes again.
TEST(Write, RoundTripsKeepEveryChunkAndWriteAFreshMapLast) {
  const Strings three{"STR##128", "BHAV#4096", "\x81\x82\x83\x84#65535"};
  Strings threeAndMap = three;
  threeAndMap.push_back("rsmp#0");
  IffBuilder freeBlocks;
  uint32_t x1 = freeBlocks.Chunk("XXXX", 2, 0x0014, "\x01\x02junk", Filled(40, 3));
  freeBlocks.Chunk("OBJD", 128, 0x10, "Object", Filled(200, 4));
  uint32_t x2 = freeBlocks.Chunk("XXXX", 4097, 0x0004, "", Filled(3, 5));
  freeBlocks.Map({{"XXXX", x1, 2, 0x14, ""}, {"XXXX", x2, 4097, 4, ""}});
  IffBuilder duplicates("2.0");
  duplicates.Chunk("AAAA", 1, 0x10, std::string(63, 'L'), Filled(1, 6));
  duplicates.Chunk("AAAA", 1, 0x10, "replaced", Filled(2, 7));
  duplicates.Chunk("AAAA", 0x8000, 0x10, "high id", {});
  const std::vector<std::tuple<const char*, Bytes, Strings>> cases{
      {"2.0", ThreeChunks("2.0", false, false), three},
      {"2.5 with a map", ThreeChunks("2.5", true, false), threeAndMap},
      {"2.5, the map disagrees", ThreeChunks("2.5", true, true), threeAndMap},
      {"free blocks through the map", freeBlocks.Get(), {"XXXX#2", "XXXX#4097", "OBJD#128", "rsmp#0"}},
      {"long names and duplicates", duplicates.Get(), {"AAAA#1", "AAAA#32768"}},
  };
  for (const auto& [name, bytes, listed] : cases) {
    SCOPED_TRACE(name);
    auto file = ReadBytes(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(Listing(*file), listed);
    auto before = Images(*file);
    Bytes written = WriteToBytes(*file);
    auto back = ReadBytes(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(Images(*back), before);
    EXPECT_EQ(std::string(written.begin() + 9, written.begin() + 12), "2.5");
    EXPECT_EQ(ParseWrittenMap(written).size(), before.size());
    EXPECT_EQ(back->CountOfType(IffFile::kMapType), 1u);
    EXPECT_EQ(WriteToBytes(*back), written);
  }
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
  EXPECT_EQ(replaced->name, "uno");
  EXPECT_EQ(file->TypeList(), (std::vector<TypeCode>{B, A}));

  MemoryStream source(Bytes{1, 2, 3, 4});
  source.Seek(3);  // the whole stream is taken, from its start
  EXPECT_EQ(file->AddChunk(B, 2, "s", source)->View(), std::string_view("\1\2\3\4", 4));
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

TEST(Container, IterationByListOrderByAscendingIdAndByTypeWithoutTheMap) {
  auto file = IffFile::CreateEmpty(false);
  const TypeCode A = MakeTypeCode("AAAA"), B = MakeTypeCode("BBBB");
  file->AddChunk(B, 9, "", "", 0);
  file->AddChunk(IffFile::kMapType, 0, "", "", 0);
  for (uint16_t id : {300, 0x8000, 5, 0x7FFF}) file->AddChunk(A, id, "", "", 0);
  file->AddChunk(B, 2, "", "", 0);

  std::vector<uint16_t> listOrder, idOrder;
  for (size_t p = file->FirstOfType(A); p != IffFile::npos; p = file->NextOfSameType(p))
    listOrder.push_back(file->ChunkAt(p).id);
  EXPECT_EQ(listOrder, (std::vector<uint16_t>{300, 0x8000, 5, 0x7FFF}));
  for (IffChunk* c = file->LowestIdOfType(A); c; c = file->NextHigherId(*c)) idOrder.push_back(c->id);
  EXPECT_EQ(idOrder, (std::vector<uint16_t>{5, 300, 0x7FFF, 0x8000}));  // unsigned order
  Strings order;
  for (const IffChunk* c : file->ResourcesByTypeAndId())
    order.push_back(TypeCodeToString(c->type) + "#" + std::to_string(c->id));
  EXPECT_EQ(order, (Strings{"BBBB#2", "BBBB#9", "AAAA#5", "AAAA#300", "AAAA#32767", "AAAA#32768"}));

  EXPECT_EQ(file->CountOfType(A), 4u);
  auto reread = ReadBytes(WriteToBytes(*file));
  ASSERT_TRUE(reread && reread->LoadChunkData(*reread->Find(A, 5)));
  EXPECT_EQ(reread->CountOfType(A, true), 1u);  // only loaded chunks, when asked
}

// Resources: loaded from and saved to a container by identity.
const TypeCode kAAAA = MakeTypeCode("AAAA");
const TypeCode kBBBB = MakeTypeCode("BBBB");

// A codec that sets the little-endian flag as typed encoders do, and can be made to fail half-way.
class FlakyResource : public ResourceData {
 public:
  bool failEncode = false;
  bool failDecode = false;
  bool Decode() override { return !failDecode && ResourceData::Decode(); }
  bool Encode() override {
    Chunk().flags |= IffChunk::kFlagLittleEndian;
    if (!failEncode) return ResourceData::Encode();
    Chunk().SetSize(0);
    Chunk().WriteZString("partial");
    return false;
  }
};

std::unique_ptr<IffFile> TwoChunkFile() {
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(kAAAA, 1, "first", "one", 3);
  file->AddChunk(kBBBB, 2, "second", "two", 3);
  file->ChunkAt(0).flags = 0;
  return file;
}

std::string DataOf(const IffChunk& chunk) { return std::string(chunk.View()); }

TEST(Resource, LoadTakesTheIdentityAndKeepsNoLinkToTheContainerOrFails) {
  auto file = ReadBytes(WriteToBytes(*TwoChunkFile()));
  ASSERT_TRUE(file);
  IffChunk& chunk = *file->Find(kAAAA, 1);
  ASSERT_FALSE(chunk.IsLoaded());
  ResourceData r;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_NE(&r.Chunk(), &chunk);
  EXPECT_EQ(r.Chunk().flags, 0);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "one");

  // Freeing or renaming the container's chunk leaves the resource whole; it saves by identity.
  ASSERT_TRUE(file->ChangeIdentity(kAAAA, 1, kAAAA, 5, "renamed"));
  ASSERT_TRUE(file->RemoveChunk(kAAAA, 5));
  r.bytes = {'1'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"BBBB#2", "rsmp#0", "AAAA#1"}));
  EXPECT_EQ(file->Find(kAAAA, 1)->name, "first");
  EXPECT_EQ(DataOf(*file->Find(kAAAA, 1)), "1");
  // Loading fails when the data cannot be read or decoded.
  auto unreadable = ReadBytes(WriteToBytes(*TwoChunkFile()));
  unreadable->ChunkAt(0).dataOffset = 1u << 30;
  EXPECT_FALSE(r.Load(*unreadable, unreadable->ChunkAt(0)));
  FlakyResource flaky;
  flaky.failDecode = true;
  EXPECT_FALSE(flaky.Load(*file, *file->Find(kAAAA, 1)));
}

TEST(Resource, SaveReencodesAnExistingIdentityInPlaceOrAppendsANewOne) {
  auto file = TwoChunkFile();
  ResourceData r;
  r.Chunk().type = kAAAA;
  r.Chunk().id = 1;
  r.Chunk().name = "new name";
  r.Chunk().flags = 0x0011;
  r.bytes = {'x', 'y'};
  ASSERT_TRUE(r.Save(*file));
  const IffChunk& saved = file->ChunkAt(0);
  EXPECT_EQ(saved.name, "new name");
  EXPECT_EQ(saved.flags, 0x0011);
  EXPECT_EQ(DataOf(saved), "xy");
  // A new identity is appended with the resource's flags.
  r.Chunk().id = 10;
  r.Chunk().flags = 0x0000;
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2", "AAAA#10"}));
  EXPECT_EQ(file->ChunkAt(2).flags, 0x0000);
  EXPECT_EQ(DataOf(file->ChunkAt(2)), "xy");
  // SaveAs takes the given identity and keeps the flags the encoder adds.
  FlakyResource flaky;
  ASSERT_TRUE(flaky.SaveAs(*file, kBBBB, 2, "as existing", 0x0020));
  ASSERT_TRUE(flaky.SaveAs(*file, kBBBB, 3, "as new", 0x0000));
  EXPECT_EQ(file->ChunkAt(1).name, "as existing");
  EXPECT_EQ(file->ChunkAt(1).flags, 0x0030);
  EXPECT_EQ(file->ChunkAt(3).flags, 0x0010);
  EXPECT_EQ(flaky.Chunk().name, "") << "the resource's own identity is untouched";
}

// Decoders read with the cursor and encoders may write by the flags: Load starts every decode at
// the first byte, whatever an earlier reader left, and Export encodes under the resource's flags.
TEST(Resource, DecodeStartsAtTheFirstByteAndExportKeepsTheFlags) {
  class CursorResource : public ResourceData {
   public:
    bool Decode() override {
      bytes.clear();
      for (uint8_t b; Chunk().ReadU8(b);) bytes.push_back(b);
      return true;
    }
    bool Encode() override {
      Chunk().SetSize(0);
      return Chunk().WriteU16(Chunk().flags);
    }
  };
  auto file = TwoChunkFile();
  IffChunk& chunk = *file->Find(kAAAA, 1);
  ASSERT_TRUE(chunk.Skip(chunk.Size()));
  CursorResource r;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "one");
  MemoryStream out;
  ASSERT_TRUE(r.Export(out));
  EXPECT_EQ(out.Bytes(), (Bytes{0x00, 0x00})) << "the chunk's flags are 0";
}

TEST(Resource, AFailedEncodeChangesNothingAndExportWritesNothing) {
  auto file = TwoChunkFile();
  FlakyResource r;
  r.failEncode = true;
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 5, "never", 0x10));
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 1, "changed", 0x10));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  EXPECT_EQ(file->ChunkAt(0).name, "first");
  EXPECT_EQ(DataOf(file->ChunkAt(0)), "one");
  MemoryStream out;
  EXPECT_FALSE(r.Export(out));
  EXPECT_EQ(out.Length(), 0u);
}

}  // namespace
