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
  const std::vector<size_t> tooFew{0, 1}, repeated{0, 0, 1, 2}, rotate{3, 0, 1, 2};
  const std::vector<size_t> some{3, 0, 3, 7}, none{9};
  struct Case {
    const char* name;
    std::function<std::optional<IndexMap>(std::vector<char>&)> command;
    Rows expected;  // empty: refused, rows unchanged
    std::vector<size_t> to;
  } cases[] = {
      {"insert", [](auto& r) { return InsertRow(r, 1, 'x'); }, "axbcd", {0, 2, 3, 4}},
      {"insert past the end appends", [](auto& r) { return InsertRow(r, 9, 'x'); }, "abcdx", {0, 1, 2, 3}},
      {"remove", [](auto& r) { return RemoveRow(r, 1); }, "acd", {0, N, 1, 2}},
      {"remove several", [&](auto& r) { return RemoveRows<char>(r, some); }, "bc", {N, 0, 1, N}},
      {"remove nothing", [&](auto& r) { return RemoveRows<char>(r, none); }, "", {}},
      {"remove no row", [](auto& r) { return RemoveRow(r, N); }, "", {}},
      {"up", [](auto& r) { return MoveRowUp(r, 2); }, "acbd", {0, 2, 1, 3}},
      {"up at the start", [](auto& r) { return MoveRowUp(r, 0); }, "", {}},
      {"down", [](auto& r) { return MoveRowDown(r, 2); }, "abdc", {0, 1, 3, 2}},
      {"down at the end", [](auto& r) { return MoveRowDown(r, 3); }, "", {}},
      {"down without a row", [](auto& r) { return MoveRowDown(r, N); }, "", {}},
      {"reorder", [&](auto& r) { return ReorderRows<char>(r, rotate); }, "dabc", {1, 2, 3, 0}},
      {"reorder with a repeat", [&](auto& r) { return ReorderRows<char>(r, repeated); }, "", {}},
      {"reorder of too few", [&](auto& r) { return ReorderRows<char>(r, tooFew); }, "", {}},
  };
  for (const Case& c : cases) {
    std::vector<char> rows{'a', 'b', 'c', 'd'};
    const std::optional<IndexMap> map = c.command(rows);
    if (c.expected.empty()) {
      EXPECT_FALSE(map) << c.name;
      EXPECT_EQ(Rows(rows.begin(), rows.end()), "abcd") << c.name;
      continue;
    }
    ASSERT_TRUE(map) << c.name;
    EXPECT_EQ(Rows(rows.begin(), rows.end()), c.expected) << c.name;
    EXPECT_EQ(Targets(*map), c.to) << c.name;
    EXPECT_EQ(map->NewCount(), rows.size()) << c.name;
    EXPECT_EQ(map->IsIdentity(), c.to == (std::vector<size_t>{0, 1, 2, 3}) && rows.size() == 4) << c.name;
  }
}

TEST(ListEdit, SelectionAfterACommand) {
  const auto removing = [](std::vector<size_t> gone) {
    std::vector<int> rows(5);
    return *RemoveRows<int>(rows, gone);
  };
  std::vector<int> five(5);
  const IndexMap up = *MoveRowUp(five, 3);
  const IndexMap insertFirst = InsertRow(five, 0, 0);
  struct Case {
    const char* name;
    IndexMap map;
    size_t selected;
    size_t none, nextOrNone, nextOrLast, first;
  } cases[] = {
      {"middle row removed", removing({2}), 2, N, 2, 2, 0},
      {"last row removed", removing({4}), 4, N, N, 3, 0},
      {"rows around it removed", removing({1, 2, 4}), 1, N, 1, 1, 0},
      {"every row removed", removing({0, 1, 2, 3, 4}), 0, N, N, N, N},
      {"another row removed", removing({0}), 3, 2, 2, 2, 2},
      {"moved up", up, 3, 2, 2, 2, 2},
      {"moved down by its neighbour", up, 2, 3, 3, 3, 3},
      {"insert before it", insertFirst, 1, 2, 2, 2, 2},
      {"nothing selected", removing({0}), N, N, N, N, N},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SelectionAfter(c.map, c.selected, AfterRemoval::None), c.none) << c.name;
    EXPECT_EQ(SelectionAfter(c.map, c.selected, AfterRemoval::NextOrNone), c.nextOrNone) << c.name;
    EXPECT_EQ(SelectionAfter(c.map, c.selected, AfterRemoval::NextOrLast), c.nextOrLast) << c.name;
    EXPECT_EQ(SelectionAfter(c.map, c.selected, AfterRemoval::First), c.first) << c.name;
  }
}

TEST(ListEdit, JumpTargetsFollowTheirLines) {
  std::vector<int> three(3), five(5), long300(300);
  const IndexMap deleteLine1 = *RemoveRow(three, 1);             // 3 lines -> 2
  const IndexMap insertAt1 = InsertRow(five, 1, 0);               // 5 lines -> 6
  const IndexMap rewrite = *IndexMap::FromOrder(std::vector<size_t>{0, 2, 1, 3, 4});
  const IndexMap longInsert = InsertRow(long300, 0, 0);           // line 252 becomes 253
  const IndexMap longDelete = *RemoveRow(long300, 0);
  std::vector<size_t> backwards(300);
  for (size_t i = 0; i < backwards.size(); ++i) backwards[i] = backwards.size() - 1 - i;
  const IndexMap reversed = *IndexMap::FromOrder(backwards);
  struct Case {
    const char* name;
    const IndexMap& map;
    uint8_t target;
    uint8_t shifted, error;  // with DanglingTarget::Shift, ::Error
  } cases[] = {
      {"line after the deleted one", deleteLine1, 2, 1, 1},
      {"line before it", deleteLine1, 0, 0, 0},
      {"the deleted line", deleteLine1, 1, 253, 253},
      {"past the last line", deleteLine1, 250, 249, 253},
      {"Error", deleteLine1, 253, 253, 253},
      {"True", deleteLine1, 254, 254, 254},
      {"False", insertAt1, 255, 255, 255},
      {"line after an insert", insertAt1, 1, 2, 2},
      {"past the end after an insert", insertAt1, 252, 253, 253},
      {"reordered", rewrite, 2, 1, 1},
      {"reordered back", rewrite, 1, 2, 2},
      {"no line after a rewrite", rewrite, 250, 250, 253},
      {"pushed past the last jumpable line", longInsert, 252, 253, 253},
      {"a long routine's line", longDelete, 252, 251, 251},
      {"moved to line 254, past the last jumpable one", reversed, 45, 253, 253},
      {"moved into reach", reversed, 252, 47, 47},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RemapJumpTarget(c.target, c.map, DanglingTarget::Shift), c.shifted) << c.name;
    EXPECT_EQ(RemapJumpTarget(c.target, c.map, DanglingTarget::Error), c.error) << c.name;
  }
}

}  // namespace
}  // namespace scrivet
