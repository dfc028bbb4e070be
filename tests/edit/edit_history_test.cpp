#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/edit_history.h"

namespace scrivet {
namespace {

struct Doc {
  std::vector<int> values;
  size_t selected = 0;
  bool operator==(const Doc&) const = default;
};

bool Append(Doc& doc, int value) {
  doc.values.push_back(value);
  doc.selected = doc.values.size() - 1;
  return true;
}

TEST(EditHistory, UndoesToTheOpeningStateAndRedoes) {
  const Doc opening{{1, 2}, 0};
  Doc doc = opening;
  EditHistory<Doc> history;
  EXPECT_TRUE(history.IsClean());
  EXPECT_FALSE(history.Undo(doc));

  history.Apply(doc, "Add", [](Doc& d) { return Append(d, 3); });
  history.Record(doc, "Delete");
  doc.values.erase(doc.values.begin());
  const Doc edited = doc;
  EXPECT_EQ(history.UndoLabel(), "Delete");
  EXPECT_FALSE(history.IsClean());

  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(doc, (Doc{{1, 2, 3}, 2}));
  EXPECT_EQ(history.RedoLabel(), "Delete");
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(doc, opening);
  EXPECT_TRUE(history.IsClean());
  EXPECT_FALSE(history.CanUndo());

  ASSERT_TRUE(history.Redo(doc));
  ASSERT_TRUE(history.Redo(doc));
  EXPECT_EQ(doc, edited);
  EXPECT_FALSE(history.Redo(doc));

  // A new edit drops what could be redone.
  history.Undo(doc);
  history.Apply(doc, "Add", [](Doc& d) { return Append(d, 9); });
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(doc.values, (std::vector<int>{1, 2, 3, 9}));

  // A change that does nothing leaves no step.
  EXPECT_FALSE(history.Apply(doc, "Up", [](Doc&) { return false; }));
  EXPECT_EQ(history.UndoLabel(), "Add");
}

TEST(EditHistory, TypingInOneBoxIsOneStep) {
  Doc doc;
  EditHistory<Doc> history;
  const auto type = [&](const char* key, int value) {
    history.Apply(doc, "Value", [&](Doc& d) { return Append(d, value); }, key);
  };
  type("value@0", 1);
  type("value@0", 2);
  type("value@0", 3);
  type("value@1", 4);  // another box
  type("value@1", 5);
  history.BreakMerge();  // the box lost the focus
  type("value@1", 6);
  type("", 7);  // no key: never merges
  type("", 8);
  EXPECT_EQ(doc.values, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  const std::vector<std::vector<int>> expected{{1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5}, {1, 2, 3}, {}};
  for (const std::vector<int>& values : expected) {
    ASSERT_TRUE(history.Undo(doc));
    EXPECT_EQ(doc.values, values);
  }
  EXPECT_FALSE(history.CanUndo());

  // After an undo the same box starts a new step instead of changing an older one.
  history.Redo(doc);
  type("value@1", 9);
  history.Undo(doc);
  type("value@0", 10);
  history.Undo(doc);
  EXPECT_EQ(doc.values, (std::vector<int>{1, 2, 3}));
}

TEST(EditHistory, CleanFollowsTheMarkedState) {
  Doc doc;
  EditHistory<Doc> history;
  history.Apply(doc, "Value", [](Doc& d) { return Append(d, 1); }, "box");
  history.MarkClean();  // e.g. saved here
  history.Apply(doc, "Value", [](Doc& d) { return Append(d, 2); }, "box");  // must not fold into the clean state
  EXPECT_FALSE(history.IsClean());
  history.Undo(doc);
  EXPECT_TRUE(history.IsClean());
  EXPECT_EQ(doc.values, (std::vector<int>{1}));

  // Once the marked state is dropped with the redo steps, nothing is clean any more.
  history.Undo(doc);
  history.Apply(doc, "Value", [](Doc& d) { return Append(d, 3); });
  history.Undo(doc);
  EXPECT_FALSE(history.IsClean());
  history.Clear();
  EXPECT_TRUE(history.IsClean());
  EXPECT_FALSE(history.CanUndo());
}

// Resource classes copy themselves with CopyFrom instead of a copy constructor.
class CopiedModel {
 public:
  CopiedModel() = default;
  CopiedModel(const CopiedModel&) = delete;
  CopiedModel& operator=(const CopiedModel&) = delete;
  void CopyFrom(const CopiedModel& other) { values = other.values; }
  std::vector<int> values;
};

TEST(EditHistory, ModelsThatCopyThemselves) {
  CopiedModel model;
  model.values = {1};
  EditHistory<CopiedModel> history;
  history.Record(model, "Add");
  model.values.push_back(2);
  ASSERT_TRUE(history.Undo(model));
  EXPECT_EQ(model.values, (std::vector<int>{1}));
  ASSERT_TRUE(history.Redo(model));
  EXPECT_EQ(model.values, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace scrivet
