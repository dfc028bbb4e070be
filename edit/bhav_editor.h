#pragma once
// Everything the routine editor does, without a window: the working copy of one BHAV, the
// selected line, the header and line field edits, the line commands (Add, Insert, Delete,
// Duplicate, Rewrite) with their refusals, and undo back to the state it opened with. The
// dialog binds widgets to it; the command-line tool rewrites routines through it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_bhav.h"
#include "edit/edit_error.h"
#include "edit/edit_history.h"
#include "edit/list_edit.h"

namespace scrivet {

class FunctionCatalogue;
class InstructionFormatter;
struct FunctionList;

// The new line order Rewrite gives the routine: old line numbers in their new order (a
// permutation of all lines). Line 0 stays first; lines no path reaches follow all others in
// their old order.
std::vector<size_t> RewriteOrder(std::span<const BhavInstruction> lines);

// One row of the line list: line number, instruction text, and the true and false targets.
struct BhavRow {
  std::string line;
  std::string instruction;
  std::string next;
};

// "True, Error": the "Next" column of a line.
std::string NextText(const BhavInstruction& line);

class BhavEditor {
 public:
  // Lines 0-252: a line numbered 253 or more could never be jumped to, because those numbers
  // are the targets "Error", "True" and "False". The commands that add lines stop here; a
  // longer routine read from a file still opens and saves as it is.
  static constexpr size_t kMaxLines = BhavInstruction::kTargetError;
  // What Add and Insert put in a new line.
  static constexpr uint16_t kNewOpcode = 2;
  static constexpr std::array<uint8_t, 8> kNewOperand{0, 0, 0, 0, 0, 5, 0, 0};

  enum class Branch { True, False };
  // The choice shown beside a target box, in the order the box offers them.
  enum class TargetChoice { True, False, Error, Line };

  explicit BhavEditor(const ResourceBhav& routine, std::string semiGlobalName = {});

  // The working copy, identity included (what OK hands back).
  const ResourceBhav& Routine() const { return state_.routine; }
  const std::vector<BhavInstruction>& Lines() const { return state_.routine.instructions; }
  size_t LineCount() const { return Lines().size(); }
  // The name of the file's semi-global routines, for naming calls.
  const std::string& SemiGlobalName() const { return semiGlobalName_; }

  // The row of `line` as the list shows it; `formatter` writes the instruction's text.
  BhavRow Row(size_t line, const InstructionFormatter& formatter) const;

  // --- Selection: one line or none (kNoRow). Not an undo step of its own.
  size_t Selected() const { return state_.selected; }
  const BhavInstruction* SelectedLine() const;
  // Out of range selects nothing. Ends a run of typing in one box.
  void Select(size_t line);
  // The rows the selected line can jump to: its true and false targets that name lines.
  std::vector<size_t> JumpRows() const;
  // The routine a line calls (opcodes 256 and up name routines by id), if it calls one.
  std::optional<uint16_t> CalledRoutine(size_t line) const;

  // --- Header. Each setter answers whether the copy changed.
  // 0, 1, 2 for the versions 8000, 8001, 8002; signatures past 8002 (and headerless ones) show 2.
  int VersionIndex() const;
  bool SetVersionIndex(int index);  // signature 0x8000 + index, even when it already shows so
  bool SetType(uint8_t type);
  bool SetParameterCount(uint8_t count);
  bool SetLocalCount(uint8_t count);
  bool SetRevision(uint32_t revision);

  // --- Fields of the selected line (false with no line selected or nothing changed).
  static TargetChoice ChoiceOf(uint8_t target);
  static uint8_t TargetOf(TargetChoice choice);  // "Line ..." gives line 0
  bool SetOpcode(uint16_t opcode);
  bool SetTarget(Branch branch, uint8_t target);
  bool SetTargetChoice(Branch branch, TargetChoice choice);
  // Parameter n (0-3) is operand word n.
  bool SetParameter(size_t index, int16_t value);
  bool SetOperandByte(size_t index, uint8_t value);
  // A hex box's text: what it starts with as hexadecimal (0 for none), low 8 bits.
  bool SetOperandByteText(size_t index, std::string_view text);

  // --- Line commands. None when done (or, for Rewrite of an empty routine, nothing to do);
  // otherwise why the copy was left unchanged: NoLineSelected, TooManyLines, LineIsJumpTarget.
  // Add: a new last line (both targets "Error"), selected.
  EditError Add();
  // Insert: a new last line in front of the selected line in the flow: every other line that
  // jumped to it now jumps to the new one, which continues to it. Line numbers stay.
  EditError Insert();
  // Delete: removes the selected line unless another line jumps to it; later jump targets move
  // down by one and the line that followed is selected.
  EditError Delete();
  // Duplicate: a copy of the selected line (targets included) as the new last line, selected.
  EditError Duplicate();
  // Rewrite: puts the lines into RewriteOrder and renumbers every jump; a jump to no line
  // becomes "Error". The selected line stays selected wherever it went.
  EditError Rewrite();

  // --- Undo: every field edit and command is one step (typing in one box is one step).
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  // The copy is as it was opened (edits since then undone).
  bool IsClean() const { return history_.IsClean(); }
  // The next edit starts a step of its own (a box lost the focus).
  void BreakMerge() { history_.BreakMerge(); }

 private:
  struct State {
    ResourceBhav routine;
    size_t selected = kNoRow;
  };

  template <class Change>
  bool Edit(std::string label, Change&& change, std::string mergeKey = {});
  // Edits the selected line, one undo step per box and line.
  template <class Change>
  bool EditLine(const char* field, Change&& change);
  EditError AppendLine(const BhavInstruction& line);

  State state_;
  std::string semiGlobalName_;
  EditHistory<State> history_;
};

// An entry of the function picker: a primitive (named by the behaviour file), a routine of one of
// the lists, or the separator between two groups (no id).
struct FunctionChoice {
  enum class Kind { Primitive, Separator, Global, Private, SemiGlobal };
  Kind kind = Kind::Separator;
  std::string name;
  uint16_t id = 0;
};

// The picker's entries in their order: the primitives, the global routines, the file's own
// routines and the semi-global routines of `semiGlobalName`, separated. `catalogue` may be null
// (no game files): then only the file's routines are offered.
std::vector<FunctionChoice> FunctionChoices(const FunctionCatalogue* catalogue, const FunctionList& privateFunctions,
                                            std::string_view semiGlobalName);
// The entry shown first for `opcode`: the last one with that id; kNoRow when none has it.
size_t PreselectedChoice(std::span<const FunctionChoice> choices, uint16_t opcode);
// The id OK gives for entry `index`; NoFunctionChosen for no entry or a separator.
EditError ChooseFunction(std::span<const FunctionChoice> choices, size_t index, uint16_t& id);

}  // namespace scrivet
