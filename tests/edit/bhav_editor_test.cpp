#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "behaviour/function_catalogue.h"
#include "core/iff_file.h"
#include "edit/bhav_editor.h"

namespace scrivet {
namespace {

using Jumps = std::vector<std::pair<int, int>>;  // (true, false) per line
constexpr int E = 253, T = 254, F = 255;

// Lines whose opcode is their original line number, so moved lines can be recognised.
ResourceBhav Routine(const Jumps& jumps) {
  ResourceBhav bhav;
  for (size_t i = 0; i < jumps.size(); ++i) {
    BhavInstruction line;
    line.opcode = static_cast<uint16_t>(i);
    line.trueTarget = static_cast<uint8_t>(jumps[i].first);
    line.falseTarget = static_cast<uint8_t>(jumps[i].second);
    line.operand = {uint8_t(i), 1, 2, 3, 4, 5, 6, 7};
    bhav.instructions.push_back(line);
  }
  return bhav;
}

Jumps JumpsOf(const BhavEditor& editor) {
  Jumps jumps;
  for (const BhavInstruction& line : editor.Lines()) jumps.emplace_back(line.trueTarget, line.falseTarget);
  return jumps;
}

std::vector<uint8_t> Encoded(const ResourceBhav& routine) {
  ResourceBhav copy;
  copy.CopyFrom(routine);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(copy.EncodeToBytes(bytes));
  return bytes;
}

// Rewrite must give the same graph under the new numbering: each line's successors are its old
// line's successors renumbered, line 0 first, lines no path reaches last in their old order.
void ExpectSameFlow(const std::vector<BhavInstruction>& before, const std::vector<BhavInstruction>& after) {
  const size_t n = before.size();
  ASSERT_EQ(after.size(), n);
  std::vector<size_t> position(n, kNoRow);
  for (size_t p = 0; p < n; ++p) {
    const size_t old = after[p].opcode;
    ASSERT_LT(old, n);
    ASSERT_EQ(position[old], kNoRow) << "line " << old << " placed twice";
    position[old] = p;
  }
  if (n) {
    EXPECT_EQ(position[0], 0u);
  }
  const auto renumber = [&](uint8_t t) -> int { return t >= E ? t : t < n ? int(position[t]) : E; };
  for (size_t old = 0; old < n; ++old) {
    const BhavInstruction& moved = after[position[old]];
    EXPECT_EQ(moved.trueTarget, renumber(before[old].trueTarget)) << "line " << old;
    EXPECT_EQ(moved.falseTarget, renumber(before[old].falseTarget)) << "line " << old;
    EXPECT_EQ(moved.operand, before[old].operand);
  }
  std::vector<bool> reached(n, false);
  std::vector<size_t> todo;
  if (n) todo.push_back(0);
  while (!todo.empty()) {
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
    if (q > p) {
      EXPECT_LT(after[q - 1].opcode, after[q].opcode) << "unreachable lines out of their order";
    }
  }
}

// Routines that stress the walk: any mix of lines, special and dangling targets, and lengths up
// to and past what a jump can name.
ResourceBhav RandomRoutine(std::mt19937& random, size_t n) {
  Jumps jumps(n);
  const auto target = [&]() -> int {
    const unsigned roll = random() % 10;
    if (roll == 0) return 253 + int(random() % 3);
    if (roll == 1) return int(random() % 253);
    return int(random() % std::min<size_t>(n, 253));
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
      {"a chain ending at a placed line goes in front of it",
       {{2, 1}, {3, 3}, {3, 3}, {T, T}},
       {0, 2, 1, 3},
       {{1, 2}, {3, 3}, {3, 3}, {T, T}}},
      {"unreachable line last, dangling target an error",
       {{250, 2}, {0, 0}, {4, 4}, {E, 3}, {T, F}},
       {0, 2, 4, 1, 3},
       {{E, 1}, {2, 2}, {T, F}, {0, 0}, {E, 4}}},
      {"a line jumping to itself and to line 0", {{1, 1}, {1, 0}}, {0, 1}, {{1, 1}, {1, 0}}},
      {"a loop back to an ancestor ends the chain", {{1, E}, {2, E}, {0, 3}, {T, T}}, {0, 1, 2, 3},
       {{1, E}, {2, E}, {0, 3}, {T, T}}},
      {"false way followed before a placed true way", {{2, 1}, {T, 3}, {T, F}, {2, F}},
       {0, 1, 3, 2},
       {{3, 1}, {T, 2}, {3, F}, {T, F}}},
      {"empty routine", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ResourceBhav routine = Routine(c.before);
    EXPECT_EQ(RewriteOrder(routine.instructions), c.order);
    BhavEditor editor(routine);
    EXPECT_EQ(editor.Rewrite(), EditError::None);
    EXPECT_EQ(JumpsOf(editor), c.after);
    ExpectSameFlow(routine.instructions, editor.Lines());
    EXPECT_EQ(editor.CanUndo(), !(editor.Lines() == routine.instructions)) << "a tidy routine leaves no step";
  }
}

TEST(BhavRewrite, KeepsTheFlowOfRandomRoutines) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    const size_t n = round < 380 ? 1 + random() % 40 : 200 + random() % 120;  // some past 253 lines
    const ResourceBhav routine = RandomRoutine(random, n);
    BhavEditor editor(routine);
    editor.Rewrite();
    ExpectSameFlow(routine.instructions, editor.Lines());
    if (HasFailure()) FAIL() << "round " << round << ", " << n << " lines";
  }
}

TEST(BhavRewrite, KeepsTheFlowOfEveryRoutineOfTheCorpus) {
  namespace fs = std::filesystem;
  const fs::path root = SCRIVET_CORPUS_DIR;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) GTEST_SKIP() << "no corpus at " << root;
  size_t routines = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (!entry.is_regular_file() || extension != ".iff") continue;
    CoreFailure failure;
    auto file = IffFile::OpenPath(entry.path(), &failure);
    if (!file) continue;
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      ResourceBhav routine;
      if (chunk.type != ResourceBhav::kType || !routine.Load(*file, chunk)) continue;
      // Opcodes identify the moved lines; the flow does not depend on them.
      std::vector<BhavInstruction> lines = routine.instructions;
      for (size_t line = 0; line < lines.size(); ++line) lines[line].opcode = static_cast<uint16_t>(line);
      routine.instructions = lines;
      BhavEditor editor(routine);
      editor.Rewrite();
      ExpectSameFlow(lines, editor.Lines());
      if (HasFailure()) FAIL() << entry.path() << " BHAV " << chunk.id;
      ++routines;
    }
  }
  EXPECT_GT(routines, 100u);
}

