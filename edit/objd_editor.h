#pragma once
// The object definition editor without a window: the working block, the selected catalogue
// row, the three synchronised number boxes (binary, decimal, hexadecimal), finding a field,
// a fresh GUID, and undo. ObjdEditorDialog shows this state and forwards the user's actions.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_objd.h"
#include "edit/edit_history.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

// The three boxes' texts; all empty when no field is selected.
struct ObjdBoxes {
  std::string binary;
  std::string decimal;
  std::string hex;
  bool operator==(const ObjdBoxes&) const = default;
};

class ObjdEditor {
 public:
  static constexpr uint16_t kGuidOffset = 28;

  // `otherGuids`: the GUIDs of the file's other object definitions, which New GUID avoids.
  explicit ObjdEditor(const ResourceObjd& objd, std::vector<uint32_t> otherGuids = {});

  const ResourceObjd& Objd() const { return state_.objd; }
  static std::span<const ObjdField> Rows() { return ObjdFieldCatalogue(); }
  // A row's value in its display mode ("" for a heading or a row past the list).
  std::string ValueText(size_t row) const;

  // Row 1 ("Version") is selected at opening. Selecting is not an edit.
  size_t Selected() const { return state_.selected; }
  void Select(size_t row);
  // The selected row's catalogue entry; null for none or a heading (the boxes are then disabled).
  const ObjdField* SelectedField() const;
  ObjdBoxes Boxes() const;

  // Text typed into one box. Never refused: binary takes "1" as a one bit and anything else as
  // zero, decimal and hexadecimal the number the text starts with (0 for none). The low bytes of
  // the value go to the field (a 1-byte field changes only its byte); the answer is the three
  // boxes' texts for the value, of which the dialog refreshes the two other boxes.
  ObjdBoxes Type(NumberBase base, std::string_view text);

  // The first field row (headings aside) at or after `from`, wrapping round, whose label contains
  // `text`, letters of either case matching; kNoRow when none does or `text` is empty.
  size_t FindField(std::string_view text, size_t from = 0) const;

  bool IsGuidSelected() const;
  // Writes a GUID drawn from `random` that is neither 0, the current one, nor another object
  // definition's, into the GUID field, and selects its row.
  void NewGuid(const std::function<uint32_t()>& random);

  // Every box edit (a run of typing in one box is one step) and New GUID. Undo brings back the
  // block and the row that was selected.
  bool Undo() { return history_.Undo(state_); }
  bool Redo() { return history_.Redo(state_); }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  bool IsClean() const { return history_.IsClean(); }

 private:
  struct State {
    ResourceObjd objd;
    size_t selected = 1;
  };

  State state_;
  EditHistory<State> history_;
  std::vector<uint32_t> otherGuids_;
};

}  // namespace scrivet
