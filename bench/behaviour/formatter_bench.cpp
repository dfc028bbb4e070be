// Instructions formatted per second with the shipped script.txt.

#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"
#include "core/stream.h"

namespace scrivet {
namespace {

struct Instruction {
  uint16_t opcode;
  std::array<uint8_t, 8> operand;
};

// A routine-like mix: mostly expressions, primitives of the game and calls.
std::vector<Instruction> MakeInstructions(bool expressionsOnly) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<Instruction> list;
  for (int i = 0; i < 1000; ++i) {
    Instruction instruction{};
    int kind = static_cast<int>(random() % 10);
    if (expressionsOnly || kind < 5) {
      instruction.opcode = 2;
    } else if (kind < 8) {
      instruction.opcode = static_cast<uint16_t>(random() % 52);
    } else {
      instruction.opcode = static_cast<uint16_t>(256 + random() % 8000);
    }
    for (uint8_t& b : instruction.operand) b = static_cast<uint8_t>(byte(random));
    if (instruction.opcode == 2) {
      instruction.operand[5] = static_cast<uint8_t>(random() % 21);
      instruction.operand[6] = static_cast<uint8_t>(random() % 42);
      instruction.operand[7] = static_cast<uint8_t>(random() % 42);
    }
    list.push_back(instruction);
  }
  return list;
}

void Run(benchmark::State& state, bool expressionsOnly) {
  std::vector<uint8_t> bytes;
  PrimitiveCatalogue primitives;
  if (!ReadWholeFile(SCRIVET_SCRIPT_PATH, bytes) ||
      !primitives.Load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
    state.SkipWithError("script.txt not readable");
    return;
  }
  primitives.scriptReady = true;
  FunctionCatalogue functions;
  InstructionFormatter formatter(primitives, &functions);
  const std::vector<Instruction> list = MakeInstructions(expressionsOnly);
  const std::string semiGlobal;
  size_t i = 0;
  for (auto _ : state) {
    const Instruction& instruction = list[i++ % list.size()];
    benchmark::DoNotOptimize(formatter.FormatInstruction(instruction.opcode, instruction.operand, semiGlobal));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_FormatMixedInstructions(benchmark::State& state) { Run(state, false); }
void BM_FormatExpressions(benchmark::State& state) { Run(state, true); }

BENCHMARK(BM_FormatMixedInstructions);
BENCHMARK(BM_FormatExpressions);

}  // namespace
}  // namespace scrivet
