#pragma once
// The part the editors share (career, constants, function table, sound and semi-global name,
// draw groups): the working state, selection included, with snapshot undo back to the state they
// opened with. Each editor changes its state only through Change, so every edit is a step.

#include <string>
#include <string_view>
#include <utility>

#include "edit/edit_error.h"
#include "edit/edit_history.h"

namespace scrivet {

template <class State>
class EditorState {
 public:
  explicit EditorState(State initial) : state_(std::move(initial)) {}

  bool Undo() { return history_.Undo(state_); }
  bool Redo() { return history_.Redo(state_); }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  // At the state the editor opened with.
  bool IsClean() const { return history_.IsClean(); }
  // The next edit starts a step of its own even in the box the last one came from.
  void BreakMerge() { history_.BreakMerge(); }

 protected:
  const State& Now() const { return state_; }
  // A change that leaves no trace in the history (the selection moving).
  State& Quietly() {
    history_.BreakMerge();
    return state_;
  }
  // `change(State&)` answers whether it changed anything; edits with the same merge key in a row
  // (typing in one box) become one step.
  template <class Fn>
  bool Change(const char* label, Fn&& change, std::string mergeKey = {}) {
    return history_.Apply(state_, label, std::forward<Fn>(change), std::move(mergeKey));
  }

  // For a change that sets one field: false when it already holds the value.
  template <class Field, class Value>
  static bool Store(Field& field, const Value& value) {
    if (field == value) return false;
    field = value;
    return true;
  }

  // A resource text cannot hold a zero byte: the file would end the text there.
  static EditError CheckText(std::string_view text) {
    return text.find('\0') == std::string_view::npos ? EditError::None : EditError::ZeroInText;
  }

 private:
  State state_;
  EditHistory<State> history_;
};

}  // namespace scrivet
