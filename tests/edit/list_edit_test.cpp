#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "edit/list_edit.h"

namespace scrivet {
namespace {

constexpr size_t N = kNoRow;

std::vector<size_t> Targets(const IndexMap& map) {
  std::vector<size_t> to;
  for (size_t i = 0; i < map.OldCount(); ++i) to.push_back(map[i]);
  return to;
}

TEST(ListEdit, CommandsAndTheirIndexMaps) {
  using Rows = std::string;  // one character per row
  const std::vector<size_t> repeated{0, 0, 1, 2}, rotate{3, 0, 1, 2};
  const std::vector<size_t> some{3, 0, 3, 7}, none{9};
  // expected empty: refused, rows unchanged
  struct Case { const char* name; std::function<std::optional<IndexMap>(std::vector<char>&)> command; Rows expected;
      std::vector<size_t> to; } cases[] = {
      {"insert", [](auto& r) { return InsertRow(r, 1, 'x'); }, "axbcd", {0, 2, 3, 4}},
      {"remove", [](auto& r) { return RemoveRow(r, 1); }, "acd", {0, N, 1, 2}},
      {"remove several", [&](auto& r) { return RemoveRows<char>(r, some); }, "bc", {N, 0, 1, N}},
      {"remove nothing", [&](auto& r) { return RemoveRows<char>(r, none); }, "", {}},
      {"up", [](auto& r) { return MoveRowUp(r, 2); }, "acbd", {0, 2, 1, 3}},
      {"up at the start", [](auto& r) { return MoveRowUp(r, 0); }, "", {}},
      {"down", [](auto& r) { return MoveRowDown(r, 2); }, "abdc", {0, 1, 3, 2}},
      {"down at the end", [](auto& r) { return MoveRowDown(r, 3); }, "", {}},
      {"reorder", [&](auto& r) { return ReorderRows<char>(r, rotate); }, "dabc", {1, 2, 3, 0}},
      {"reorder with a repeat", [&](auto& r) { return ReorderRows<char>(r, repeated); }, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char> rows{'a', 'b', 'c', 'd'};
    const std::optional<IndexMap> map = c.command(rows);
    EXPECT_EQ(Rows(rows.begin(), rows.end()), c.expected.empty() ? "abcd" : c.expected);
    ASSERT_EQ(map.has_value(), !c.expected.empty());
    if (!map) continue;
    EXPECT_EQ(Targets(*map), c.to);
    EXPECT_EQ(map->NewCount(), rows.size());
    EXPECT_EQ(map->IsIdentity(), c.to == (std::vector<size_t>{0, 1, 2, 3}) && rows.size() == 4);
  }
}

}  // namespace
}  // namespace scrivet
