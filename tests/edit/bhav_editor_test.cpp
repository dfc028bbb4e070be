#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "behaviour/function_catalogue.h"
#include "core/iff_file.h"
#include "edit/bhav_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

using Jumps = std::vector<std::pair<int, int>>;  // (true, false) per line
constexpr int E = 253, T = 254, F = 255;

// Lines whose opcode is their original line number, so moved lines can be recognised.
ResourceBhav Routine(const Jumps& jumps) {
  ResourceBhav bhav;
  for (size_t i = 0; const auto& [t, f] : jumps)
    bhav.instructions.push_back({uint16_t(i), uint8_t(t), uint8_t(f), {uint8_t(i++), 1, 2, 3}});
  return bhav;
}

Jumps JumpsOf(const BhavEditor& editor) {
  Jumps jumps;
  for (const BhavInstruction& line : editor.Lines()) jumps.emplace_back(line.trueTarget, line.falseTarget);
  return jumps;
}

Jumps Plus(Jumps jumps, std::pair<int, int> last) { return jumps.push_back(last), jumps; }

// Rewrite must give the same graph under the new numbering: each line's successors are its old
// line's successors renumbered, line 0 first. (Where unreachable lines go, the table below checks.)
void ExpectSameFlow(const std::vector<BhavInstruction>& before, const std::vector<BhavInstruction>& after) {
  const size_t n = before.size();
  ASSERT_EQ(after.size(), n);
  std::vector<size_t> position(n, kNoRow);
  for (size_t p = 0; p < n; ++p) {
    const size_t old = after[p].opcode;
    ASSERT_TRUE(old < n && position[old] == kNoRow) << "line " << old << " missing or placed twice";
    position[old] = p;
  }
  ASSERT_TRUE(n == 0 || position[0] == 0) << "line 0 moved";
  const auto renumber = [&](uint8_t t) -> int { return t >= E ? t : t < n ? int(position[t]) : E; };
  for (size_t old = 0; old < n; ++old) {
    const BhavInstruction& moved = after[position[old]];
    EXPECT_EQ(std::tuple(int(moved.trueTarget), int(moved.falseTarget), moved.operand),
              std::tuple(renumber(before[old].trueTarget), renumber(before[old].falseTarget), before[old].operand))
        << "line " << old;
  }
}

// Any mix of lines, special and dangling targets, at lengths up to and past what a jump can name.
ResourceBhav RandomRoutine(std::mt19937& random, size_t n) {
  Jumps jumps(n);
  const auto target = [&]() -> int {
    const unsigned roll = random() % 10;
    if (roll == 0) return 253 + int(random() % 3);
    return int(random() % (roll == 1 ? 253 : std::min<size_t>(n, 253)));
  };
  for (auto& [t, f] : jumps) {
    t = target();
    f = random() % 6 == 0 ? t : target();
  }
  return Routine(jumps);
}

TEST(BhavRewrite, OrdersAndRenumbersTheRoutine) {
  struct Case { const char* name; Jumps before; std::vector<size_t> order; Jumps after; } cases[] = {
      {"true way first, chains added at the end", {{2, 1}, {F, F}, {T, T}}, {0, 2, 1}, {{1, 2}, {T, T}, {F, F}}},
      {"a chain ending at a placed line goes in front of it", {{2, 1}, {3, 3}, {3, 3}, {T, T}}, {0, 2, 1, 3},
       {{1, 2}, {3, 3}, {3, 3}, {T, T}}},
      {"unreachable lines last, a dangling target an error", {{250, 2}, {0, 0}, {4, 4}, {E, 3}, {T, F}},
       {0, 2, 4, 1, 3}, {{E, 1}, {2, 2}, {T, F}, {0, 0}, {E, 4}}},
      {"false way followed before a placed true way", {{2, 1}, {T, 3}, {T, F}, {2, F}}, {0, 1, 3, 2},
       {{3, 1}, {T, 2}, {3, F}, {T, F}}},
      {"a jump back to an ancestor counts as closed", {{1, 2}, {T, 1}, {1, 0}}, {0, 2, 1}, {{2, 1}, {2, 0}, {T, 2}}},
      {"in front of a placed line only behind the line leading there", {{2, 1}, {3, E}, {T, F}, {4, 5}, {2, E}, {T, T}},
       {0, 2, 1, 3, 4, 5}, {{1, 2}, {T, F}, {3, E}, {4, 5}, {1, E}, {T, T}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ResourceBhav routine = Routine(c.before);
    EXPECT_EQ(RewriteOrder(routine.instructions), c.order);
    BhavEditor editor(routine);
    editor.Select(c.order.size() - 1);
    EXPECT_EQ(editor.Rewrite(), EditError::None);
    EXPECT_EQ(JumpsOf(editor), c.after);
    EXPECT_TRUE(c.order.empty() || c.order[editor.Selected()] == c.order.size() - 1) << "the selection follows";
    ExpectSameFlow(routine.instructions, editor.Lines());
    EXPECT_EQ(editor.CanUndo(), !(editor.Lines() == routine.instructions)) << "a tidy routine leaves no step";
  }
}

TEST(BhavRewrite, KeepsTheFlowOfRandomAndRealRoutines) {
  std::mt19937 random(20240611);
  std::vector<ResourceBhav> routines;
  for (int round = 0; round < 400; ++round)
    routines.push_back(RandomRoutine(random, round < 380 ? 1 + random() % 40 : 200 + random() % 120));
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVET_CORPUS_DIR, ec)) {
    std::unique_ptr<IffFile> file = entry.path().extension() == ".iff" ? IffFile::OpenPath(entry.path()) : nullptr;
    for (size_t i = 0; file && i < file->ChunkCount(); ++i) {
      ResourceBhav& routine = routines.emplace_back();
      if (file->ChunkAt(i).type != ResourceBhav::kType || !routine.Load(*file, file->ChunkAt(i))) routines.pop_back();
    }
  }
  EXPECT_TRUE(ec || routines.size() > 500) << "the corpus gave too few routines";
  for (ResourceBhav& routine : routines) {
    // Opcodes name the moved lines; the flow does not depend on them.
    for (size_t line = 0; line < routine.instructions.size(); ++line) routine.instructions[line].opcode = line;
    BhavEditor editor(routine);
    editor.Rewrite();
    ExpectSameFlow(routine.instructions, editor.Lines());
    if (HasFailure()) FAIL() << "routine " << &routine - routines.data();
  }
}

