#include "edit/objf_editor.h"

namespace scrivet {

ObjfEditor::ObjfEditor(const ResourceObjf& table, RoutineNames names)
    : EditorState(ObjfEditorState{table, 0}), names_(std::move(names)) {}

void ObjfEditor::Select(size_t row) { Quietly().selected = row < ResourceObjf::kEntryCount ? row : kNoRow; }

NumberParse ObjfEditor::SetId(ObjfBox box, std::string_view text) {
  NumberParse parse = ParseNumber(text, kIdField);
  if (!HasSelection()) parse.error = EditError::NoRowSelected;
  if (!parse.ok()) return parse;
  const uint16_t id = static_cast<uint16_t>(parse.value);
  Change(
      "Routine id",
      [&](ObjfEditorState& s) {
        FunctionEntry& entry = s.table.entries[s.selected];
        return Store(box == ObjfBox::Action ? entry.actionFunction : entry.checkFunction, id);
      },
      (box == ObjfBox::Action ? "action" : "check") + std::to_string(Selected()));
  return parse;
}

RoutineRef ObjfEditor::Routine(uint16_t id) const {
  if (id == 0) return {};
  if (auto own = names_.inFile.find(id); own != names_.inFile.end()) return {RoutineRef::Kind::InFile, own->second};
  if (auto other = names_.elsewhere.find(id); other != names_.elsewhere.end())
    return {RoutineRef::Kind::Elsewhere, other->second};
  return {RoutineRef::Kind::Missing, {}};
}

}  // namespace scrivet
