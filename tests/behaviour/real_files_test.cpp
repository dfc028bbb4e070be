// The shipped script with the generated stand-in game folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "tests/behaviour/behaviour_test_util.h"

namespace scrivet {
namespace {

TEST(StandInGameFolderTest, StartsUpAndNamesFunctions) {
  const std::filesystem::path game = SCRIVET_GAMEDATA_DIR;
  if (!std::filesystem::exists(game)) GTEST_SKIP() << "stand-in game folder not generated";
  BehaviourCatalogues catalogues;
  ASSERT_EQ(LoadBehaviourCatalogues(game, SCRIVET_SCRIPT_PATH, catalogues), BehaviourError::None);
  const FunctionCatalogue& functions = catalogues.functions;
  const PrimitiveCatalogue& primitives = catalogues.primitives;
  ASSERT_NE(functions.FindString(139, 2), nullptr);
  EXPECT_EQ(*functions.FindString(139, 2), "Expression");
  EXPECT_EQ(functions.GlobalList().entries.size(), 4u);
  for (const char* label : {"CHAIRGLOBALS", "PEOPLEGLOBALS"}) {
    ASSERT_NE(functions.FindSemiGlobalList(label), nullptr) << label;
    EXPECT_EQ(functions.FindSemiGlobalList(label)->label, label);
  }

  InstructionFormatter formatter(primitives, &functions);
  const std::array<uint8_t, 8> allFF = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(formatter.FormatInstruction(257, allFF, ""), "(glob:) Wait for notify");
  EXPECT_EQ(formatter.FormatInstruction(8193, allFF, "PeopleGlobals"), "(semi:) Wave");
  EXPECT_EQ(formatter.FormatInstruction(8193, allFF, "ChairGlobals.iff"), "(semi:) Get up");
  EXPECT_EQ(formatter.FormatInstruction(8193, allFF, ""), "8193");
  ScriptValue value;
  ASSERT_TRUE(formatter.EvaluateExpression("text(200, 1)", {}, value));
  EXPECT_EQ(value.text, "second");
}

}  // namespace
}  // namespace scrivet
