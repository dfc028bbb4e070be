#pragma once
// Undo and redo inside an editor, back to the state it opened with.
//
// UndoStack keeps the steps and the bookkeeping every editor shares: redo is dropped by a new
// change, consecutive changes with the same merge key (typing in one box) become one step, and
// "clean" says whether the model is at the state it opened with (or was last marked clean).
// A step is anything the owner knows how to apply; applying a step must turn it into its own
// inverse, so that the same step serves undo and then redo.
//
// EditHistory<Model> is that stack with whole snapshots as steps: editor models are small, and
// a copy can never get out of step with the code that changes the model. Undo exchanges the
// model with the snapshot, which then holds the state to redo. Keep the selection in the model
// when undo should bring it back too. The hex editor's bytes are large, so it keeps only what
// each edit replaced (HexEditModel).

#include <concepts>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace scrivet {

template <class Step>
class UndoStack {
 public:
  // A new newest step; whatever could be redone is gone.
  void Push(Step step, std::string label, std::string mergeKey = {}) {
    // A clean state among the dropped redo steps can no longer be reached.
    if (cleanDepth_ > undo_.size()) cleanReachable_ = false;
    redo_.clear();
    undo_.push_back(Entry{std::move(step), std::move(label), std::move(mergeKey)});
    mergeOpen_ = true;
  }

  // The newest step when a change with `mergeKey` may be folded into it: the same non-empty key,
  // nothing undone, redone, marked clean or broken off since that step was pushed.
  Step* MergeTarget(std::string_view mergeKey) {
    if (mergeKey.empty() || !mergeOpen_ || undo_.empty() || undo_.back().key != mergeKey) return nullptr;
    if (IsClean()) return nullptr;  // folding in would change the clean state itself
    return &undo_.back().step;
  }
  // The next change starts a step of its own (a box lost the focus, the selection moved).
  void BreakMerge() { mergeOpen_ = false; }

  // `apply(Step&)` reverts the newest step and leaves the inverse in it.
  template <class Apply>
  bool Undo(Apply&& apply) {
    if (undo_.empty()) return false;
    Entry entry = std::move(undo_.back());
    undo_.pop_back();
    apply(entry.step);
    redo_.push_back(std::move(entry));
    mergeOpen_ = false;
    return true;
  }
  template <class Apply>
  bool Redo(Apply&& apply) {
    if (redo_.empty()) return false;
    Entry entry = std::move(redo_.back());
    redo_.pop_back();
    apply(entry.step);
    undo_.push_back(std::move(entry));
    mergeOpen_ = false;
    return true;
  }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  // Names of the steps Undo and Redo would take back ("" when there is none).
  std::string_view UndoLabel() const { return undo_.empty() ? std::string_view() : undo_.back().label; }
  std::string_view RedoLabel() const { return redo_.empty() ? std::string_view() : redo_.back().label; }

  // At the state the editor opened with, or was last marked clean at.
  bool IsClean() const { return cleanReachable_ && cleanDepth_ == undo_.size(); }
  void MarkClean() {
    cleanDepth_ = undo_.size();
    cleanReachable_ = true;
    mergeOpen_ = false;
  }
  // Forgets every step; the current state becomes the clean one.
  void Clear() {
    undo_.clear();
    redo_.clear();
    MarkClean();
  }

 private:
  struct Entry {
    Step step;
    std::string label;
    std::string key;
  };

  std::vector<Entry> undo_;
  std::vector<Entry> redo_;
  size_t cleanDepth_ = 0;
  bool cleanReachable_ = true;
  bool mergeOpen_ = false;
};

// Resource classes cannot be copied by value; they copy themselves with CopyFrom.
template <class Model>
concept CopiedThroughCopyFrom = !std::is_copy_constructible_v<Model> && std::is_default_constructible_v<Model> &&
                                requires(Model& to, const Model& from) { to.CopyFrom(from); };

template <class Model>
class EditHistory {
  static_assert(std::is_copy_constructible_v<Model> || CopiedThroughCopyFrom<Model>,
                "a snapshot needs a copy constructor or CopyFrom");

 public:
  // Call just before changing the model: `before` becomes the state Undo returns to. With the
  // merge key of the newest step, the change joins that step and nothing is copied.
  void Record(const Model& before, std::string label, std::string mergeKey = {}) {
    if (stack_.MergeTarget(mergeKey)) return;
    stack_.Push(Copy(before), std::move(label), std::move(mergeKey));
  }

  // Runs `change(model)`, which answers whether it changed anything, and records the state
  // before it as one step. A change that answers false must leave the model as it was; it leaves
  // no step. Returns the change's answer.
  template <class Change>
  bool Apply(Model& model, std::string label, Change&& change, std::string mergeKey = {}) {
    if (stack_.MergeTarget(mergeKey)) return change(model);
    Snapshot before = Copy(model);
    if (!change(model)) return false;
    stack_.Push(std::move(before), std::move(label), std::move(mergeKey));
    return true;
  }

  bool Undo(Model& model) {
    return stack_.Undo([&](Snapshot& state) { Exchange(model, state); });
  }
  bool Redo(Model& model) {
    return stack_.Redo([&](Snapshot& state) { Exchange(model, state); });
  }

  bool CanUndo() const { return stack_.CanUndo(); }
  bool CanRedo() const { return stack_.CanRedo(); }
  std::string_view UndoLabel() const { return stack_.UndoLabel(); }
  std::string_view RedoLabel() const { return stack_.RedoLabel(); }
  bool IsClean() const { return stack_.IsClean(); }
  void MarkClean() { stack_.MarkClean(); }
  void BreakMerge() { stack_.BreakMerge(); }
  void Clear() { stack_.Clear(); }

 private:
  static constexpr bool kByValue = std::is_copy_constructible_v<Model>;
  using Snapshot = std::conditional_t<kByValue, Model, std::unique_ptr<Model>>;

  static Snapshot Copy(const Model& model) {
    if constexpr (kByValue) {
      return model;
    } else {
      auto copy = std::make_unique<Model>();
      copy->CopyFrom(model);
      return copy;
    }
  }
  static void Exchange(Model& model, Snapshot& state) {
    if constexpr (kByValue) {
      using std::swap;
      swap(model, state);
    } else {
      Snapshot current = Copy(model);
      model.CopyFrom(*state);
      state = std::move(current);
    }
  }

  UndoStack<Snapshot> stack_;
};

}  // namespace scrivet
