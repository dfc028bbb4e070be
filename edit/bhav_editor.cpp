#include "edit/bhav_editor.h"

#include <algorithm>
#include <utility>

#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "edit/number_field.h"

namespace scrivet {

namespace {

constexpr uint8_t kError = BhavInstruction::kTargetError;

// A line number a jump can name (0-252), as opposed to the special targets.
bool IsLineTarget(uint8_t target) { return target < kError; }

// One pending chain start of Rewrite's walk.
struct WorkItem {
  size_t start;
  size_t referrer;  // kNoRow for line 0
  std::vector<size_t> ancestors;
};

bool Contains(const std::vector<size_t>& lines, size_t line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

std::vector<size_t> RewriteOrder(std::span<const BhavInstruction> lines) {
  const size_t count = lines.size();
  std::vector<size_t> order;
  if (count == 0) return order;
  order.reserve(count);
  std::vector<bool> placed(count, false);
  std::vector<WorkItem> stack{{0, kNoRow, {}}};

  while (!stack.empty()) {
    WorkItem item = std::move(stack.back());
    stack.pop_back();
    if (placed[item.start]) continue;

    std::vector<size_t> chain;
    enum class Place { AtEnd, BeforeTrue, BeforeFalse } place = Place::AtEnd;
    size_t current = item.start;
    for (;;) {
      chain.push_back(current);
      const BhavInstruction& line = lines[current];
      enum class Kind { Closed, Placed, New };
      const auto classify = [&](uint8_t target) {
        if (!IsLineTarget(target) || target >= count || Contains(chain, target) || Contains(item.ancestors, target))
          return Kind::Closed;
        return placed[target] ? Kind::Placed : Kind::New;
      };
      const size_t t = line.trueTarget, f = line.falseTarget;
      const Kind fKind = classify(line.falseTarget);
      // Both ways to one line: it is followed once, as the false way.
      const Kind tKind = t == f ? Kind::Closed : classify(line.trueTarget);
      const auto push = [&](size_t start) {
        std::vector<size_t> ancestors = item.ancestors;
        ancestors.insert(ancestors.end(), chain.begin(), chain.end());
        stack.push_back(WorkItem{start, current, std::move(ancestors)});
      };
      if (fKind == Kind::Closed && tKind == Kind::New) {
        current = t;
        continue;
      }
      if (fKind == Kind::New && tKind == Kind::Closed) {
        current = f;
        continue;
      }
      if (fKind == Kind::Closed) {
        place = tKind == Kind::Placed ? Place::BeforeTrue : Place::AtEnd;
      } else if (fKind == Kind::Placed) {
        if (tKind == Kind::New) push(t);
        place = tKind == Kind::Placed ? Place::AtEnd : Place::BeforeFalse;
      } else {  // false way new, true way placed or new
        push(f);
        if (tKind == Kind::New) push(t);  // pushed last, so followed first
        place = tKind == Kind::Placed ? Place::BeforeTrue : Place::AtEnd;
      }
      break;
    }

    auto at = order.end();
    if (place != Place::AtEnd) {
      const BhavInstruction& last = lines[chain.back()];
      const size_t before = place == Place::BeforeTrue ? last.trueTarget : last.falseTarget;
      const auto target = std::find(order.begin(), order.end(), before);
      // Only behind the line that leads here, so line 0 stays first.
      const auto referrer = std::find(order.begin(), target, item.referrer);
      if (item.referrer != kNoRow && referrer != target) at = target;
    }
    order.insert(at, chain.begin(), chain.end());
    for (size_t line : chain) placed[line] = true;
  }

  for (size_t line = 0; line < count; ++line)
    if (!placed[line]) order.push_back(line);
  return order;
}

std::string NextText(const BhavInstruction& line) {
  return TargetText(line.trueTarget) + ", " + TargetText(line.falseTarget);
}

BhavEditor::BhavEditor(const ResourceBhav& routine, std::string semiGlobalName)
    : semiGlobalName_(std::move(semiGlobalName)) {
  state_.routine.CopyFrom(routine);
}

BhavRow BhavEditor::Row(size_t line, const InstructionFormatter& formatter) const {
  if (line >= LineCount()) return {};
  const BhavInstruction& instruction = Lines()[line];
  return BhavRow{std::to_string(line), formatter.FormatInstruction(instruction, semiGlobalName_),
                 NextText(instruction)};
}

const BhavInstruction* BhavEditor::SelectedLine() const {
  return state_.selected < LineCount() ? &Lines()[state_.selected] : nullptr;
}

void BhavEditor::Select(size_t line) {
  state_.selected = line < LineCount() ? line : kNoRow;
  history_.BreakMerge();
}

std::vector<size_t> BhavEditor::JumpRows() const {
  std::vector<size_t> rows;
  if (const BhavInstruction* line = SelectedLine()) {
    for (uint8_t target : {line->trueTarget, line->falseTarget})
      if (IsLineTarget(target) && target < LineCount() && !Contains(rows, target)) rows.push_back(target);
  }
  return rows;
}

std::optional<uint16_t> BhavEditor::CalledRoutine(size_t line) const {
  if (line >= LineCount() || Lines()[line].opcode < 256) return std::nullopt;
  return Lines()[line].opcode;
}

template <class Change>
bool BhavEditor::Edit(std::string label, Change&& change, std::string mergeKey) {
  return history_.Apply(state_, std::move(label), std::forward<Change>(change), std::move(mergeKey));
}

template <class Change>
bool BhavEditor::EditLine(const char* field, Change&& change) {
  if (!SelectedLine()) return false;
  return Edit(
      field,
      [&](State& s) {
        BhavInstruction& line = s.routine.instructions[s.selected];
        const BhavInstruction before = line;
        change(line);
        return !(line == before);
      },
      std::string(field) + "@" + std::to_string(state_.selected));
}

int BhavEditor::VersionIndex() const {
  const uint16_t signature = Routine().signature;
  return signature == 0x8000 ? 0 : signature == 0x8001 ? 1 : 2;
}

bool BhavEditor::SetVersionIndex(int index) {
  if (index < 0 || index > 2) return false;
  const uint16_t signature = static_cast<uint16_t>(ResourceBhav::kSignatureFirstHeadered + index);
  return Edit("Version", [&](State& s) { return std::exchange(s.routine.signature, signature) != signature; });
}

bool BhavEditor::SetType(uint8_t type) {
  return Edit("Type", [&](State& s) { return std::exchange(s.routine.type, type) != type; });
}

bool BhavEditor::SetParameterCount(uint8_t count) {
  return Edit(
      "Number of parameters",
      [&](State& s) { return std::exchange(s.routine.parameterCount, count) != count; }, "parameters");
}

bool BhavEditor::SetLocalCount(uint8_t count) {
  return Edit(
      "Number of local variables", [&](State& s) { return std::exchange(s.routine.localCount, count) != count; },
      "locals");
}

bool BhavEditor::SetRevision(uint32_t revision) {
  return Edit(
      "Revision number", [&](State& s) { return std::exchange(s.routine.revision, revision) != revision; },
      "revision");
}

BhavEditor::TargetChoice BhavEditor::ChoiceOf(uint8_t target) {
  switch (target) {
    case BhavInstruction::kTargetTrue: return TargetChoice::True;
    case BhavInstruction::kTargetFalse: return TargetChoice::False;
    case BhavInstruction::kTargetError: return TargetChoice::Error;
    default: return TargetChoice::Line;
  }
}

uint8_t BhavEditor::TargetOf(TargetChoice choice) {
  switch (choice) {
    case TargetChoice::True: return BhavInstruction::kTargetTrue;
    case TargetChoice::False: return BhavInstruction::kTargetFalse;
    case TargetChoice::Error: return BhavInstruction::kTargetError;
    case TargetChoice::Line: break;
  }
  return 0;
}

bool BhavEditor::SetOpcode(uint16_t opcode) {
  return EditLine("Function", [&](BhavInstruction& line) { line.opcode = opcode; });
}

bool BhavEditor::SetTarget(Branch branch, uint8_t target) {
  return EditLine(branch == Branch::True ? "True line" : "False line", [&](BhavInstruction& line) {
    (branch == Branch::True ? line.trueTarget : line.falseTarget) = target;
  });
}

bool BhavEditor::SetTargetChoice(Branch branch, TargetChoice choice) {
  BreakMerge();  // a pick is a step of its own, not part of typing in the box beside it
  const bool changed = SetTarget(branch, TargetOf(choice));
  BreakMerge();
  return changed;
}

bool BhavEditor::SetParameter(size_t index, int16_t value) {
  if (index >= 4) return false;
  static constexpr const char* kFields[] = {"Parameter 1", "Parameter 2", "Parameter 3", "Parameter 4"};
  return EditLine(kFields[index], [&](BhavInstruction& line) { line.SetOperandWord(index, value); });
}

bool BhavEditor::SetOperandByte(size_t index, uint8_t value) {
  if (index >= 8) return false;
  static constexpr const char* kFields[] = {"HEX 1", "HEX 2", "HEX 3", "HEX 4", "HEX 5", "HEX 6", "HEX 7", "HEX 8"};
  return EditLine(kFields[index], [&](BhavInstruction& line) { line.operand[index] = value; });
}

bool BhavEditor::SetOperandByteText(size_t index, std::string_view text) {
  return SetOperandByte(index, static_cast<uint8_t>(ScanNumber(text, NumberBase::Hex) & 0xFF));
}

EditError BhavEditor::AppendLine(const BhavInstruction& line) {
  if (LineCount() >= kMaxLines) return EditError::TooManyLines;
  Edit("Add", [&](State& s) {
    s.routine.instructions.push_back(line);
    s.selected = s.routine.instructions.size() - 1;
    return true;
  });
  return EditError::None;
}

EditError BhavEditor::Add() {
  BhavInstruction line;
  line.opcode = kNewOpcode;
  line.trueTarget = line.falseTarget = kError;
  line.operand = kNewOperand;
  return AppendLine(line);
}

EditError BhavEditor::Insert() {
  const size_t target = Selected();
  if (!SelectedLine()) return EditError::NoLineSelected;
  if (LineCount() >= kMaxLines) return EditError::TooManyLines;
  Edit("Insert", [&](State& s) {
    std::vector<BhavInstruction>& lines = s.routine.instructions;
    const auto added = static_cast<uint8_t>(lines.size());  // below 253, checked above
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i == target) continue;  // its own jumps to itself stay
      if (lines[i].trueTarget == target) lines[i].trueTarget = added;
      if (lines[i].falseTarget == target) lines[i].falseTarget = added;
    }
    BhavInstruction line;
    line.opcode = kNewOpcode;
    line.trueTarget = line.falseTarget = static_cast<uint8_t>(target);
    line.operand = kNewOperand;
    lines.push_back(line);
    s.selected = added;
    return true;
  });
  return EditError::None;
}

EditError BhavEditor::Delete() {
  const size_t target = Selected();
  if (!SelectedLine()) return EditError::NoLineSelected;
  // Past line 252 no jump can name the line (253-255 are "Error", "True", "False").
  if (target < kError) {
    for (size_t i = 0; i < LineCount(); ++i) {
      if (i != target && (Lines()[i].trueTarget == target || Lines()[i].falseTarget == target))
        return EditError::LineIsJumpTarget;
    }
  }
  Edit("Delete", [&](State& s) {
    std::vector<BhavInstruction>& lines = s.routine.instructions;
    const std::optional<IndexMap> map = RemoveRow(lines, target);
    RemapJumps(lines, *map);
    s.selected = SelectionAfter(*map, target, AfterRemoval::NextOrNone);
    return true;
  });
  return EditError::None;
}

EditError BhavEditor::Duplicate() {
  const BhavInstruction* line = SelectedLine();
  if (!line) return EditError::NoLineSelected;
  return AppendLine(BhavInstruction(*line));
}

EditError BhavEditor::Rewrite() {
  const std::vector<size_t> order = RewriteOrder(Lines());
  Edit("Rewrite", [&](State& s) {
    std::vector<BhavInstruction>& lines = s.routine.instructions;
    const std::optional<IndexMap> map = ReorderRows(lines, order);
    if (!map) return false;  // an empty routine
    const std::vector<BhavInstruction> before = lines;
    RemapJumps(lines, *map, DanglingTarget::Error);
    if (map->IsIdentity() && lines == before) return false;  // already tidy: no step
    s.selected = SelectionAfter(*map, s.selected, AfterRemoval::None);
    return true;
  });
  return EditError::None;
}

bool BhavEditor::Undo() { return history_.Undo(state_); }
bool BhavEditor::Redo() { return history_.Redo(state_); }

std::vector<FunctionChoice> FunctionChoices(const FunctionCatalogue* catalogue, const FunctionList& privateFunctions,
                                            std::string_view semiGlobalName) {
  using Kind = FunctionChoice::Kind;
  std::vector<FunctionChoice> choices;
  const auto addList = [&](const FunctionList* list, Kind kind) {
    choices.push_back(FunctionChoice{});
    if (!list) return;
    for (const FunctionListEntry& entry : list->entries) choices.push_back(FunctionChoice{kind, entry.name, entry.id});
  };
  if (catalogue) {
    // Only the names of opcodes 0-255 are primitives; a longer table names nothing more.
    for (uint16_t index = 0; index < 256; ++index) {
      const std::string* name = catalogue->FindString(FunctionCatalogue::kPrimitiveNamesId, index);
      if (!name) break;
      choices.push_back(FunctionChoice{Kind::Primitive, *name, index});
    }
  }
  addList(catalogue ? &catalogue->GlobalList() : nullptr, Kind::Global);
  addList(&privateFunctions, Kind::Private);
  addList(catalogue ? catalogue->FindSemiGlobalList(semiGlobalName) : nullptr, Kind::SemiGlobal);
  return choices;
}

size_t PreselectedChoice(std::span<const FunctionChoice> choices, uint16_t opcode) {
  for (size_t i = choices.size(); i-- > 0;) {
    if (choices[i].kind != FunctionChoice::Kind::Separator && choices[i].id == opcode) return i;
  }
  return kNoRow;
}

EditError ChooseFunction(std::span<const FunctionChoice> choices, size_t index, uint16_t& id) {
  if (index >= choices.size() || choices[index].kind == FunctionChoice::Kind::Separator)
    return EditError::NoFunctionChosen;
  id = choices[index].id;
  return EditError::None;
}

}  // namespace scrivet
