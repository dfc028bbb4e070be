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

// A second resource class with a model of its own.
class CountResource : public ResourceOf<CountResource> {
 public:
  int count = 0;
};

std::unique_ptr<IffFile> TwoChunkFile() {
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(kAAAA, 1, "first", "one", 3);
  file->AddChunk(kBBBB, 2, "second", "two", 3);
  file->ChunkAt(0).flags = 0;
  return file;
}

std::string DataOf(const IffChunk& chunk) { return std::string(chunk.View()); }

TEST(Resource, ANewResourceHasAnEmptyLittleEndianChunk) {
  ResourceData r;
  EXPECT_EQ(r.Chunk().type, 0u);
  EXPECT_EQ(r.Chunk().id, 0);
  EXPECT_EQ(r.Chunk().flags, 0x0010);
  EXPECT_EQ(r.Chunk().Size(), 0u);
  EXPECT_EQ(r.GetType(), MakeTypeCode("DATA"));
}

TEST(Resource, LoadTakesTheIdentityAndKeepsNoLinkToTheContainer) {
  auto file = ReadBytes(WriteToBytes(*TwoChunkFile()));
  ASSERT_TRUE(file);
  IffChunk& chunk = *file->Find(kAAAA, 1);
  ASSERT_FALSE(chunk.IsLoaded());
  ResourceData r;
  ASSERT_TRUE(r.Load(*file, chunk));
  EXPECT_NE(&r.Chunk(), &chunk);
  EXPECT_EQ(r.Chunk().type, kAAAA);
  EXPECT_EQ(r.Chunk().id, 1);
  EXPECT_EQ(r.Chunk().flags, 0);
  EXPECT_EQ(r.Chunk().name, "first");
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "one");

  // Freeing or renaming the container's chunk leaves the resource whole; it saves by identity.
  ASSERT_TRUE(file->ChangeIdentity(kAAAA, 1, kAAAA, 5, "renamed"));
  ASSERT_TRUE(file->RemoveChunk(kAAAA, 5));
  r.bytes = {'1'};
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(Listing(*file), (Strings{"BBBB#2", "rsmp#0", "AAAA#1"}));
  EXPECT_EQ(file->Find(kAAAA, 1)->name, "first");
  EXPECT_EQ(DataOf(*file->Find(kAAAA, 1)), "1");
}

TEST(Resource, LoadFailsWhenDataCannotBeReadOrDecoded) {
  TempDir dir;
  WriteFile(dir / "a.iff", WriteToBytes(*TwoChunkFile()));
  auto file = IffFile::OpenPath(dir / "a.iff");
  ASSERT_TRUE(file);
  WriteFile(dir / "a.iff", Bytes(10, 0));  // rewritten behind the container
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
  EXPECT_EQ(file->Find(kAAAA, 1), &saved);
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
  EXPECT_EQ(file->Find(kAAAA, 9), &file->ChunkAt(2));

  r.Chunk().id = 10;
  r.Chunk().flags = 0x0000;
  ASSERT_TRUE(r.Save(*file));
  EXPECT_EQ(file->ChunkAt(3).flags, 0x0000);
}

TEST(Resource, SaveAsUsesTheGivenIdentityAndKeepsTheEncodersFlags) {
  auto file = TwoChunkFile();
  FlakyResource r;
  r.bytes = {'s'};
  ASSERT_TRUE(r.SaveAs(*file, kBBBB, 2, "as existing", 0x0020));
  ASSERT_TRUE(r.SaveAs(*file, kBBBB, 3, "as new", 0x0000));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2", "BBBB#3"}));
  EXPECT_EQ(file->ChunkAt(1).name, "as existing");
  EXPECT_EQ(file->ChunkAt(1).flags, 0x0030);
  EXPECT_EQ(file->ChunkAt(2).name, "as new");
  EXPECT_EQ(file->ChunkAt(2).flags, 0x0010);
  EXPECT_EQ(DataOf(file->ChunkAt(2)), "s");
  // The resource's own identity is untouched.
  EXPECT_EQ(r.Chunk().type, 0u);
  EXPECT_EQ(r.Chunk().name, "");
}

TEST(Resource, AFailedEncodeChangesNothingAndExportWritesNothing) {
  auto file = TwoChunkFile();
  FlakyResource r;
  r.failEncode = true;
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 5, "never", 0x10));
  EXPECT_FALSE(r.SaveAs(*file, kAAAA, 1, "changed", 0x10));
  EXPECT_EQ(Listing(*file), (Strings{"AAAA#1", "BBBB#2"}));
  EXPECT_EQ(file->ChunkAt(0).name, "first");
  EXPECT_EQ(file->ChunkAt(0).flags, 0);
  EXPECT_EQ(DataOf(file->ChunkAt(0)), "one");
  MemoryStream out;
  EXPECT_FALSE(r.Export(out));
  EXPECT_EQ(out.Length(), 0u);
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

TEST(Resource, CopyFromCopiesTheModelOnlyBetweenResourcesOfOneClass) {
  ResourceData owner;
  owner.Chunk().type = kAAAA;
  owner.Chunk().id = 7;
  owner.Chunk().name = "mine";
  owner.Chunk().flags = 0x0001;
  owner.Chunk().WriteZString("data");
  owner.bytes = {1, 2};

  ResourceData copy;
  copy.CopyFrom(owner);
  EXPECT_EQ(copy.Chunk().type, kAAAA);
  EXPECT_EQ(copy.Chunk().id, 7);
  EXPECT_EQ(copy.Chunk().name, "mine");
  EXPECT_EQ(copy.Chunk().flags, 0x0001);
  EXPECT_EQ(DataOf(copy.Chunk()), std::string("data\0", 5));
  EXPECT_EQ(copy.bytes, owner.bytes);
  copy.Chunk().WriteU8('!');
  copy.bytes.push_back(3);
  EXPECT_EQ(DataOf(owner.Chunk()), std::string("data\0", 5));
  EXPECT_EQ(owner.bytes, (std::vector<uint8_t>{1, 2}));

  CountResource counted;
  counted.count = 4;
  counted.CopyFrom(owner);
  EXPECT_EQ(counted.Chunk().name, "mine");
  EXPECT_EQ(counted.count, 4);
  CountResource other;
  other.CopyFrom(counted);
  EXPECT_EQ(other.count, 4);
  EXPECT_EQ(DataOf(other.Chunk()), std::string("data\0", 5));
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
  std::vector<uint8_t> encoded;
  ASSERT_TRUE(r->EncodeToBytes(encoded));
  EXPECT_EQ(std::string(encoded.begin(), encoded.end()), data);
}

}  // namespace
