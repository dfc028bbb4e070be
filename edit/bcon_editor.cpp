#include "edit/bcon_editor.h"

#include "codecs/resource_trcn.h"
#include "core/iff_file.h"

namespace scrivet {

namespace {

const std::string kNoLabel;

}  // namespace

BconEditor::BconEditor(const ResourceBcon& constants, std::vector<std::string> labels)
    : EditorState(BconEditorState{constants, constants.values.empty() ? kNoRow : 0}), labels_(std::move(labels)) {}

void BconEditor::Select(size_t row) { Quietly().selected = row < Count() ? row : kNoRow; }

const std::string& BconEditor::Label(size_t index) const {
  return index < labels_.size() ? labels_[index] : kNoLabel;
}

NumberParse BconEditor::SetValue(std::string_view text) {
  NumberParse parse = ParseNumber(text, kValueField);
  if (!HasSelection()) parse.error = EditError::NoRowSelected;
  if (!parse.ok()) return parse;
  const int16_t value = static_cast<int16_t>(parse.value);
  Change(
      "Value",
      [&](BconEditorState& s) {
        if (s.constants.values[s.selected] == value) return false;
        return s.constants.SetValue(s.selected, value);
      },
      "value" + std::to_string(Selected()));
  return parse;
}

void BconEditor::SetEditable(bool editable) {
  Change("Editable constants", [&](BconEditorState& s) { return Store(s.constants.editable, editable); });
}

EditError BconEditor::Add() {
  if (Count() >= ResourceBcon::kMaxValues) return EditError::ListFull;
  Change("Add constant", [](BconEditorState& s) {
    s.selected = s.constants.values.size();
    return s.constants.SetValue(s.selected, 0);
  });
  return EditError::None;
}

EditError BconEditor::Delete() {
  if (!HasSelection()) return EditError::NoRowSelected;
  Change("Delete constant", [](BconEditorState& s) {
    const std::optional<IndexMap> map = RemoveRow(s.constants.values, s.selected);
    s.selected = SelectionAfter(*map, s.selected, AfterRemoval::NextOrLast);
    return true;
  });
  return EditError::None;
}

std::vector<std::string> ConstantLabels(IffFile& file, uint16_t id) {
  std::vector<std::string> labels;
  IffChunk* chunk = file.Find(ResourceTrcn::kType, id);
  ResourceTrcn table;
  if (!chunk || !table.Load(file, *chunk)) return labels;
  for (const ConstantLabel& entry : table.entries) labels.push_back(entry.label);
  return labels;
}

}  // namespace scrivet
