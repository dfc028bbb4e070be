#include <gtest/gtest.h>

#include <cctype>
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
  for (size_t i = 0; i < jumps.size(); ++i) {
    BhavInstruction line{uint16_t(i), uint8_t(jumps[i].first), uint8_t(jumps[i].second), {uint8_t(i), 1, 2, 3}};
    bhav.instructions.push_back(line);
  }
  return bhav;
}

Jumps JumpsOf(const BhavEditor& editor) {
  Jumps jumps;
  for (const BhavInstruction& line : editor.Lines()) jumps.emplace_back(line.trueTarget, line.falseTarget);
  return jumps;
}

Jumps Plus(Jumps jumps, std::pair<int, int> last) {
  jumps.push_back(last);
  return jumps;
}

// Rewrite must give the same graph under the new numbering: each line's successors are its old
// line's successors renumbered, line 0 first, lines no path reaches last in their old order.
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
    EXPECT_EQ(moved.trueTarget, renumber(before[old].trueTarget)) << "line " << old;
    EXPECT_EQ(moved.falseTarget, renumber(before[old].falseTarget)) << "line " << old;
    EXPECT_EQ(moved.operand, before[old].operand);
  }
  std::vector<bool> reached(n, false);
  for (std::vector<size_t> todo(n ? 1 : 0, 0); !todo.empty();) {
    const size_t line = todo.back();
    todo.pop_back();
    if (reached[line]) continue;
    reached[line] = true;
    for (uint8_t t : {before[line].trueTarget, before[line].falseTarget})
      if (t < E && t < n) todo.push_back(t);
  }
  size_t p = 0;
  while (p < n && reached[after[p].opcode]) ++p;
  for (size_t q = p; q < n; ++q) {
    EXPECT_FALSE(reached[after[q].opcode]) << "reachable line after an unreachable one";
    EXPECT_TRUE(q == p || after[q - 1].opcode < after[q].opcode) << "unreachable lines out of their order";
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
  struct Case {
    const char* name;
    Jumps before;
    std::vector<size_t> order;
    Jumps after;
  } cases[] = {
      {"true way first, chains added at the end", {{2, 1}, {F, F}, {T, T}}, {0, 2, 1}, {{1, 2}, {T, T}, {F, F}}},
      {"a chain ending at a placed line goes in front of it", {{2, 1}, {3, 3}, {3, 3}, {T, T}}, {0, 2, 1, 3},
       {{1, 2}, {3, 3}, {3, 3}, {T, T}}},
      {"unreachable lines last, a dangling target an error", {{250, 2}, {0, 0}, {4, 4}, {E, 3}, {T, F}},
       {0, 2, 4, 1, 3}, {{E, 1}, {2, 2}, {T, F}, {0, 0}, {E, 4}}},
      {"both ways to one line, and back to line 0", {{1, 1}, {1, 0}}, {0, 1}, {{1, 1}, {1, 0}}},
      {"a loop back to an ancestor ends the chain", {{1, E}, {2, E}, {0, 3}, {T, T}}, {0, 1, 2, 3},
       {{1, E}, {2, E}, {0, 3}, {T, T}}},
      {"false way followed before a placed true way", {{2, 1}, {T, 3}, {T, F}, {2, F}}, {0, 1, 3, 2},
       {{3, 1}, {T, 2}, {3, F}, {T, F}}},
      {"a jump back to an ancestor counts as closed", {{1, 2}, {T, 1}, {1, 0}}, {0, 2, 1}, {{2, 1}, {2, 0}, {T, 2}}},
      {"in front of a placed line only behind the line leading there",
       {{2, 1}, {3, E}, {T, F}, {4, 5}, {2, E}, {T, T}}, {0, 2, 1, 3, 4, 5},
       {{1, 2}, {T, F}, {3, E}, {4, 5}, {1, E}, {T, T}}},
      {"empty routine", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ResourceBhav routine = Routine(c.before);
    EXPECT_EQ(RewriteOrder(routine.instructions), c.order);
    BhavEditor editor(routine);
    editor.Select(c.order.size() - 1);
    EXPECT_EQ(editor.Rewrite(), EditError::None);
    EXPECT_EQ(JumpsOf(editor), c.after);
    if (!c.order.empty()) {
      EXPECT_EQ(c.order[editor.Selected()], c.order.size() - 1) << "the selected line stays selected";
    }
    ExpectSameFlow(routine.instructions, editor.Lines());
    EXPECT_EQ(editor.CanUndo(), !(editor.Lines() == routine.instructions)) << "a tidy routine leaves no step";
  }
}

TEST(BhavRewrite, KeepsTheFlowOfRandomAndRealRoutines) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    const size_t n = round < 380 ? 1 + random() % 40 : 200 + random() % 120;
    const ResourceBhav routine = RandomRoutine(random, n);
    BhavEditor editor(routine);
    editor.Rewrite();
    ExpectSameFlow(routine.instructions, editor.Lines());
    if (HasFailure()) FAIL() << "round " << round << ", " << n << " lines";
  }

  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(SCRIVET_CORPUS_DIR, ec)) GTEST_SKIP() << "no corpus";
  size_t routines = 0;
  for (const auto& entry : fs::recursive_directory_iterator(SCRIVET_CORPUS_DIR, ec)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    std::unique_ptr<IffFile> file = extension == ".iff" ? IffFile::OpenPath(entry.path()) : nullptr;
    for (size_t i = 0; file && i < file->ChunkCount(); ++i) {
      ResourceBhav routine;
      if (file->ChunkAt(i).type != ResourceBhav::kType || !routine.Load(*file, file->ChunkAt(i))) continue;
      // Opcodes name the moved lines; the flow does not depend on them.
      for (size_t line = 0; line < routine.instructions.size(); ++line) routine.instructions[line].opcode = line;
      BhavEditor editor(routine);
      editor.Rewrite();
      ExpectSameFlow(routine.instructions, editor.Lines());
      if (HasFailure()) FAIL() << entry.path() << " BHAV " << file->ChunkAt(i).id;
      ++routines;
    }
  }
  EXPECT_GT(routines, 100u);
}