TEST(BhavEditor, LineCommandsAndTheirRefusals) {
  const Jumps three{{1, F}, {2, 1}, {F, T}}, full(253, {T, F}), almost(252, {T, F}), longer(300, {E, E});
  const auto add = &BhavEditor::Add, insert = &BhavEditor::Insert, remove = &BhavEditor::Delete,
             duplicate = &BhavEditor::Duplicate;
  using enum EditError;
  constexpr size_t N = kNoRow;
  // after empty: refused, the routine unchanged byte for byte
  struct Case { const char* name; Jumps before; size_t selected; EditError (BhavEditor::*command)(); EditError error;
      Jumps after; size_t selectedAfter; } cases[] = {
      {"add", three, kNoRow, add, None, Plus(three, {E, E}), 3},
      {"insert in front of a line jumping to itself", {{1, E}, {T, 1}}, 1, insert, None, {{2, E}, {T, 1}, {1, 1}}, 2},
      {"insert as line 252", almost, 0, insert, None, Plus(almost, {0, 0}), 252},
      {"delete shifts later targets", {{2, E}, {T, T}, {F, F}}, 1, remove, None, {{1, E}, {F, F}}, 1},
      {"delete a line jumping only to itself", {{T, F}, {1, 1}}, 1, remove, None, {{T, F}}, kNoRow},
      {"delete a jumped-to line", {{1, F}, {2, 2}, {0, T}}, 0, remove, LineIsJumpTarget, {}, 0},
      // No jump names a line past 252, so the "Error" targets (253) do not hold line 253.
      {"delete past line 252", longer, 253, remove, None, Jumps(299, {E, E}), 253},
      {"duplicate keeps the targets", three, 0, duplicate, None, Plus(three, {1, F}), 3},
      {"insert", three, N, insert, NoLineSelected, {}, N},     {"delete", three, N, remove, NoLineSelected, {}, N},
      {"duplicate", three, N, duplicate, NoLineSelected, {}, N},
      {"add to 253", full, 0, add, TooManyLines, {}, 0},     {"insert in 253", full, 0, insert, TooManyLines, {}, 0},
      {"duplicate in 300", longer, 0, duplicate, TooManyLines, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ResourceBhav routine = Routine(c.before);
    BhavEditor editor(routine);
    editor.Select(c.selected);
    EXPECT_EQ((editor.*c.command)(), c.error);
    EXPECT_TRUE(!c.after.empty() || Encoded(editor.Routine()) == Encoded(routine));
    EXPECT_EQ(JumpsOf(editor), c.after.empty() ? c.before : c.after);
    EXPECT_EQ(editor.Selected(), c.selectedAfter);
    EXPECT_EQ(editor.CanUndo(), c.error == None);
  }
}

// Insert puts a line in front of the selected one in the flow; Delete renumbers the later lines.
// Either way every other line still reaches what it reached.
TEST(BhavEditor, InsertAndDeleteKeepEveryOtherLinesFlow) {
  std::mt19937 random(99);
  for (int round = 0; round < 200 && !HasFailure(); ++round) {
    SCOPED_TRACE(round);
    const ResourceBhav routine = RandomRoutine(random, 1 + random() % 30);
    const std::vector<BhavInstruction>& old = routine.instructions;
    const size_t s = random() % old.size(), added = old.size();
    BhavEditor inserted(routine);
    inserted.Select(s);
    ASSERT_EQ(inserted.Insert(), EditError::None);
    const std::vector<BhavInstruction>& now = inserted.Lines();
    EXPECT_TRUE(now[added].trueTarget == s && now[added].falseTarget == s);
    // A jump to the selected line goes through the new one; a jump past the last line names it.
    const auto through = [&](uint8_t t, uint8_t was) { return was == added ? was : t == added ? uint8_t(s) : t; };
    for (size_t i = 0; i < old.size(); ++i) {
      EXPECT_EQ(through(now[i].trueTarget, old[i].trueTarget), old[i].trueTarget);
      EXPECT_EQ(through(now[i].falseTarget, old[i].falseTarget), old[i].falseTarget);
    }
    BhavEditor deleted(routine);
    deleted.Select(s);
    if (deleted.Delete() == EditError::LineIsJumpTarget) continue;
    for (size_t i = 0; i < old.size(); ++i) {
      if (i == s) continue;
      const BhavInstruction& moved = deleted.Lines()[i < s ? i : i - 1];
      for (auto [was, is] : {std::pair{old[i].trueTarget, moved.trueTarget}, {old[i].falseTarget, moved.falseTarget}})
        EXPECT_EQ(is, was > s && was < E ? was - 1 : was);
    }
  }
}

TEST(BhavEditor, FieldEditsChangeTheSelectedLine) {
  ResourceBhav routine = Routine({{1, F}, {T, F}});
  routine.signature = 0x8003;
  BhavEditor editor(routine);
  EXPECT_EQ(editor.VersionIndex(), 2);
  EXPECT_FALSE(editor.SetOpcode(9)) << "no line selected";
  editor.Select(1);
  using B = BhavEditor::Branch;
  using C = BhavEditor::TargetChoice;
  BhavInstruction line = routine.instructions[1];
  const std::pair<std::function<bool()>, std::function<void()>> cases[] = {
      {[&] { return editor.SetOpcode(300); }, [&] { line.opcode = 300; }},
      {[&] { return editor.SetParameter(1, -2); }, [&] { line.operand[2] = 0xFE, line.operand[3] = 0xFF; }},
      {[&] { return editor.SetParameter(3, 0x1234); }, [&] { line.operand[6] = 0x34, line.operand[7] = 0x12; }},
      {[&] { return editor.SetOperandByteText(5, " 1ff"); }, [&] { line.operand[5] = 0xFF; }},
      {[&] { return editor.SetOperandByteText(0, "zz"); }, [&] { line.operand[0] = 0; }},
      {[&] { return editor.SetTarget(B::False, 0); }, [&] { line.falseTarget = 0; }},
      {[&] { return editor.SetTargetChoice(B::True, C::Line); }, [&] { line.trueTarget = 0; }},
      {[&] { return editor.SetTargetChoice(B::False, C::Error); }, [&] { line.falseTarget = E; }},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(cases[i].first()) << "edit " << i;
    cases[i].second();
    EXPECT_EQ(editor.Lines(), (std::vector<BhavInstruction>{routine.instructions[0], line})) << "edit " << i;
  }
  EXPECT_EQ(editor.JumpRows(), (std::vector<size_t>{0}));
  EXPECT_EQ(editor.Routine().signature, 0x8003) << "kept until a version is picked";
  EXPECT_TRUE(editor.SetVersionIndex(0) && editor.Routine().signature == 0x8000 && editor.VersionIndex() == 0);
}

TEST(BhavEditor, UndoReturnsTheOpeningBytesAndRedoTheEdits) {
  std::mt19937 random(3);
  for (int round = 0; round < 50; ++round) {
    ResourceBhav routine = RandomRoutine(random, 1 + random() % 20);
    routine.signature = 0x8001;
    const std::vector<uint8_t> opening = Encoded(routine);
    BhavEditor editor(routine);
    for (int step = 0; step < 12; ++step) {
      editor.Select(random() % (editor.LineCount() + 1));
      switch (random() % 9) {
        case 0: editor.Add(); break;
        case 1: editor.Insert(); break;
        case 2: editor.Delete(); break;
        case 3: editor.Duplicate(); break;
        case 4: editor.Rewrite(); break;
        case 5: editor.SetParameter(random() % 4, int16_t(random())); break;
        case 6: editor.SetOperandByteText(random() % 8, "7f"); break;
        case 7: editor.SetVersionIndex(int(random() % 3)); break;
        default: editor.SetRevision(uint32_t(random())); break;
      }
    }
    const std::vector<uint8_t> edited = Encoded(editor.Routine());
    while (editor.Undo()) continue;
    EXPECT_TRUE(editor.IsClean());
    EXPECT_EQ(Encoded(editor.Routine()), opening) << "round " << round;
    while (editor.Redo()) continue;
    EXPECT_EQ(Encoded(editor.Routine()), edited) << "round " << round;
  }
}

}  // namespace
}  // namespace scrivet
