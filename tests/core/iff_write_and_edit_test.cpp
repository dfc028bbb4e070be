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

// A written file ends in a fresh map (id 0, flags 0x0010, its size also in its data) that lists
// every other chunk of `file` where its header now lies, with names cut at 63 bytes.
void ExpectMapLast(const Bytes& out, const IffFile& file) {
  std::vector<MapEntry> entries;
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    const IffChunk& c = file.ChunkAt(i);
    if (c.type != IffFile::kMapType)
      entries.push_back({TypeCodeToString(c.type), uint32_t(c.dataOffset - 76), c.id, c.flags, c.name.substr(0, 63)});
  }
  Bytes data = IffBuilder::MapData(entries);
  for (int i = 0; i < 4; ++i) data[12 + i] = uint8_t((76 + data.size()) >> 8 * i);
  Bytes map = IffBuilder::Header("rsmp", uint32_t(data.size()), 0, 0x10);
  map.insert(map.end(), data.begin(), data.end());
  const uint32_t at = Peek(out, 60, 4, true);
  ASSERT_LE(at, out.size());
  EXPECT_EQ(Bytes(out.begin() + at, out.end()), map);
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
  ExpectMapLast(out, *file);
}

// Types in first-occurrence order, entries padded by parity (name lengths 0-5); rsmp chunks in
// the list are never written.
TEST(Write, MapGroupsTypesInFirstOccurrenceOrderAndPadsByParity) {
  auto file = IffFile::CreateEmpty(false);
  const std::vector<std::tuple<const char*, uint16_t, const char*>> adds{
      {"BBBB", 5, ""},   {"AAAA", 1, "a"},    {"rsmp", 0, "old map"}, {"BBBB", 2, "bb"},
      {"CCCC", 9, "ccc"}, {"AAAA", 0, "aaaa"}, {"BBBB", 1, "bbbbb"}};
  for (const auto& [type, id, name] : adds)
    ASSERT_TRUE(file->AddChunk(MakeTypeCode(type[0], type[1], type[2], type[3]), id, name, "d", 1));
  file->ChunkAt(3).flags = 0x0004;
  ExpectMapLast(WriteToBytes(*file), *file);
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
    ExpectMapLast(written, *back);
    EXPECT_EQ(back->CountOfType(IffFile::kMapType), 1u);
    EXPECT_EQ(WriteToBytes(*back), written);
  }
}

// Container editing, as seen through the list, lookups and the type list.
TEST(Container, AddRemoveAndChangeIdentity) {
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
  EXPECT_EQ(file->AddChunk(A, 2, "s", source)->View(), std::string_view("\1\2\3\4", 4));

  // Removing and changing identities keep the type list current.
  const TypeCode C = MakeTypeCode("CCCC");
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
const TypeCode kAAAA = MakeTypeCode("AAAA"), kBBBB = MakeTypeCode("BBBB");

// Sets the little-endian flag as typed encoders do; can fail half-way, and decodes with the cursor
// and encodes by the flags when `cursorBound`.
struct TestResource : ResourceData {
  bool failEncode = false, failDecode = false, cursorBound = false;
  bool Decode() override {
    if (failDecode) return false;
    if (!cursorBound) return ResourceData::Decode();
    bytes.clear();
    for (uint8_t b; Chunk().ReadU8(b);) bytes.push_back(b);
    return true;
  }
  bool Encode() override {
    if (cursorBound) return Chunk().SetSize(0) && Chunk().WriteU16(Chunk().flags);
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

ChunkImage ImageOf(const IffChunk& c) {
  return {TypeCodeToString(c.type), c.id, c.flags, c.name, Bytes(c.Data(), c.Data() + c.Size())};
}

TEST(Resource, LoadTakesTheIdentityAndKeepsNoLinkToTheContainerOrFails) {
  auto file = ReadBytes(WriteToBytes(*TwoChunkFile()));
  ASSERT_TRUE(file);
  IffChunk& chunk = *file->Find(kAAAA, 1);
  ASSERT_FALSE(chunk.IsLoaded());
  ResourceData r;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_NE(&r.Chunk(), &chunk);
  EXPECT_EQ(r.Chunk().flags, 0);
  EXPECT_EQ(r.bytes, (Bytes{'o', 'n', 'e'}));
  // Freeing or renaming the container's chunk leaves the resource whole; it saves by identity.
  ASSERT_TRUE(file->ChangeIdentity(kAAAA, 1, kAAAA, 5, "renamed") && file->RemoveChunk(kAAAA, 5));
  r.bytes = {'1'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"BBBB#2", "rsmp#0", "AAAA#1"}));
  EXPECT_EQ(ImageOf(*file->Find(kAAAA, 1)), (ChunkImage{"AAAA", 1, 0, "first", {'1'}}));
  // Loading fails when the data cannot be read or decoded.
  auto unreadable = ReadBytes(WriteToBytes(*TwoChunkFile()));
  unreadable->ChunkAt(0).dataOffset = 1u << 30;
  EXPECT_FALSE(r.Load(*unreadable, unreadable->ChunkAt(0)));
  TestResource flaky;
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
  r.Chunk().id = 10;
  r.Chunk().flags = 0x0000;
  ASSERT_TRUE(r.Save(*file));
  // SaveAs takes the given identity and keeps the flags the encoder adds.
  TestResource flaky;
  ASSERT_TRUE(flaky.SaveAs(*file, kBBBB, 2, "as existing", 0x0020));
  ASSERT_TRUE(flaky.SaveAs(*file, kBBBB, 3, "as new", 0x0000));
  EXPECT_EQ(flaky.Chunk().name, "") << "the resource's own identity is untouched";
  std::vector<ChunkImage> images;
  for (size_t i = 0; i < file->ChunkCount(); ++i) images.push_back(ImageOf(file->ChunkAt(i)));
  EXPECT_EQ(images, (std::vector<ChunkImage>{{"AAAA", 1, 0x0011, "new name", {'x', 'y'}},
                                             {"BBBB", 2, 0x0030, "as existing", {}},
                                             {"AAAA", 10, 0x0000, "new name", {'x', 'y'}},
                                             {"BBBB", 3, 0x0010, "as new", {}}}));
}

// Load starts every decode at the first byte, whatever an earlier reader left, and Export encodes
// under the resource's flags. A failed encode changes nothing and exports nothing.
TEST(Resource, DecodeStartsAtTheFirstByteExportKeepsTheFlagsAndFailuresChangeNothing) {
  auto file = TwoChunkFile();
  IffChunk& chunk = *file->Find(kAAAA, 1);
  ASSERT_TRUE(chunk.Skip(chunk.Size()));
  TestResource r;
  r.cursorBound = true;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_EQ(r.bytes, (Bytes{'o', 'n', 'e'}));
  MemoryStream out;
  ASSERT_TRUE(r.Export(out));
  EXPECT_EQ(out.Bytes(), (Bytes{0x00, 0x00})) << "the chunk's flags are 0";

  TestResource failing;
  failing.failEncode = true;
  EXPECT_FALSE(failing.SaveAs(*file, kAAAA, 5, "never", 0x10));
  EXPECT_FALSE(failing.SaveAs(*file, kAAAA, 1, "changed", 0x10));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  EXPECT_EQ(ImageOf(file->ChunkAt(0)), (ChunkImage{"AAAA", 1, 0, "first", {'o', 'n', 'e'}}));
  MemoryStream none;
  EXPECT_FALSE(failing.Export(none));
  EXPECT_EQ(none.Length(), 0u);
}

}  // namespace
