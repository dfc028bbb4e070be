#include "codecs/resource_report.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/resource_bhav.h"
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

const ModelNode* Member(const ModelNode& node, const std::string& key) {
  for (const auto& [k, v] : node.members)
    if (k == key) return &v;
  return nullptr;
}

TEST(ResourceReport, BhavTreeUsesTheModelNames) {
  ResourceBhav bhav;
  BhavInstruction in;
  in.opcode = 2;
  in.trueTarget = 254;
  in.falseTarget = 253;
  in.operand = {1, 2, 3, 4, 5, 6, 7, 8};
  bhav.instructions = {in};
  ModelNode tree;
  ASSERT_TRUE(DescribeResource(bhav, tree));
  for (const char* key : {"signature", "instructionCount", "type", "parameterCount", "localCount", "headerByte7",
                          "revision", "instructions"})
    EXPECT_NE(Member(tree, key), nullptr) << key;
  const ModelNode& first = Member(tree, "instructions")->elements.at(0);
  EXPECT_EQ(Member(first, "opcode")->number, 2);
  EXPECT_EQ(Member(first, "operand")->elements.size(), 8u);

  std::string text;
  ASSERT_TRUE(DumpResourceText(bhav, text));
  EXPECT_NE(text.find("0: opcode 0x0002  true True  false Error  operand 01 02 03 04 05 06 07 08"), std::string::npos)
      << text;
}

TEST(ResourceReport, StringItemsHoldTwentyLanguages) {
  ResourceStr str;
  str.SetString(0, 2, 0, "Bonjour");
  ModelNode tree;
  ASSERT_TRUE(DescribeResource(str, tree));
  const ModelNode& item = Member(tree, "items")->elements.at(0);
  ASSERT_EQ(item.elements.size(), 20u);
  EXPECT_EQ(Member(item.elements[2], "value")->text, "Bonjour");
  std::string text;
  ASSERT_TRUE(DumpResourceText(str, text));
  EXPECT_NE(text.find("[0] French: \"Bonjour\""), std::string::npos) << text;

  ResourceData raw;
  EXPECT_FALSE(DescribeResource(raw, tree));
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

// No codec and identical round trips: see EveryRegisteredTypeRoundTripsAndReports.
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
  const char* const types[][2] = {
      {"STR#", "STR#"}, {"TTAs", "STR#"}, {"CTSS", "STR#"}, {"FAMs", "STR#"}, {"BHAV", "BHAV"}, {"TTAB", "TTAB"},
      {"OBJD", "OBJD"}, {"OBJf", "OBJf"}, {"CARR", "CARR"}, {"BCON", "BCON"}, {"FWAV", "FWAV"}, {"GLOB", "GLOB"},
      {"TRCN", "TRCN"}, {"SPR#", "SPR#"}, {"SPR2", "SPR2"}, {"DGRP", "DGRP"}, {"PALT", "DATA"}, {"XXXX", "DATA"},
      {"objf", "DATA"},
  };
  for (const auto& row : types) {
    TypeCode chunkType, reported;
    ASSERT_TRUE(ParseTypeCode(row[0], chunkType));
    ASSERT_TRUE(ParseTypeCode(row[1], reported));
    EXPECT_EQ(ReportedTypeFor(chunkType), reported) << row[0];
    EXPECT_EQ(CreateResourceForType(chunkType)->GetType(), reported) << row[0];
  }
}

// Every registered row: its chunk types and its reported code lead back to it, a new resource of
// its class round-trips unchanged, and it has a readable view exactly when its row has a report.
TEST(TypeTable, EveryRegisteredTypeRoundTripsAndReports) {
  ASSERT_GE(RegisteredTypes().size(), 13u);
  for (const ResourceType& type : RegisteredTypes()) {
    SCOPED_TRACE(TypeCodeToString(type.reported));
    for (TypeCode chunkType : type.chunkTypes) {
      EXPECT_EQ(&ReadableTypeFor(chunkType), &type);
      EXPECT_EQ(&TypeFor(chunkType), type.reportOnly ? &RegisteredTypes()[0] : &type);
    }
    EXPECT_EQ(FindReportedType(type.reported), &type);
    const auto resource = type.create();
    ASSERT_EQ(resource->GetType(), type.reported);

    Bytes bytes;
    ASSERT_TRUE(resource->EncodeToBytes(bytes));
    const bool raw = type.reported == ResourceData::kType || type.reportOnly;
    const ChunkCheck check = CheckChunk(
        MakeChunk(type.chunkTypes.empty() ? "XXXX" : TypeCodeToString(type.chunkTypes[0]).c_str(), bytes));
    EXPECT_EQ(check.status, raw ? ChunkCheck::Status::kNoCodec : ChunkCheck::Status::kIdentical) << check.detail;

    ModelNode tree;
    std::string text;
    EXPECT_EQ(DescribeResource(*resource, tree), type.describe != nullptr);
    EXPECT_EQ(DumpResourceText(*resource, text), type.describe != nullptr);
    if (type.describe) {
      EXPECT_FALSE(type.describe(ResourceData(), tree)) << "a resource of another class";
    }
    if (type.text) {
      EXPECT_FALSE(type.text(ResourceData(), text));
    }
  }
}

}  // namespace
}  // namespace scrivet