TEST(BhavEditor, LineCommandsAndTheirRefusals) {
  const Jumps three{{1, F}, {2, 1}, {F, T}};
  struct Case {
    const char* name;
    Jumps before;
    size_t selected;
    std::function<EditError(BhavEditor&)> command;
    EditError error;
    Jumps after;  // unchanged when refused
    size_t selectedAfter;
  } cases[] = {
      {"add", three, kNoRow, &BhavEditor::Add, EditError::None, {{1, F}, {2, 1}, {F, T}, {E, E}}, 3},
      {"insert in front of a line jumping to itself",
       {{1, E}, {T, 1}},
       1,
       &BhavEditor::Insert,
       EditError::None,
       {{2, E}, {T, 1}, {1, 1}},
       2},
      {"insert without a selection", three, kNoRow, &BhavEditor::Insert, EditError::NoLineSelected, three, kNoRow},
      {"delete shifts later targets", {{2, E}, {T, T}, {F, F}}, 1, &BhavEditor::Delete, EditError::None,
       {{1, E}, {F, F}}, 1},
      {"delete a line jumping only to itself", {{T, F}, {1, 1}}, 1, &BhavEditor::Delete, EditError::None, {{T, F}},
       kNoRow},
      {"delete a jumped-to line", {{1, F}, {2, 2}, {0, T}}, 0, &BhavEditor::Delete, EditError::LineIsJumpTarget,
       {{1, F}, {2, 2}, {0, T}}, 0},
      {"delete without a selection", three, kNoRow, &BhavEditor::Delete, EditError::NoLineSelected, three, kNoRow},
      {"duplicate keeps the targets", three, 0, &BhavEditor::Duplicate, EditError::None,
       {{1, F}, {2, 1}, {F, T}, {1, F}}, 3},
      {"duplicate without a selection", three, kNoRow, &BhavEditor::Duplicate, EditError::NoLineSelected, three,
       kNoRow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BhavEditor editor(Routine(c.before));
    editor.Select(c.selected);
    EXPECT_EQ(c.command(editor), c.error);
    EXPECT_EQ(JumpsOf(editor), c.after);
    EXPECT_EQ(editor.Selected(), c.selectedAfter);
    EXPECT_EQ(editor.CanUndo(), c.error == EditError::None);
  }
  BhavEditor added(Routine(three));
  added.Add();
  EXPECT_EQ(added.Lines()[3].opcode, BhavEditor::kNewOpcode);
  EXPECT_EQ(added.Lines()[3].operand, BhavEditor::kNewOperand);
  EXPECT_EQ(NextText(added.Lines()[3]), "Error, Error");
}

TEST(BhavEditor, RoutinesStopGrowingAtTheLastLineAJumpCanName) {
  std::mt19937 random(7);
  for (size_t n : {size_t{253}, size_t{300}}) {
    SCOPED_TRACE(n);
    const ResourceBhav routine = RandomRoutine(random, n);
    BhavEditor editor(routine);
    editor.Select(0);
    for (auto command : {&BhavEditor::Add, &BhavEditor::Insert, &BhavEditor::Duplicate})
      EXPECT_EQ((editor.*command)(), EditError::TooManyLines);
    EXPECT_EQ(Encoded(editor.Routine()), Encoded(routine));
  }
  // Past line 252 no jump names a line, so "Error" targets do not hold it.
  ResourceBhav routine = Routine(Jumps(300, {E, E}));
  BhavEditor editor(routine);
  editor.Select(260);
  EXPECT_EQ(editor.Delete(), EditError::None);
  EXPECT_EQ(JumpsOf(editor), Jumps(299, {E, E}));
  BhavEditor full(Routine(Jumps(252, {T, F})));
  full.Select(0);
  EXPECT_EQ(full.Insert(), EditError::None);
  EXPECT_EQ(full.Lines().back().trueTarget, 0);
  EXPECT_EQ(full.Add(), EditError::TooManyLines);
}

TEST(BhavEditor, InsertAndDeleteKeepEveryOtherLinesFlow) {
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    const ResourceBhav routine = RandomRoutine(random, 1 + random() % 30);
    const auto& old = routine.instructions;
    const size_t s = random() % old.size();
    BhavEditor inserted(routine);
    inserted.Select(s);
    ASSERT_EQ(inserted.Insert(), EditError::None);
    const auto& now = inserted.Lines();
    const size_t added = old.size();
    EXPECT_EQ(now[added].trueTarget, s);
    EXPECT_EQ(now[added].falseTarget, s);
    // Through the new line, every other line still reaches what it reached.
    const auto through = [&](uint8_t t) { return t == added ? uint8_t(s) : t; };
    for (size_t i = 0; i < old.size(); ++i) {
      // (A jump to the line past the end names the new line now, as it would after Add.)
      if (old[i].trueTarget != added) {
        EXPECT_EQ(through(now[i].trueTarget), old[i].trueTarget);
      }
      if (old[i].falseTarget != added) {
        EXPECT_EQ(through(now[i].falseTarget), old[i].falseTarget);
      }
      if (i != s) {
        EXPECT_NE(now[i].trueTarget, s);
      }
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
  using C = BhavEditor::TargetChoice;
  struct Case {
    const char* name;
    std::function<bool(BhavEditor&)> edit;
    BhavInstruction expected;
  };
  BhavInstruction line = routine.instructions[1];
  const auto with = [&](auto change) {
    change(line);
    return line;
  };
  const Case cases[] = {
      {"function", [](BhavEditor& e) { return e.SetOpcode(300); }, with([](auto& l) { l.opcode = 300; })},
      {"parameter 2 is bytes 2 and 3", [](BhavEditor& e) { return e.SetParameter(1, -2); },
       with([](auto& l) { l.operand[2] = 0xFE, l.operand[3] = 0xFF; })},
      {"parameter 4 is bytes 6 and 7", [](BhavEditor& e) { return e.SetParameter(3, 0x1234); },
       with([](auto& l) { l.operand[6] = 0x34, l.operand[7] = 0x12; })},
      {"hex text: low byte", [](BhavEditor& e) { return e.SetOperandByteText(5, " 1ff"); },
       with([](auto& l) { l.operand[5] = 0xFF; })},
      {"hex text that is no number", [](BhavEditor& e) { return e.SetOperandByteText(0, "zz"); },
       with([](auto& l) { l.operand[0] = 0; })},
      {"false line", [](BhavEditor& e) { return e.SetTarget(BhavEditor::Branch::False, 0); },
       with([](auto& l) { l.falseTarget = 0; })},
      {"choice Line ... is line 0", [](BhavEditor& e) { return e.SetTargetChoice(BhavEditor::Branch::True, C::Line); },
       with([](auto& l) { l.trueTarget = 0; })},
      {"choice Error", [](BhavEditor& e) { return e.SetTargetChoice(BhavEditor::Branch::False, C::Error); },
       with([](auto& l) { l.falseTarget = E; })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.edit(editor));
    EXPECT_EQ(editor.Lines()[1], c.expected);
    EXPECT_EQ(editor.Lines()[0], routine.instructions[0]);
  }
  for (auto [target, choice] : {std::pair{T, C::True}, {F, C::False}, {E, C::Error}, {0, C::Line}, {252, C::Line}})
    EXPECT_EQ(BhavEditor::ChoiceOf(uint8_t(target)), choice);
  EXPECT_EQ(editor.Routine().signature, 0x8003) << "kept until a version is picked";
  EXPECT_TRUE(editor.SetVersionIndex(2));
  EXPECT_EQ(editor.Routine().signature, 0x8002);
  EXPECT_EQ(editor.JumpRows(), (std::vector<size_t>{0}));
  EXPECT_EQ(editor.CalledRoutine(1), std::optional<uint16_t>(300));
  EXPECT_EQ(editor.CalledRoutine(0), std::nullopt);
}

TEST(BhavEditor, UndoReturnsTheOpeningBytesAndRedoTheEdits) {
  std::mt19937 random(3);
  for (int round = 0; round < 50; ++round) {
    ResourceBhav routine = RandomRoutine(random, 1 + random() % 20);
    routine.signature = 0x8001;
    routine.revision = 17;
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
    while (editor.Undo()) {
    }
    EXPECT_TRUE(editor.IsClean());
    EXPECT_EQ(Encoded(editor.Routine()), opening) << "round " << round;
    while (editor.Redo()) {
    }
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
  EXPECT_EQ(editor.Lines()[0].OperandWord(0), 0x0100);
  EXPECT_TRUE(editor.IsClean());
}

TEST(BhavFunctionPicker, ListsAndChoosesFunctions) {
  using K = FunctionChoice::Kind;
  FunctionList own{"Private", {{"Main", 4096}, {"Helper", 4097}}};
  const std::vector<FunctionChoice> choices = FunctionChoices(nullptr, own, "");
  ASSERT_EQ(choices.size(), 5u);
  EXPECT_EQ(choices[0].kind, K::Separator);
  EXPECT_EQ(choices[1].kind, K::Separator);
  EXPECT_EQ(choices[2].name, "Main");
  EXPECT_EQ(choices[3].kind, K::Private);
  EXPECT_EQ(choices[4].kind, K::Separator);

  const std::vector<FunctionChoice> mixed{
      {K::Primitive, "Sleep", 0}, {K::Separator, "", 0},    {K::Global, "Idle", 256},
      {K::Separator, "", 0},      {K::Private, "Idle", 256}, {K::Separator, "", 0},
  };
  EXPECT_EQ(PreselectedChoice(mixed, 256), 4u) << "the last entry of that id";
  EXPECT_EQ(PreselectedChoice(mixed, 0), 0u) << "separators have no id";
  EXPECT_EQ(PreselectedChoice(mixed, 5), kNoRow);
  uint16_t id = 1;
  EXPECT_EQ(ChooseFunction(mixed, 2, id), EditError::None);
  EXPECT_EQ(id, 256);
  for (size_t index : {size_t{1}, size_t{6}, kNoRow})
    EXPECT_EQ(ChooseFunction(mixed, index, id), EditError::NoFunctionChosen);
}

}  // namespace
}  // namespace scrivet
