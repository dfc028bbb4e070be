#include "edit/objd_editor.h"

#include <algorithm>

namespace scrivet {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool Contains(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

// The boxes for value bits V of a field: hexadecimal with at least 8 digits for 4-byte fields and
// 4 otherwise (a negative word widened with sign shows 8), decimal of V as a signed 32-bit
// number, binary of the field's own bits.
ObjdBoxes BoxesFor(uint32_t bits, size_t size) {
  return ObjdBoxes{FormatBinary(bits, int(8 * size)), FormatDecimal(static_cast<int32_t>(bits)),
                   FormatHex(bits, size == 4 ? 8 : 4)};
}

}  // namespace

ObjdEditor::ObjdEditor(const ResourceObjd& objd, std::vector<uint32_t> otherGuids)
    : otherGuids_(std::move(otherGuids)) {
  state_.objd = objd;
}

std::string ObjdEditor::ValueText(size_t row) const {
  return row < Rows().size() ? state_.objd.FormatField(Rows()[row]) : std::string();
}

void ObjdEditor::Select(size_t row) {
  if (row >= Rows().size()) row = kNoRow;
  if (row != state_.selected) history_.BreakMerge();
  state_.selected = row;
}

const ObjdField* ObjdEditor::SelectedField() const {
  if (state_.selected >= Rows().size()) return nullptr;
  const ObjdField& field = Rows()[state_.selected];
  return field.IsHeading() ? nullptr : &field;
}

ObjdBoxes ObjdEditor::Boxes() const {
  const ObjdField* field = SelectedField();
  if (!field) return {};
  return BoxesFor(static_cast<uint32_t>(state_.objd.FieldValue(*field)), field->size);
}

ObjdBoxes ObjdEditor::Type(NumberBase base, std::string_view text) {
  const ObjdField* field = SelectedField();
  if (!field) return {};
  const uint32_t value = ScanNumber(text, base);
  const std::string key = "box " + std::to_string(field->offset) + ' ' + std::to_string(int(base));
  history_.Apply(
      state_, field->label,
      [&](State& s) {
        uint32_t old = 0;
        s.objd.ReadField(field->offset, field->size, old);
        s.objd.WriteField(field->offset, field->size, value);
        return old != (value & (field->size == 4 ? 0xFFFFFFFFu : (1u << (8 * field->size)) - 1));
      },
      key);
  return BoxesFor(value, field->size);
}

size_t ObjdEditor::FindField(std::string_view text, size_t from) const {
  const size_t n = Rows().size();
  if (text.empty() || n == 0) return kNoRow;
  if (from >= n) from = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t row = (from + i) % n;
    if (!Rows()[row].IsHeading() && Contains(Rows()[row].label, text)) return row;
  }
  return kNoRow;
}

bool ObjdEditor::IsGuidSelected() const {
  const ObjdField* field = SelectedField();
  return field && field->offset == kGuidOffset && field->size == 4;
}

void ObjdEditor::NewGuid(const std::function<uint32_t()>& random) {
  uint32_t current = 0;
  state_.objd.ReadField(kGuidOffset, 4, current);
  std::vector<uint32_t> taken = otherGuids_;
  taken.push_back(current);
  taken.push_back(0);
  std::sort(taken.begin(), taken.end());
  // From a random start, the next free value: ends after at most as many steps as GUIDs are taken.
  uint32_t guid = random();
  while (std::binary_search(taken.begin(), taken.end(), guid)) ++guid;
  size_t guidRow = kNoRow;
  for (size_t row = 0; row < Rows().size(); ++row)
    if (Rows()[row].offset == kGuidOffset && Rows()[row].size == 4) guidRow = row;
  history_.Apply(state_, "New GUID", [&](State& s) {
    s.objd.WriteField(kGuidOffset, 4, guid);
    s.selected = guidRow;
    return true;
  });
}

}  // namespace scrivet
