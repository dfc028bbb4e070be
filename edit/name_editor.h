#pragma once
// The FWAV and GLOB editors without a window: one name (a sound's, or the semi-global file's),
// stored exactly as typed, with undo.

#include <string>
#include <string_view>

#include "edit/editor_state.h"

namespace scrivet {

class NameEditor : public EditorState<std::string> {
 public:
  explicit NameEditor(std::string name) : EditorState(std::move(name)) {}

  const std::string& Name() const { return Now(); }
  // Nothing is trimmed; only a zero byte is refused.
  EditError SetName(std::string_view name);
};

}  // namespace scrivet
