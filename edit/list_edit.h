#pragma once
// The list commands every editor offers (Add, Insert, Delete, Up, Dn, reorder) on a plain
// std::vector, each answering with where every old row went. Anything that refers to rows by
// index (a routine's jump targets, a selection) is then brought up to date from that map
// instead of by hand-written arithmetic in each editor.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace scrivet {

struct BhavInstruction;

// A selection of no row, and the new index of a row that was removed.
inline constexpr size_t kNoRow = static_cast<size_t>(-1);

// Old row index -> new row index after one list command.
class IndexMap {
 public:
  IndexMap() = default;
  // `to[i]` is the new index of old row i (kNoRow: removed); the list now has `newCount` rows.
  IndexMap(std::vector<size_t> to, size_t newCount) : to_(std::move(to)), newCount_(newCount) {}
  // Every row stays where it is.
  static IndexMap Identity(size_t count);
  // A reorder: `order` lists the old indexes in their new order (a permutation of 0..n-1).
  static std::optional<IndexMap> FromOrder(std::span<const size_t> order);

  // The new index of old row `oldIndex`; kNoRow when it was removed or never existed.
  size_t operator[](size_t oldIndex) const { return oldIndex < to_.size() ? to_[oldIndex] : kNoRow; }
  size_t OldCount() const { return to_.size(); }
  size_t NewCount() const { return newCount_; }
  bool IsIdentity() const;

  bool operator==(const IndexMap&) const = default;

 private:
  std::vector<size_t> to_;
  size_t newCount_ = 0;
};

// Inserts `row` in front of row `at` (at the end when `at` is past it). Always succeeds.
template <class T>
IndexMap InsertRow(std::vector<T>& rows, size_t at, T row) {
  const size_t n = rows.size();
  at = std::min(at, n);
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
  std::vector<size_t> to(n);
  for (size_t i = 0; i < n; ++i) to[i] = i < at ? i : i + 1;
  return IndexMap(std::move(to), n + 1);
}

// Removes the rows at `indexes` (any order; repeated or out-of-range indexes are ignored).
// Nothing when no index names a row.
template <class T>
std::optional<IndexMap> RemoveRows(std::vector<T>& rows, std::span<const size_t> indexes) {
  const size_t n = rows.size();
  std::vector<bool> gone(n, false);
  bool any = false;
  for (size_t index : indexes) {
    if (index < n) gone[index] = any = true;
  }
  if (!any) return std::nullopt;
  std::vector<size_t> to(n, kNoRow);
  size_t kept = 0;
  for (size_t i = 0; i < n; ++i) {
    if (gone[i]) continue;
    to[i] = kept;
    if (kept != i) rows[kept] = std::move(rows[i]);
    ++kept;
  }
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end());
  return IndexMap(std::move(to), kept);
}

template <class T>
std::optional<IndexMap> RemoveRow(std::vector<T>& rows, size_t index) {
  return RemoveRows(rows, std::span<const size_t>(&index, 1));
}

// Swaps row `index` with its neighbour; nothing at the respective end or for no row.
template <class T>
std::optional<IndexMap> MoveRowUp(std::vector<T>& rows, size_t index) {
  if (index == 0 || index >= rows.size()) return std::nullopt;
  std::swap(rows[index - 1], rows[index]);
  std::vector<size_t> to(rows.size());
  for (size_t i = 0; i < to.size(); ++i) to[i] = i;
  std::swap(to[index - 1], to[index]);
  return IndexMap(std::move(to), rows.size());
}

template <class T>
std::optional<IndexMap> MoveRowDown(std::vector<T>& rows, size_t index) {
  if (index + 1 >= rows.size()) return std::nullopt;  // also for kNoRow
  return MoveRowUp(rows, index + 1);
}

// Puts the rows into the new order (old indexes in new order); nothing when `order` is not a
// permutation of all rows.
template <class T>
std::optional<IndexMap> ReorderRows(std::vector<T>& rows, std::span<const size_t> order) {
  if (order.size() != rows.size()) return std::nullopt;
  std::optional<IndexMap> map = IndexMap::FromOrder(order);
  if (!map) return std::nullopt;
  std::vector<T> reordered;
  reordered.reserve(rows.size());
  for (size_t old : order) reordered.push_back(std::move(rows[old]));
  rows = std::move(reordered);
  return map;
}

// Which row is selected after a command that removed the selected row. The editors differ:
// a routine's line list leaves nothing selected after deleting its last line, the job,
// constant and frame lists fall back to the new last row, the interaction list goes back to
// its first row, and the string and sprite lists clear the selection.
enum class AfterRemoval { None, NextOrNone, NextOrLast, First };

// The selection after the command described by `map`: the selected row wherever it went, or,
// when it was removed, the row chosen by `rule` ("next" is the first surviving row that came
// after it). kNoRow stays kNoRow.
size_t SelectionAfter(const IndexMap& map, size_t selected, AfterRemoval rule);

// Jump targets of a routine: lines 0-252; 253 "Error", 254 "True" and 255 "False" never move.
// What a target naming no line (at or past the old line count) becomes: Delete shifts it with
// the lines after the last one, Rewrite turns it into "Error".
enum class DanglingTarget { Shift, Error };

// The target after the list command `map`. A line that was removed, or whose new number no
// longer fits below 253, becomes "Error".
uint8_t RemapJumpTarget(uint8_t target, const IndexMap& map, DanglingTarget dangling = DanglingTarget::Shift);
// Both targets of every instruction.
void RemapJumps(std::span<BhavInstruction> instructions, const IndexMap& map,
                DanglingTarget dangling = DanglingTarget::Shift);

}  // namespace scrivet
