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

TEST(ResourceBhav, HeaderedLayoutDecodes) {
  Bytes bytes = Cat({Header(0x8003, 3, 2, 4, 5, 0x77, 0x01020304),
                     Instruction(0x0100, 1, 253), Instruction(2, 254, 255, {1, 2, 3, 4, 5, 6, 7, 8}),
                     Instruction(0x1234, 0, 2)});
  ResourceBhav bhav;
  ASSERT_TRUE(DecodeBytes(bhav, bytes));
  EXPECT_EQ(bhav.signature, 0x8003);
  EXPECT_EQ(bhav.instructionCount, 3);
  EXPECT_EQ(bhav.type, 2);
  EXPECT_EQ(bhav.parameterCount, 4);
  EXPECT_EQ(bhav.localCount, 5);
  EXPECT_EQ(bhav.headerByte7, 0x77);
  EXPECT_EQ(bhav.revision, 0x01020304u);
  ASSERT_EQ(bhav.instructions.size(), 3u);
  EXPECT_EQ(bhav.instructions[0].opcode, 0x0100);
  EXPECT_EQ(bhav.instructions[1].trueTarget, 254);
  EXPECT_EQ(bhav.instructions[1].falseTarget, 255);
  EXPECT_EQ(bhav.instructions[1].OperandWord(1), 0x0403);
  ExpectCanonical<ResourceBhav>(bytes);
  FeedPrefixes<ResourceBhav>(bytes, kLE, true);
}

TEST(ResourceBhav, DeclaredCountMustFitTheData) {
  Bytes three = Cat({Header(0x8002, 3), Instruction(1, 1, 2), Instruction(2, 2, 3), Instruction(3, 0, 1)});
  ASSERT_EQ(three.size(), 48u);
  ResourceBhav bhav;
  EXPECT_TRUE(DecodeBytes(bhav, three));
  three.pop_back();
  EXPECT_FALSE(DecodeBytes(bhav, three));
  EXPECT_TRUE(bhav.instructions.empty());
  ResourceBhav huge;
  EXPECT_FALSE(DecodeBytes(huge, Header(0x8002, 0xFFFF)));
}

TEST(ResourceBhav, HeaderlessLayout) {
  Bytes bytes = Cat({U16(2), Instruction(7, 1, 254), Instruction(8, 255, 253)});
  ResourceBhav bhav;
  ASSERT_TRUE(DecodeBytes(bhav, bytes));
  EXPECT_EQ(bhav.signature, 2);
  EXPECT_EQ(bhav.instructionCount, 2);
  EXPECT_EQ(bhav.revision, 0u);
  ASSERT_EQ(bhav.instructions.size(), 2u);
  EXPECT_EQ(bhav.instructions[1].opcode, 8);
  FeedPrefixes<ResourceBhav>(bytes, kLE, true);

  // Written with a header so that it reads back as the same routine.
  Bytes out = EncodeBytes(bhav);
  EXPECT_EQ(out, Cat({Header(0x8000, 2), Instruction(7, 1, 254), Instruction(8, 255, 253)}));
  ResourceBhav back;
  ASSERT_TRUE(DecodeBytes(back, out));
  EXPECT_EQ(back.instructions, bhav.instructions);

  // Shorter than 12 bytes fails even when it would be a valid headerless routine.
  EXPECT_FALSE(DecodeBytes(bhav, Cat({U16(0), Bytes(8, 0)})));
}

TEST(ResourceBhav, BigEndianConversionDependsOnTheOpcode) {
  const Bytes operand = {1, 2, 3, 4, 5, 6, 7, 8};
  struct Case { uint16_t opcode; Bytes expected; };
  const Case cases[] = {
      {2, {2, 1, 4, 3, 5, 6, 7, 8}},
      {44, {2, 1, 4, 3, 5, 6, 7, 8}},
      {13, {1, 2, 3, 4, 5, 6, 7, 8}},
      {24, {1, 2, 3, 4, 5, 6, 7, 8}},
      {26, {1, 2, 3, 4, 5, 6, 7, 8}},
      {27, {2, 1, 3, 4, 6, 5, 7, 8}},
      {42, {2, 1, 3, 4, 5, 6, 7, 8}},
      {0x0100, {2, 1, 4, 3, 6, 5, 8, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opcode);
    Bytes bytes = Cat({{0x80, 0x02, 0x00, 0x01, 1, 2, 3, 0, 0x01, 0x02, 0x03, 0x04},
                       {uint8_t(c.opcode >> 8), uint8_t(c.opcode), 254, 255}, operand});
    ResourceBhav bhav;
    ASSERT_TRUE(DecodeBytes(bhav, bytes, kBE));
    EXPECT_EQ(bhav.signature, 0x8002);
    EXPECT_EQ(bhav.revision, 0x01020304u);
    EXPECT_EQ(bhav.type, 1);
    ASSERT_EQ(bhav.instructions.size(), 1u);
    EXPECT_EQ(bhav.instructions[0].opcode, c.opcode);
    EXPECT_EQ(Bytes(bhav.instructions[0].operand.begin(), bhav.instructions[0].operand.end()), c.expected);
    FeedPrefixes<ResourceBhav>(bytes, kBE, true);
  }
}

TEST(ResourceBhav, EncodeRewritesCountAndFlags) {
  ResourceBhav bhav;
  bhav.instructionCount = 9;
  BhavInstruction in;
  in.opcode = 0x0102;
  in.trueTarget = BhavInstruction::kTargetError;
  in.SetOperandWord(3, -2);
  bhav.instructions = {in, in};
  Bytes out = EncodeBytes(bhav);
  EXPECT_EQ(out.size(), 36u);
  EXPECT_EQ(bhav.instructionCount, 2);
  EXPECT_EQ(out[2], 2);
  EXPECT_EQ(out[12 + 10], 0xFE);
  EXPECT_EQ(out[12 + 11], 0xFF);
}

}  // namespace
}  // namespace scrivet
