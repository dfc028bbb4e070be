#pragma once
// The constants editor without a window: the working list of constants, the selected row, the
// value box, the editable flag, Add and Delete with undo, and the labels the game keeps for the
// constants in the file's TRCN resource.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_bcon.h"
#include "edit/editor_state.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

class IffFile;

struct BconEditorState {
  ResourceBcon constants;
  size_t selected = kNoRow;
};

class BconEditor : public EditorState<BconEditorState> {
 public:
  static constexpr NumberField kValueField = NumberField::Signed(2);

  // Opens on a copy with the first row selected. `labels[i]` names constant i.
  explicit BconEditor(const ResourceBcon& constants, std::vector<std::string> labels = {});

  const ResourceBcon& Constants() const { return Now().constants; }
  size_t Count() const { return Constants().values.size(); }
  // kNoRow when no row is selected: the value box is then disabled.
  size_t Selected() const { return Now().selected; }
  bool HasSelection() const { return Selected() < Count(); }
  void Select(size_t row);

  // The label of constant `index`, "" when the file has none for it.
  const std::string& Label(size_t index) const;
  bool HasLabels() const { return !labels_.empty(); }
  // The selected constant, 0 with none.
  int16_t SelectedValue() const { return HasSelection() ? Constants().values[Selected()] : int16_t{0}; }

  // The selected constant; range-checked, a refused text changes nothing.
  NumberParse SetValue(std::string_view text);
  void SetEditable(bool editable);
  // Appends the value 0 and selects it.
  EditError Add();
  // Removes the selected constant; the same row is selected again, or the new last one.
  EditError Delete();

 private:
  std::vector<std::string> labels_;
};

// The labels of the constants of BCON `id`: the entries of the file's TRCN with the same id.
// Empty when there is none or it does not decode (a label table is a help, never an error).
std::vector<std::string> ConstantLabels(IffFile& file, uint16_t id);

}  // namespace scrivet
