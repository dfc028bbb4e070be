#include "codecs/resource_bhav.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"

namespace scrivet {
namespace {

using namespace test;

Bytes Header(uint16_t signature, uint16_t count, uint8_t type = 0, uint8_t params = 0, uint8_t locals = 0,
             uint8_t byte7 = 0, uint32_t revision = 0) {
  return Cat({U16(signature), U16(count), {type, params, locals, byte7}, U32(revision)});
}

Bytes Instruction(uint16_t opcode, uint8_t t, uint8_t f, Bytes operand = Bytes(8, 0)) {
  return Cat({U16(opcode), {t, f}, operand});
}

// Signature, count, type, parameters, locals, byte 7, revision.
auto HeaderOf(const ResourceBhav& b) {
  return std::tuple(b.signature, b.instructionCount, b.type, b.parameterCount, b.localCount, b.headerByte7, b.revision);
}

TEST(ResourceBhav, HeaderedLayoutDecodes) {
  Bytes bytes = Cat({Header(0x8003, 3, 2, 4, 5, 0x77, 0x01020304),
                     Instruction(0x0100, 1, 253), Instruction(2, 254, 255, {1, 2, 3, 4, 5, 6, 7, 8}),
                     Instruction(0x1234, 0, 2)});
  ResourceBhav bhav;
  ASSERT_TRUE(DecodeBytes(bhav, bytes));
  EXPECT_EQ(HeaderOf(bhav), std::tuple(0x8003, 3, 2, 4, 5, 0x77, 0x01020304u));
  EXPECT_EQ(bhav.instructions, (std::vector<BhavInstruction>{{0x0100, 1, 253, {}},
                                                             {2, 254, 255, {1, 2, 3, 4, 5, 6, 7, 8}},
                                                             {0x1234, 0, 2, {}}}));
  EXPECT_EQ(bhav.instructions[1].OperandWord(1), 0x0403);
  ExpectCanonical<ResourceBhav>(bytes);
  FeedPrefixes<ResourceBhav>(bytes, kLE, true);
  // The declared count must fit the data.
  bytes.pop_back();
  EXPECT_FALSE(DecodeBytes(bhav, bytes));
  EXPECT_TRUE(bhav.instructions.empty());
  EXPECT_FALSE(DecodeBytes(bhav, Header(0x8002, 0xFFFF)));
}

TEST(ResourceBhav, HeaderlessLayoutIsWrittenWithAHeader) {
  Bytes bytes = Cat({U16(2), Instruction(7, 1, 254), Instruction(8, 255, 253)});
  ResourceBhav bhav;
  ASSERT_TRUE(DecodeBytes(bhav, bytes));
  EXPECT_EQ(HeaderOf(bhav), std::tuple(2, 2, 0, 0, 0, 0, 0u));
  EXPECT_EQ(bhav.instructions, (std::vector<BhavInstruction>{{7, 1, 254, {}}, {8, 255, 253, {}}}));
  FeedPrefixes<ResourceBhav>(bytes, kLE, true);
  EXPECT_EQ(EncodeBytes(bhav), Cat({Header(0x8000, 2), Instruction(7, 1, 254), Instruction(8, 255, 253)}));
  // Shorter than 12 bytes fails even when it would be a valid headerless routine.
  EXPECT_FALSE(DecodeBytes(bhav, Cat({U16(0), Bytes(8, 0)})));
}

TEST(ResourceBhav, BigEndianConversionDependsOnTheOpcode) {
  const std::pair<uint16_t, std::array<uint8_t, 8>> cases[] = {
      {2, {2, 1, 4, 3, 5, 6, 7, 8}},  {44, {2, 1, 4, 3, 5, 6, 7, 8}}, {13, {1, 2, 3, 4, 5, 6, 7, 8}},
      {24, {1, 2, 3, 4, 5, 6, 7, 8}}, {26, {1, 2, 3, 4, 5, 6, 7, 8}}, {27, {2, 1, 3, 4, 6, 5, 7, 8}},
      {42, {2, 1, 3, 4, 5, 6, 7, 8}}, {0x0100, {2, 1, 4, 3, 6, 5, 8, 7}},
  };
  for (const auto& [opcode, operand] : cases) {
    SCOPED_TRACE(opcode);
    Bytes bytes = Cat({{0x80, 0x02, 0x00, 0x01, 1, 2, 3, 0, 0x01, 0x02, 0x03, 0x04},
                       {uint8_t(opcode >> 8), uint8_t(opcode), 254, 255}, {1, 2, 3, 4, 5, 6, 7, 8}});
    ResourceBhav bhav;
    ASSERT_TRUE(DecodeBytes(bhav, bytes, kBE));
    EXPECT_EQ(HeaderOf(bhav), std::tuple(0x8002, 1, 1, 2, 3, 0, 0x01020304u));
    EXPECT_EQ(bhav.instructions, (std::vector<BhavInstruction>{{opcode, 254, 255, operand}}));
    FeedPrefixes<ResourceBhav>(bytes, kBE, true);
  }
}

TEST(ResourceBhav, EncodeRewritesTheCount) {
  ResourceBhav bhav;
  bhav.instructionCount = 9;
  BhavInstruction in{0x0102, BhavInstruction::kTargetError, 0, {}};
  in.SetOperandWord(3, -2);
  bhav.instructions = {in, in};
  const Bytes instruction = Instruction(0x0102, 253, 0, {0, 0, 0, 0, 0, 0, 0xFE, 0xFF});
  EXPECT_EQ(EncodeBytes(bhav), Cat({Header(0x8002, 2), instruction, instruction}));
  EXPECT_EQ(bhav.instructionCount, 2);
}

}  // namespace
}  // namespace scrivet
