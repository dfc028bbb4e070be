#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/type_table.h"
#include "core/iff_file.h"
#include "core/iff_resource.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

using Strings = std::vector<std::string>;
const TypeCode kAAAA = MakeTypeCode("AAAA");
const TypeCode kBBBB = MakeTypeCode("BBBB");

// A codec whose encoder can be made to fail half-way, after writing some bytes.
class FlakyResource : public ResourceData {
 public:
  bool failEncode = false;
  bool failDecode = false;
  bool Decode() override { return !failDecode && ResourceData::Decode(); }
  bool Encode() override {
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

TEST(Resource, ANewResourceOwnsAnEmptyLittleEndianChunk) {
  ResourceData r;
  EXPECT_TRUE(r.OwnsChunk());
  EXPECT_EQ(r.Chunk().type, 0u);
  EXPECT_EQ(r.Chunk().id, 0);
  EXPECT_EQ(r.Chunk().flags, 0x0010);
  EXPECT_EQ(r.Chunk().Size(), 0u);
  EXPECT_EQ(r.GetType(), MakeTypeCode("DATA"));
  EXPECT_EQ(r.Reserved(1, 2), 0);
}

TEST(Resource, LoadSharesTheContainersChunk) {
  auto source = TwoChunkFile();
  auto file = ReadBytes(WriteToBytes(*source));
  ASSERT_TRUE(file);
  IffChunk& chunk = *file->Find(kBBBB, 2);
  ASSERT_FALSE(chunk.loaded);
  ResourceData r;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_FALSE(r.OwnsChunk());
  EXPECT_EQ(&r.Chunk(), &chunk);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "two");
  // Encoding writes straight into the container.
  r.bytes = {'T', 'W', 'O', '!'};
  ASSERT_TRUE(r.Encode());
  EXPECT_EQ(DataOf(*file->Find(kBBBB, 2)), "TWO!");
}

TEST(Resource, LoadFailsWhenDataCannotBeReadOrDecoded) {
  auto source = TwoChunkFile();
  Bytes bytes = WriteToBytes(*source);
  bytes.resize(64 + 76 + 1);  // the first chunk's data is cut short
  auto file = ReadBytes(bytes);
  ASSERT_TRUE(file);
  ResourceData r;
  EXPECT_FALSE(r.Load(*file, file->ChunkAt(0)));

  auto whole = TwoChunkFile();
  FlakyResource flaky;
  flaky.failDecode = true;
  EXPECT_FALSE(flaky.Load(*whole, whole->ChunkAt(0)));
}

TEST(Resource, SavingAnExistingIdentityReencodesInPlace) {
  auto file = TwoChunkFile();
  ResourceData r;
  r.Chunk().type = kAAAA;
  r.Chunk().id = 1;
  r.Chunk().name = "new name";
  r.Chunk().flags = 0x0011;
  r.bytes = {'x', 'y'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  const IffChunk& saved = file->ChunkAt(0);
  EXPECT_EQ(saved.name, "new name");
  EXPECT_EQ(saved.flags, 0x0011);
  EXPECT_EQ(DataOf(saved), "xy");
  EXPECT_TRUE(r.OwnsChunk());
  EXPECT_NE(&r.Chunk(), &saved);
}

TEST(Resource, SavingANewIdentityAppendsWithTheResourcesFlags) {
  auto file = TwoChunkFile();
  ResourceData r;
  r.Chunk().type = kAAAA;
  r.Chunk().id = 9;
  r.Chunk().name = "nine";
  r.bytes = {'9'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2", "AAAA#9"}));
  EXPECT_EQ(file->ChunkAt(2).flags, 0x0010);
  EXPECT_EQ(file->ChunkAt(2).name, "nine");
  EXPECT_EQ(DataOf(file->ChunkAt(2)), "9");

  r.Chunk().id = 10;
  r.Chunk().flags = 0x0000;
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(file->ChunkAt(3).flags, 0x0000);
}

TEST(Resource, SaveAsUsesTheGivenIdentityInBothCases) {
  auto file = TwoChunkFile();
  ResourceData r;
  r.bytes = {'s'};
  ASSERT_TRUE(r.SaveAs(*file, kBBBB, 2, "as existing", 0x0030));
  ASSERT_TRUE(r.SaveAs(*file, kBBBB, 3, "as new", 0x0000));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2", "BBBB#3"}));
  EXPECT_EQ(file->ChunkAt(1).name, "as existing");
  EXPECT_EQ(file->ChunkAt(1).flags, 0x0030);
  EXPECT_EQ(file->ChunkAt(2).name, "as new");
  EXPECT_EQ(file->ChunkAt(2).flags, 0x0000);
  EXPECT_EQ(DataOf(file->ChunkAt(2)), "s");
  // The resource's own identity is untouched.
  EXPECT_EQ(r.Chunk().type, 0u);
  EXPECT_EQ(r.Chunk().name, "");
}

TEST(Resource, ALoadedResourceSavesIntoItsOwnChunk) {
  auto file = TwoChunkFile();
  ResourceData r;
  ASSERT_TRUE(r.Load(*file, file->ChunkAt(1)));
  r.Chunk().name = "edited";
  r.bytes = {'e'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  EXPECT_EQ(file->ChunkAt(1).name, "edited");
  EXPECT_EQ(DataOf(file->ChunkAt(1)), "e");
}

TEST(Resource, FailedEncodesLeaveNewIdentitiesOutAndExportWritesNothing) {
  auto file = TwoChunkFile();
  FlakyResource r;
  r.failEncode = true;
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 5, "never", 0x10));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  MemoryStream out;
  EXPECT_FALSE(r.Export(out));
  EXPECT_EQ(out.Length(), 0u);
  // In place the partial encoding stays (the caller reports the failure).
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 1, "first", 0));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
}

