#include "edit/name_editor.h"

namespace scrivet {

EditError NameEditor::SetName(std::string_view name) {
  if (EditError error = CheckText(name); error != EditError::None) return error;
  Change(
      "Name",
      [&](std::string& now) { return Store(now, name); },
      "name");
  return EditError::None;
}

}  // namespace scrivet