TEST(BhavEditor, LineCommandsAndTheirRefusals) {
  const Jumps three{{1, F}, {2, 1}, {F, T}}, full(253, {T, F}), almost(252, {T, F}), longer(300, {E, E});
  const auto add = &BhavEditor::Add, insert = &BhavEditor::Insert, remove = &BhavEditor::Delete,
             duplicate = &BhavEditor::Duplicate;
  using enum EditError;
  struct Case {
    const char* name;
    Jumps before;
    size_t selected;
    EditError (BhavEditor::*command)();
    EditError error;
    Jumps after;  // unchanged when refused
    size_t selectedAfter;
  } cases[] = {
      {"add", three, kNoRow, add, None, Plus(three, {E, E}), 3},
      {"insert in front of a line jumping to itself", {{1, E}, {T, 1}}, 1, insert, None, {{2, E}, {T, 1}, {1, 1}}, 2},
      {"insert as line 252", almost, 0, insert, None, Plus(almost, {0, 0}), 252},
      {"delete shifts later targets", {{2, E}, {T, T}, {F, F}}, 1, remove, None, {{1, E}, {F, F}}, 1},
      {"delete a line jumping only to itself", {{T, F}, {1, 1}}, 1, remove, None, {{T, F}}, kNoRow},
      {"delete a jumped-to line", {{1, F}, {2, 2}, {0, T}}, 0, remove, LineIsJumpTarget, {{1, F}, {2, 2}, {0, T}}, 0},
      // No jump names a line past 252, so the "Error" targets (253) do not hold line 253.
      {"delete past line 252", longer, 253, remove, None, Jumps(299, {E, E}), 253},
      {"duplicate keeps the targets", three, 0, duplicate, None, Plus(three, {1, F}), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BhavEditor editor(Routine(c.before));
    editor.Select(c.selected);
    EXPECT_EQ((editor.*c.command)(), c.error);
    EXPECT_EQ(JumpsOf(editor), c.after);
    EXPECT_EQ(editor.Selected(), c.selectedAfter);
    EXPECT_EQ(editor.CanUndo(), c.error == None);
  }
  // Every refusal leaves the routine as it was, byte for byte.
  for (const auto& [jumps, selected, command, error] :
       {std::tuple{three, kNoRow, insert, NoLineSelected}, {three, kNoRow, remove, NoLineSelected},
        {three, kNoRow, duplicate, NoLineSelected}, {full, size_t{0}, add, TooManyLines},
        {full, size_t{0}, insert, TooManyLines}, {longer, size_t{0}, duplicate, TooManyLines}}) {
    const ResourceBhav routine = Routine(jumps);
    BhavEditor editor(routine);
    editor.Select(selected);
    EXPECT_EQ((editor.*command)(), error) << jumps.size() << " lines";
    EXPECT_EQ(Encoded(editor.Routine()), Encoded(routine));
  }
  BhavEditor added(Routine(three));
  added.Add();
  EXPECT_EQ(added.Lines()[3], (BhavInstruction{2, E, E, {0, 0, 0, 0, 0, 5, 0, 0}}));
}

TEST(BhavEditor, InsertAndDeleteKeepEveryOtherLinesFlow) {
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    const ResourceBhav routine = RandomRoutine(random, 1 + random() % 30);
    const std::vector<BhavInstruction>& old = routine.instructions;
    const size_t s = random() % old.size(), added = old.size();
    BhavEditor inserted(routine);
    inserted.Select(s);
    ASSERT_EQ(inserted.Insert(), EditError::None);
    const std::vector<BhavInstruction>& now = inserted.Lines();
    EXPECT_TRUE(now[added].trueTarget == s && now[added].falseTarget == s);
    // Through the new line every other line reaches what it reached; a jump past the last line
    // names the new line now, as after Add.
    const auto through = [&](uint8_t t, uint8_t was) { return was == added ? was : t == added ? uint8_t(s) : t; };
    for (size_t i = 0; i < old.size(); ++i) {
      EXPECT_EQ(through(now[i].trueTarget, old[i].trueTarget), old[i].trueTarget);
      EXPECT_EQ(through(now[i].falseTarget, old[i].falseTarget), old[i].falseTarget);
      EXPECT_TRUE(i == s || now[i].trueTarget != s);
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
    if (HasFailure()) FAIL() << "round " << round;
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
    EXPECT_EQ(editor.Lines()[1], line) << "edit " << i;
    EXPECT_EQ(editor.Lines()[0], routine.instructions[0]) << "edit " << i;
  }
  for (auto [target, choice] : {std::pair{T, C::True}, {F, C::False}, {E, C::Error}, {0, C::Line}, {252, C::Line}})
    EXPECT_EQ(BhavEditor::ChoiceOf(uint8_t(target)), choice);
  EXPECT_EQ(editor.JumpRows(), (std::vector<size_t>{0}));
  EXPECT_EQ(editor.CalledRoutine(1), std::optional<uint16_t>(300));
  EXPECT_EQ(editor.CalledRoutine(0), std::nullopt);
  EXPECT_EQ(editor.Routine().signature, 0x8003) << "kept until a version is picked";
  for (int index : {2, 0, 1}) {
    EXPECT_TRUE(editor.SetVersionIndex(index));
    EXPECT_EQ(editor.Routine().signature, 0x8000 + index);
    EXPECT_EQ(editor.VersionIndex(), index);
  }
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
  // Typing in one box is one step; another box starts the next.
  BhavEditor editor(Routine({{T, F}}));
  editor.Select(0);
  for (int16_t value : {1, 12, 123}) editor.SetParameter(0, value);
  editor.SetParameter(1, 5);
  editor.Undo();
  EXPECT_EQ(editor.Lines()[0].OperandWord(0), 123);
  editor.Undo();
  EXPECT_TRUE(editor.IsClean());
}

TEST(BhavFunctionPicker, ListsAndChoosesFunctions) {
  using K = FunctionChoice::Kind;
  // Without the game's files: the groups' separators around the file's own routines.
  std::vector<K> kinds;
  for (const FunctionChoice& choice : FunctionChoices(nullptr, FunctionList{"Private", {{"Main", 4096}}}, ""))
    kinds.push_back(choice.kind);
  EXPECT_EQ(kinds, (std::vector<K>{K::Separator, K::Separator, K::Private, K::Separator}));

  const std::vector<FunctionChoice> mixed{{K::Primitive, "Sleep", 0}, {K::Separator, "", 0},
                                          {K::Global, "Idle", 256},   {K::Private, "Idle", 256}};
  EXPECT_EQ(PreselectedChoice(mixed, 256), 3u) << "the last entry of that id";
  EXPECT_EQ(PreselectedChoice(mixed, 0), 0u) << "separators have no id";
  EXPECT_EQ(PreselectedChoice(mixed, 5), kNoRow);
  uint16_t id = 1;
  EXPECT_EQ(ChooseFunction(mixed, 2, id), EditError::None);
  EXPECT_EQ(id, 256);
  for (size_t index : {size_t{1}, size_t{4}, kNoRow})
    EXPECT_EQ(ChooseFunction(mixed, index, id), EditError::NoFunctionChosen);
}

}  // namespace
}  // namespace scrivet
