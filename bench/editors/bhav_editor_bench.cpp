// Costs of the routine editor at its largest routine (253 lines): Rewrite (the walk, the reorder
// and the renumbering, with its undo step), and refreshing every row of the line list, which
// formats each instruction through the shipped script. Both must stay well under a frame (16 ms).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "behaviour/behaviour_startup.h"
#include "core/iff_file.h"
#include "edit/bhav_editor.h"
#include "editors/bhav_editor_dialog.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

// A tangled routine: lines mostly continue to a following line and branch anywhere, then are
// shuffled (line 0 stays the entry), so Rewrite has real work to do.
ResourceBhav LargeRoutine() {
  std::mt19937 random(253);
  const size_t n = BhavEditor::kMaxLines;
  ResourceBhav routine;
  routine.instructions.resize(n);
  for (size_t i = 0; i < n; ++i) {
    BhavInstruction& line = routine.instructions[i];
    line.opcode = random() % 4 == 0 ? uint16_t(random() % 52) : 2;
    for (uint8_t& byte : line.operand) byte = uint8_t(random());
    line.operand[5] = uint8_t(random() % 21);
    line.operand[6] = uint8_t(random() % 42);
    line.operand[7] = uint8_t(random() % 42);
    line.trueTarget = i + 1 < n ? uint8_t(i + 1) : BhavInstruction::kTargetTrue;
    line.falseTarget = random() % 3 == 0 ? BhavInstruction::kTargetError : uint8_t(random() % n);
  }
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin() + 1, order.end(), random);
  std::vector<BhavInstruction> shuffled(n);
  for (size_t i = 0; i < n; ++i) shuffled[order[i]] = routine.instructions[i];
  for (BhavInstruction& line : shuffled) {
    if (line.trueTarget < n) line.trueTarget = uint8_t(order[line.trueTarget]);
    if (line.falseTarget < n) line.falseTarget = uint8_t(order[line.falseTarget]);
  }
  routine.instructions = std::move(shuffled);
  return routine;
}

void BM_Rewrite253Lines(benchmark::State& state) {
  const ResourceBhav routine = LargeRoutine();
  for (auto _ : state) {
    BhavEditor editor(routine);
    editor.Rewrite();
    benchmark::DoNotOptimize(editor.Lines().data());
  }
}
BENCHMARK(BM_Rewrite253Lines)->Unit(benchmark::kMicrosecond);

void BM_RefreshAllRowsOf253Lines(benchmark::State& state) {
  BehaviourCatalogues behaviour;
  if (LoadBehaviourCatalogues(SCRIVET_GAMEDATA_DIR, SCRIVET_SCRIPT_PATH, behaviour) != BehaviourError::None) {
    state.SkipWithError("stand-in game folder or script.txt not readable");
    return;
  }
  ScriptedPlatform platform;
  auto file = IffFile::CreateEmpty(false);
  const FunctionList privateFunctions;
  EditorContext context{*file, nullptr, platform, behaviour.primitives, behaviour.functions, privateFunctions, {}};
  BhavEditor logic(LargeRoutine());
  BhavEditorDialog dialog(logic, context);
  for (auto _ : state) dialog.ShowRows();
}
BENCHMARK(BM_RefreshAllRowsOf253Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scrivet
