#include "behaviour/function_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "behaviour/behaviour_startup.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "tests/behaviour/behaviour_test_util.h"

namespace scrivet {
namespace {

TEST(FunctionCatalogueTest, GlobalFolderRules) {
  TempFolder folder;
  const auto& dir = folder.path();
  WriteBytesFile(dir / "Global.iff", BuildIff({{{256, "Global one"}, {300, "Other"}}, {}}));
  WriteBytesFile(dir / "Total.iff", BuildIff({{{8200, "Short name"}}, {}}));
  WriteBytesFile(dir / "Broken.iff", {1, 2, 3});
  std::filesystem::create_directories(dir / "Folder.iff");
  // Inside one archive the order is fixed: GLOBALS is contained in PEOPLEGLOBALS and adds nothing.
  WriteBytesFile(dir / "Semi.far",
                 BuildFarArchive({{"D:\\Sims\\GameData\\Global\\PeopleGlobals.iff", BuildIff({{{8192, "Greet"}}, {}})},
                                  {"Globals.iff", BuildIff({{{8192, "Hidden"}}, {}})},
                                  {"notes.txt", {'x'}},
                                  {"Broken.iff", {0, 0}}}));
  WriteTextFile(dir / "Bad.far", "FAR!byAZ but nothing else");
  FunctionCatalogue catalogue;
  catalogue.LoadGlobalFolder(dir);
  ASSERT_EQ(catalogue.GlobalList().entries.size(), 2u);
  EXPECT_NE(FunctionCatalogue::FindEntry(catalogue.GlobalList(), 256), nullptr);
  EXPECT_EQ(FunctionCatalogue::FindEntry(catalogue.GlobalList(), 257), nullptr);
  EXPECT_NE(catalogue.FindSemiGlobalList("Total"), nullptr);
  EXPECT_EQ(catalogue.FindSemiGlobalList("Broken"), nullptr);
  const FunctionList* people = catalogue.FindSemiGlobalList("PeopleGlobals");
  ASSERT_NE(people, nullptr);
  EXPECT_EQ(people->label, "PEOPLEGLOBALS");  // the base name after the last separator
  EXPECT_EQ(FunctionCatalogue::FindEntry(*people, 8192)->name, "Greet");
  EXPECT_EQ(catalogue.FindSemiGlobalList("people"), people);  // a substring of the label
  EXPECT_EQ(catalogue.FindSemiGlobalList(""), nullptr);
  // A missing folder gives no semi-global lists.
  catalogue.LoadGlobalFolder(dir / "missing");
  EXPECT_EQ(catalogue.FindSemiGlobalList("PeopleGlobals"), nullptr);
}

TEST(FunctionCatalogueTest, BehaviourFileStringsAndNaming) {
  TempFolder folder;
  WriteBytesFile(folder.path() / "Behavior.iff", BuildIff({{}, {{139, {"Sleep", "Generic Sims Call", "Expression"}},
                                                                {1, {"zero", "one"}}}}));
  WriteBytesFile(folder.path() / "Global" / "Global.iff", BuildIff({{{256, "Global one"}, {4096, "Global high"}}, {}}));
  WriteBytesFile(folder.path() / "Global" / "PeopleGlobals.iff", BuildIff({{{8192, "Greet"}}, {}}));
  FunctionCatalogue catalogue;
  EXPECT_FALSE(catalogue.LoadBehaviourFile(folder.path() / "missing.iff"));
  ASSERT_TRUE(catalogue.LoadBehaviourFile(folder.path() / "Behavior.iff"));
  catalogue.LoadGlobalFolder(folder.path() / "Global");
  EXPECT_EQ(catalogue.FindString(139, 3), nullptr);
  std::unique_ptr<IffFile> edited = IffFile::CreateEmpty(false);
  edited->AddChunk(MakeTypeCode("BHAV"), 4097, "Private one", "", 0);
  edited->AddChunk(MakeTypeCode("BHAV"), 256, "Shadowing", "", 0);
  const FunctionList privateFunctions = PrivateFunctions(*edited);
  PrimitiveCatalogue primitives;
  InstructionFormatter formatter(primitives, &catalogue, &privateFunctions);
  struct Case {
    uint16_t id;
    const char* semiGlobal;
    const char* text;
  };
  const Case cases[] = {
      {2, "", "Expression"},
      {256, "", "(priv:) Shadowing"},
      {4096, "", "4096"},  // a global list entry outside the global range is not used
      {4097, "", "(priv:) Private one"},
      {8192, "PeopleGlobals", "(semi:) Greet"},
      {8192, "", "8192"},
      {8193, "PeopleGlobals", "8193"},
      {0x8000, "", "-32768"},
  };
  for (const Case& c : cases) {
    ScriptValue value;
    ASSERT_TRUE(formatter.EvaluateExpression("function(%0)", {ScriptValue::FromNumber(c.id, 2)}, value, c.semiGlobal));
    EXPECT_EQ(value.text, c.text) << c.id;
  }
  ScriptValue value;
  ASSERT_TRUE(formatter.EvaluateExpression("text(1, 65537) & text(1, 2) & text(139, 0)", {}, value));
  EXPECT_EQ(value.text, "one?Sleep");
  // Without a private routine 256 the global list names it.
  InstructionFormatter global(primitives, &catalogue);
  ASSERT_TRUE(global.EvaluateExpression("function(%0)", {ScriptValue::FromNumber(256, 2)}, value));
  EXPECT_EQ(value.text, "(glob:) Global one");
}

// A component is taken as written when it exists, else as the entry that differs only in case;
// below a missing one the rest stays as written.
TEST(BehaviourStartupTest, PathsResolveIgnoringCase) {
  TempFolder folder;
  const std::filesystem::path base = folder.path();
  for (const char* twin : {"GAMEDATA", "GameData", "gamedata", "gameData"}) std::filesystem::create_directories(base / twin);
  std::filesystem::create_directories(base / "GameData" / "Global");
  const std::pair<const char*, std::filesystem::path> cases[] = {
      {"gamedata\\Global", base / "gamedata" / "Global"},
      {"GameData/global/x.iff", base / "GameData" / "Global" / "x.iff"},
      {"nothing/Here", base / "nothing" / "Here"},
  };
  for (const auto& [relative, resolved] : cases) EXPECT_EQ(ResolvePathIgnoringCase(base, relative), resolved) << relative;
}

TEST(BehaviourStartupTest, StartupOrderAndMessages) {
  TempFolder folder;
  const auto game = folder.path() / "game";
  const auto script = folder.path() / "script.txt";
  WriteTextFile(script, "main(9)=function(%0);");
  BehaviourCatalogues catalogues;
  EXPECT_EQ(LoadBehaviourCatalogues(game, script, catalogues), BehaviourError::NoBehaviourFile);
  EXPECT_EQ(catalogues.primitives.FindSubroutine("main"), nullptr);  // the script is not read at all
  WriteBytesFile(game / "gamedata" / "BEHAVIOR.IFF", BuildIff({{}, {{139, {"Sleep"}}}}));
  WriteBytesFile(game / "gamedata" / "GLOBAL" / "global.iff", BuildIff({{{256, "Named"}}, {}}));
  EXPECT_EQ(LoadBehaviourCatalogues(game, script, catalogues), BehaviourError::None);
  InstructionFormatter formatter(catalogues.primitives, &catalogues.functions);
  EXPECT_EQ(formatter.FormatInstruction(0, {}, ""), "Sleep");
  EXPECT_EQ(formatter.FormatInstruction(256, {}, ""), "(glob:) Named");
  std::filesystem::remove(script);
  EXPECT_EQ(LoadBehaviourCatalogues(game, script, catalogues), BehaviourError::CantOpenScript);
  EXPECT_FALSE(catalogues.primitives.scriptReady);
}

}  // namespace
}  // namespace scrivet