TEST(Resource, ExportWritesTheEncodedDataAtTheStreamPosition) {
  ResourceData r;
  MemoryStream out(Bytes{'<'});
  out.Seek(1);
  EXPECT_TRUE(r.Export(out)) << "an empty block exports nothing and succeeds";
  EXPECT_EQ(out.Length(), 1u);
  r.bytes = {'a', 'b', 'c'};
  EXPECT_TRUE(r.Export(out));
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "<abc");
  EXPECT_EQ(r.Chunk().Size(), 0u) << "export encodes into a scratch chunk";
}

TEST(Resource, CopyFromSharesSharedChunksAndDeepCopiesOwnedOnes) {
  auto file = TwoChunkFile();
  ResourceData loaded;
  ASSERT_TRUE(loaded.Load(*file, file->ChunkAt(0)));
  ResourceData shared;
  shared.CopyFrom(loaded);
  EXPECT_FALSE(shared.OwnsChunk());
  EXPECT_EQ(&shared.Chunk(), &file->ChunkAt(0));
  EXPECT_EQ(shared.bytes, loaded.bytes);

  ResourceData owner;
  owner.Chunk().type = kAAAA;
  owner.Chunk().id = 7;
  owner.Chunk().name = "mine";
  owner.Chunk().flags = 0x0001;
  owner.Chunk().WriteZString("data");
  owner.Chunk().SetCursor(2);
  owner.bytes = {1, 2};
  ResourceData copy;
  copy.CopyFrom(owner);
  ASSERT_TRUE(copy.OwnsChunk());
  EXPECT_NE(&copy.Chunk(), &owner.Chunk());
  EXPECT_EQ(copy.Chunk().type, kAAAA);
  EXPECT_EQ(copy.Chunk().id, 7);
  EXPECT_EQ(copy.Chunk().name, "mine");
  EXPECT_EQ(copy.Chunk().flags, 0x0001);
  EXPECT_EQ(copy.Chunk().Cursor(), 2u);
  EXPECT_EQ(copy.Chunk().Capacity(), owner.Chunk().Capacity());
  EXPECT_EQ(DataOf(copy.Chunk()), std::string("data\0", 5));
  EXPECT_EQ(copy.bytes, owner.bytes);
  copy.Chunk().WriteU8('!');
  EXPECT_EQ(DataOf(owner.Chunk()), std::string("data\0", 5));

  // Copying an owned chunk over a shared one leaves the container alone.
  shared.CopyFrom(owner);
  EXPECT_TRUE(shared.OwnsChunk());
  EXPECT_EQ(DataOf(file->ChunkAt(0)), "one");
}

TEST(Resource, UnknownTypesRoundTripByteForByteAsRawData) {
  auto file = IffFile::CreateEmpty(false);
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(char(i * 31));
  const TypeCode odd = MakeTypeCode('\x81', 'q', '\0', '#');
  file->AddChunk(odd, 3, "odd", data.data(), data.size());
  auto r = CreateResourceForType(odd);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetType(), MakeTypeCode("DATA"));
  EXPECT_EQ(ReportedTypeFor(odd), MakeTypeCode("DATA"));
  ASSERT_TRUE(r->Load(*file, file->ChunkAt(0)));
  ASSERT_TRUE(r->Encode());
  EXPECT_EQ(DataOf(file->ChunkAt(0)), data);
  std::vector<uint8_t> encoded;
  ASSERT_TRUE(r->EncodeToBytes(encoded));
  EXPECT_EQ(std::string(encoded.begin(), encoded.end()), data);
}

}  // namespace
