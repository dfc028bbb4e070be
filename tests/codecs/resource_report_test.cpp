#include "codecs/resource_report.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_str.h"
#include "codecs/resource_ttab.h"
#include "codecs/type_table.h"

namespace scrivet {
namespace {

using namespace test;

IffChunk MakeChunk(const char* type, const Bytes& bytes, uint16_t flags = kLE) {
  IffChunk chunk;
  ParseTypeCode(type, chunk.type);
  chunk.flags = flags;
  chunk.Assign(bytes.data(), bytes.size());
  return chunk;
}

TEST(ResourceReport, FirstDifferenceNamesThePath) {
  ResourceTtab a, b;
  a.interactions.resize(3);
  b.interactions.resize(3);
  b.interactions[2].advertisements[4].max = 9;
  ModelNode ta, tb;
  ASSERT_TRUE(DescribeResource(a, ta));
  ASSERT_TRUE(DescribeResource(b, tb));
  EXPECT_EQ(FirstDifference(ta, tb), "interactions[2].advertisements[4].max");
  EXPECT_EQ(FirstDifference(ta, ta), "");
  b.interactions.pop_back();
  ASSERT_TRUE(DescribeResource(b, tb));
  EXPECT_EQ(FirstDifference(ta, tb), "interactions(count 3 -> 2)");
}

// Types without a text form of their own are dumped as their model tree: small objects of
// scalars on one line, list items numbered, nesting indented.
TEST(ResourceReport, ModelTreeText) {
  ResourceDgrp group;
  group.images.resize(2);
  group.images[1].sprites.resize(1);
  group.images[1].sprites[0].spriteId = 7;
  std::string text;
  ASSERT_TRUE(DumpResourceText(group, text));
  EXPECT_EQ(text,
            "version: 20004\nimages[0]:\n  directionFlags: 1\n  zoom: 1\n  sprites:\nimages[1]:\n"
            "  directionFlags: 4\n  zoom: 1\n  sprites[0]:\n    spriteId: 7\n    spriteIndex: 0\n    pixelX: 0\n"
            "    pixelY: 0\n    zOffset: 0\n    xOffset: 0\n    yOffset: 0\n    flags: 0\n");
}

TEST(ResourceReport, CheckChunkOutcomes) {
  EXPECT_EQ(CheckChunk(MakeChunk("BHAV", {1, 2})).status, ChunkCheck::Status::kDecodeFailed);

  // A big-endian constant list comes back little-endian: same model, other bytes.
  ChunkCheck swapped = CheckChunk(MakeChunk("BCON", {0, 1, 0, 5}, kBE));
  EXPECT_EQ(swapped.status, ChunkCheck::Status::kDiffers);
  EXPECT_NE(swapped.detail.find("same model"), std::string::npos);

  // A fixed-width version 8 table is written with 16 motives: the count is the field that changes.
  Bytes v8 = Cat({U16(1), U16(8), U16(1), U16(0), U32(0), U32(0), U32(0), U32(1), U32(0), U32(0), U32(0xFFFFFFFF)});
  ChunkCheck ttab = CheckChunk(MakeChunk("TTAB", v8));
  EXPECT_EQ(ttab.status, ChunkCheck::Status::kDiffers);
  EXPECT_EQ(ttab.detail, "interactions[0].motiveCount");

  ChunkCheck padded = CheckChunk(MakeChunk("FWAV", {'a', 0, 0xA3}));
  EXPECT_EQ(padded.detail, "same model, the original has 1 more byte(s) at the end");
}

TEST(TypeTable, ChunkTypesMapToTheirClasses) {
  // The registry's own rows are checked in the type interface test; these are the aliases.
  const char* const types[][2] = {
      {"TTAs", "STR#"}, {"CTSS", "STR#"}, {"FAMs", "STR#"}, {"PALT", "DATA"}, {"XXXX", "DATA"}, {"objf", "DATA"},
  };
  for (const auto& row : types) {
    TypeCode chunkType, reported;
    ASSERT_TRUE(ParseTypeCode(row[0], chunkType));
    ASSERT_TRUE(ParseTypeCode(row[1], reported));
    EXPECT_EQ(ReportedTypeFor(chunkType), reported) << row[0];
    EXPECT_EQ(CreateResourceForType(chunkType)->GetType(), reported) << row[0];
  }
}

}  // namespace
}  // namespace scrivet
