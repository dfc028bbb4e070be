// The shipped script with the generated stand-in game folder, and over real game files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "behaviour/behaviour_startup.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "codecs/resource_bhav.h"
#include "core/far_archive.h"
#include "core/iff_file.h"
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

// Every BHAV of one container through the formatter; counts for the report.
struct Tally {
  size_t files = 0, routines = 0, instructions = 0, primitives = 0, primitiveFallbacks = 0;
};

void FormatContainer(IffFile& file, const PrimitiveCatalogue& primitives, const FunctionCatalogue& functions,
                     Tally& tally, const std::string& where) {
  ++tally.files;
  const FunctionList privateFunctions = PrivateFunctions(file);
  const InstructionFormatter formatter(primitives, &functions, &privateFunctions);
  const std::string semiGlobal = SemiGlobalName(file);
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    IffChunk& chunk = file.ChunkAt(i);
    if (chunk.type != ResourceBhav::kType) continue;
    ResourceBhav bhav;
    if (!bhav.Load(file, chunk)) continue;
    ++tally.routines;
    for (const BhavInstruction& instruction : bhav.instructions) {
      InstructionFormatter::Source source;
      std::string text = formatter.FormatInstruction(instruction, semiGlobal, &source);
      ++tally.instructions;
      if (instruction.opcode <= 51) {
        ++tally.primitives;
        if (source != InstructionFormatter::Source::Main) {
          ++tally.primitiveFallbacks;
          ADD_FAILURE() << where << " BHAV " << chunk.id << ": " << text;
        }
      }
    }
  }
}

TEST(RealFilesTest, EveryRoutineOfTheCorpusFormats) {
  const std::filesystem::path corpus = CorpusDir();
  if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  PrimitiveCatalogue primitives;
  std::vector<uint8_t> script;
  ASSERT_TRUE(ReadWholeFile(SCRIVET_SCRIPT_PATH, script));
  ASSERT_TRUE(primitives.Load(std::string_view(reinterpret_cast<const char*>(script.data()), script.size())));
  primitives.scriptReady = true;
  FunctionCatalogue functions;
  const std::filesystem::path game = SCRIVET_GAMEDATA_DIR;
  if (std::filesystem::exists(game)) {
    functions.LoadBehaviourFile(ResolvePathIgnoringCase(game, "GameData\\Behavior.iff"));
    functions.LoadGlobalFolder(ResolvePathIgnoringCase(game, "GameData\\Global"));
  }

  Tally tally;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(corpus, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    std::string name = ToLowerAscii(it->path().filename().string());
    if (name.ends_with(".far")) {
      FarArchive archive;
      if (!archive.OpenPath(it->path())) continue;
      for (FarEntry& entry : archive.Entries()) {
        if (!ToLowerAscii(entry.name).ends_with(".iff") || !archive.LoadEntryData(entry)) continue;
        const std::vector<uint8_t>& data = archive.EntryData(entry);
        auto file = IffFile::AttachMemoryCopy(MemoryStream(data.data(), data.size()));
        if (file && file->ReadDirectory()) FormatContainer(*file, primitives, functions, tally, entry.name);
      }
      continue;
    }
    CoreFailure failure;
    auto file = IffFile::OpenPath(it->path(), &failure);
    if (file && failure.error == CoreError::None) FormatContainer(*file, primitives, functions, tally, it->path().string());
  }
  std::cout << "corpus: " << tally.files << " containers, " << tally.routines << " routines, " << tally.instructions
            << " instructions formatted; primitives 0-51: " << tally.primitives << " instructions, "
            << tally.primitiveFallbacks << " not described by main\n";
  EXPECT_GT(tally.routines, 0u);
  EXPECT_EQ(tally.primitiveFallbacks, 0u);
}

}  // namespace
}  // namespace scrivet
