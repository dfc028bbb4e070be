#include "edit/list_edit.h"

#include "codecs/resource_bhav.h"

namespace scrivet {

IndexMap IndexMap::Identity(size_t count) {
  std::vector<size_t> to(count);
  for (size_t i = 0; i < count; ++i) to[i] = i;
  return IndexMap(std::move(to), count);
}

std::optional<IndexMap> IndexMap::FromOrder(std::span<const size_t> order) {
  std::vector<size_t> to(order.size(), kNoRow);
  for (size_t position = 0; position < order.size(); ++position) {
    const size_t old = order[position];
    if (old >= to.size() || to[old] != kNoRow) return std::nullopt;
    to[old] = position;
  }
  return IndexMap(std::move(to), order.size());
}

bool IndexMap::IsIdentity() const {
  if (newCount_ != to_.size()) return false;
  for (size_t i = 0; i < to_.size(); ++i) {
    if (to_[i] != i) return false;
  }
  return true;
}

size_t SelectionAfter(const IndexMap& map, size_t selected, AfterRemoval rule) {
  if (selected == kNoRow) return kNoRow;
  if (map[selected] != kNoRow) return map[selected];
  const size_t count = map.NewCount();
  if (count == 0) return kNoRow;
  size_t next = kNoRow;
  for (size_t old = selected + 1; old < map.OldCount() && next == kNoRow; ++old) next = map[old];
  switch (rule) {
    case AfterRemoval::None: return kNoRow;
    case AfterRemoval::NextOrNone: return next;
    case AfterRemoval::NextOrLast: return next != kNoRow ? next : count - 1;
    case AfterRemoval::First: return 0;
  }
  return kNoRow;
}

uint8_t RemapJumpTarget(uint8_t target, const IndexMap& map, DanglingTarget dangling) {
  if (target >= BhavInstruction::kTargetError) return target;
  size_t line = map[target];
  if (target >= map.OldCount()) {
    if (dangling == DanglingTarget::Error) return BhavInstruction::kTargetError;
    // Lines past the end move like the end of the list.
    line = (target - map.OldCount()) + map.NewCount();
  }
  return line < BhavInstruction::kTargetError ? static_cast<uint8_t>(line) : BhavInstruction::kTargetError;
}

void RemapJumps(std::span<BhavInstruction> instructions, const IndexMap& map, DanglingTarget dangling) {
  for (BhavInstruction& instruction : instructions) {
    instruction.trueTarget = RemapJumpTarget(instruction.trueTarget, map, dangling);
    instruction.falseTarget = RemapJumpTarget(instruction.falseTarget, map, dangling);
  }
}

}  // namespace scrivet
