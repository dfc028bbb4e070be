// The shipped script.txt: every primitive formats through `main`, whatever its operands, and names
// functions of the generated stand-in game folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "core/stream.h"
#include "tests/behaviour/behaviour_test_util.h"

namespace scrivet {
namespace {

class DefaultScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(SCRIVET_SCRIPT_PATH, bytes));
    ASSERT_TRUE(primitives_.Load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    ASSERT_NE(primitives_.FindSubroutine("main"), nullptr);
    primitives_.scriptReady = true;
  }

  std::string Format(uint16_t opcode, std::array<uint8_t, 8> operand,
                     InstructionFormatter::Source* source = nullptr) {
    return formatter_.FormatInstruction(opcode, operand, "", source);
  }

  PrimitiveCatalogue primitives_;
  FunctionCatalogue functions_;
  InstructionFormatter formatter_{primitives_, &functions_};
};

TEST_F(DefaultScriptTest, EveryOpcodeFormatsThroughMain) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int opcode = 0; opcode < 256; ++opcode) {
    for (int i = 0; i < 42; ++i) {  // all zero, all 0xFF, then random operands
      std::array<uint8_t, 8> operand;
      for (uint8_t& b : operand) b = i < 2 ? uint8_t(-i) : static_cast<uint8_t>(byte(random));
      InstructionFormatter::Source source;
      std::string text = Format(static_cast<uint16_t>(opcode), operand, &source);
      ASSERT_EQ(source, InstructionFormatter::Source::Main) << "opcode " << opcode << " fell back to: " << text;
      ASSERT_FALSE(text.empty()) << "opcode " << opcode;
    }
  }
}

TEST_F(DefaultScriptTest, ReadableOperands) {
  struct Case {
    uint16_t opcode;
    std::array<uint8_t, 8> operand;
    const char* text;
  };
  const Case cases[] = {
      {2, {7, 0, 5, 0, 0, 5, 14, 7}, "My motive 7 (Hunger) := Literal 5"},
      {2, {3, 0, 0xFF, 0xFF, 0, 2, 8, 7}, "Temp 3 == Literal -1"},
      {2, {1, 0, 2, 0, 0, 8, 25, 7}, "Flag Literal 2 of Local 1 set?"},
      {2, {1, 0, 2, 0, 0, 20, 9, 11}, "Param 1 := sqrt(Temp [temp 2])"},
      {2, {0, 0, 0, 0, 0, 99, 0, 0}, "My attribute 0 operator 99 My attribute 0"},
      {0, {3, 0, 0, 0, 0, 0, 0, 0}, "Sleep for Param 3 ticks"},
      {8, {1, 0, 8, 0, 10, 0, 7, 0}, "Random Number: Temp 1 := random below Literal 10"},
      {13, {2, 1, 3, 0x85, 4, 0, 0, 0},
       "Push Interaction 2 of object in Param 1, priority user, custom icon in Local 4, push head continuation, "
       "push tail continuation"},
      {32, {0x78, 0x56, 0x34, 0x12, 0, 0, 25, 0}, "Test Object Type: Local 0 is GUID 0x12345678"},
      {40, {1, 2, 3, 4, 5, 6, 7, 0xFF}, "Primitive 40 (01 02 03 04 05 06 07 ff)"},
      {300, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "300"},
      {4096, {1, 0, 0xFE, 0xFF, 0, 0, 0, 0}, "4096 (1, -2, 0, 0)"},
      {0x8001, {0, 0, 0, 0, 0, 0, 0, 0}, "-32767 (0, 0, 0, 0)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.opcode, c.operand), c.text) << c.opcode;
}

TEST(StandInGameFolderTest, StartsUpAndNamesFunctions) {
  const std::filesystem::path game = SCRIVET_GAMEDATA_DIR;
  if (!std::filesystem::exists(game)) GTEST_SKIP() << "stand-in game folder not generated";
  BehaviourCatalogues catalogues;
  ASSERT_EQ(LoadBehaviourCatalogues(game, SCRIVET_SCRIPT_PATH, catalogues), BehaviourError::None);
  InstructionFormatter formatter(catalogues.primitives, &catalogues.functions);
  const std::array<uint8_t, 8> allFF = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(formatter.FormatInstruction(257, allFF, ""), "(glob:) Wait for notify");
  EXPECT_EQ(formatter.FormatInstruction(8193, allFF, "PeopleGlobals"), "(semi:) Wave");
  EXPECT_EQ(formatter.FormatInstruction(8193, allFF, "ChairGlobals.iff"), "(semi:) Get up");
  ScriptValue value;
  ASSERT_TRUE(formatter.EvaluateExpression("text(200, 1)", {}, value));
  EXPECT_EQ(value.text, "second");
}

}  // namespace
}  // namespace scrivet
