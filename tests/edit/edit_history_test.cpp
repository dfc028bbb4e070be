#include <gtest/gtest.h>

#include <vector>

#include "edit/edit_history.h"

namespace scrivet {
namespace {

// Every editor's tests undo back to the opening bytes; these are the rules they share.
TEST(EditHistory, StepsLabelsMergesAndTheCleanMark) {
  std::vector<int> doc{1, 2};
  EditHistory<std::vector<int>> history;
  EXPECT_FALSE(history.Undo(doc));
  const auto type = [&](const char* key, int value) {
    history.Apply(doc, "Value", [&](std::vector<int>& d) { return d.push_back(value), true; }, key);
  };
  history.Record(doc, "Delete");
  doc.erase(doc.begin());
  type("a", 1), type("a", 2), type("b", 3);
  history.BreakMerge();  // the box lost the focus
  type("b", 4), type("", 5), type("", 6);  // no key: never merges
  EXPECT_FALSE(history.Apply(doc, "Up", [](std::vector<int>&) { return false; })) << "nothing done, no step";
  EXPECT_EQ(history.UndoLabel(), "Value");
  for (const std::vector<int>& values :
       std::vector<std::vector<int>>{{2, 1, 2, 3, 4, 5}, {2, 1, 2, 3, 4}, {2, 1, 2, 3}, {2, 1, 2}, {2}, {1, 2}}) {
    ASSERT_TRUE(history.Undo(doc));
    EXPECT_EQ(doc, values);
  }
  EXPECT_EQ(history.RedoLabel(), "Delete");
  EXPECT_TRUE(history.IsClean() && !history.CanUndo());

  // After an undo the same box starts a new step instead of changing an older one.
  history.Redo(doc), history.Redo(doc);
  type("a", 7);
  EXPECT_FALSE(history.CanRedo()) << "a new edit drops what could be redone";
  history.Undo(doc);
  EXPECT_EQ(doc, (std::vector<int>{2, 1, 2}));

  history.MarkClean();
  type("a", 8);  // must not fold into the clean state
  EXPECT_FALSE(history.IsClean());
  EXPECT_TRUE(history.Undo(doc) && history.IsClean());
  // Once the marked state is dropped with the redo steps, nothing is clean any more.
  history.Undo(doc);
  type("", 9);
  history.Undo(doc);
  EXPECT_FALSE(history.IsClean());
  history.Clear();
  EXPECT_TRUE(history.IsClean() && !history.CanUndo());
}

}  // namespace
}  // namespace scrivet
