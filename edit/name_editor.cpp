#include "edit/name_editor.h"

namespace scrivet {

EditError NameEditor::SetName(std::string_view name) {
  if (EditError error = CheckText(name); error != EditError::None) return error;
  Change(
      "Name",
      [&](std::string& now) {
        if (now == name) return false;
        now.assign(name);
        return true;
      },
      "name");
  return EditError::None;
}

}  // namespace scrivet
