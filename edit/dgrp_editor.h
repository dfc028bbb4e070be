#pragma once
// The draw group editors without a window. DgrpEditor picks one image of the draw group to show
// and takes back what the properties editor made of it; DgrpPropertiesEditor edits the sprite
// list of one image: the selected sprite's fields (applied at once with Auto update, else on
// Update), Add, Delete, Up, Dn, and the once-only drawing-failure notice. Both keep their own
// undo history back to the state they opened with.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codecs/resource_dgrp.h"
#include "edit/editor_state.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

class IffFile;

// What an image's label says; the dialogs put it into words.
struct DgrpImageHeading {
  // 0-7 for a single direction bit (North-East, North, North-West, West, South-West, South,
  // South-East, East); none for any other value, which is shown as its low eight bits.
  std::optional<int> direction;
  std::string flagDigits;  // bits 7 down to 0 of the direction flags, "00000101"
  uint32_t zoom = 0;
};
DgrpImageHeading HeadingOf(const DgrpImage& image);

struct DgrpEditorState {
  ResourceDgrp group;
  size_t image = kNoRow;
};

class DgrpEditor : public EditorState<DgrpEditorState> {
 public:
  // Opens on a copy with the first image selected.
  explicit DgrpEditor(const ResourceDgrp& group);

  const ResourceDgrp& Group() const { return Now().group; }
  size_t ImageCount() const { return Group().images.size(); }
  size_t SelectedImage() const { return Now().image; }
  bool HasImage() const { return SelectedImage() < ImageCount(); }
  void SelectImage(size_t index);
  // The image shown; an empty one when none is selected.
  const DgrpImage& ShownImage() const;

  // The properties editor's OK: its draw group becomes this one, as one step.
  void TakeProperties(const ResourceDgrp& edited);
};

// The property fields of the selected sprite, as their boxes hold them.
struct DgrpSpriteFields {
  std::string spriteId;
  std::string spriteIndex;
  std::string pixelX;
  std::string pixelY;
  std::string xOffset;
  std::string yOffset;
  std::string zOffset;
  bool flip = false;
  bool luminous = false;

  bool operator==(const DgrpSpriteFields&) const = default;
};

// Which box refused its text and why; None when the fields were taken.
struct DgrpFieldRefusal {
  enum class Field { None, SpriteIndex, PixelX, PixelY, XOffset, YOffset, ZOffset };
  Field field = Field::None;
  NumberParse parse;  // the refusal (a real-number box has no range)
  bool ok() const { return field == Field::None; }
};

// One line of the sprite list: the sprite's number, and the name of its SPR2 when the file has it.
struct DgrpSpriteEntry {
  size_t index = 0;
  bool found = false;
  std::string name;
};

struct DgrpPropertiesState {
  ResourceDgrp group;
  size_t sprite = kNoRow;
};

class DgrpPropertiesEditor : public EditorState<DgrpPropertiesState> {
 public:
  static constexpr NumberField kSpriteIndexField = NumberField::Unsigned(4);
  static constexpr NumberField kPixelField = NumberField::Signed(4);

  // Edits image `image` of a copy of `group`; the first sprite is selected. An image index past
  // the end edits nothing: every command then does nothing.
  DgrpPropertiesEditor(IffFile& file, const ResourceDgrp& group, size_t image);

  const ResourceDgrp& Group() const { return Now().group; }
  size_t ImageIndex() const { return image_; }
  // The image edited; an empty one when the index names none.
  const DgrpImage& Image() const;
  size_t SpriteCount() const { return Image().sprites.size(); }
  size_t SelectedSprite() const { return Now().sprite; }
  bool HasSprite() const { return SelectedSprite() < SpriteCount(); }
  void SelectSprite(size_t index);

  std::vector<DgrpSpriteEntry> Entries() const;
  // The ids of every SPR2 of the file, in file order: the Sprite ID box's list.
  const std::vector<uint16_t>& SpriteIds() const { return spriteIds_; }
  // The fields of sprite `index` (blank fields for none).
  static DgrpSpriteFields FieldsOf(const DgrpSprite& sprite);
  DgrpSpriteFields SelectedFields() const;

  // Update (and OK): the fields become the selected sprite. The Sprite ID is taken when it is an
  // unsigned number and kept otherwise; every other box must hold its number, or nothing changes
  // and the first refusing box is named. Flags keep only Flip (bit 0) and Luminous (bit 2).
  // Edits with the same non-empty merge key in a row become one undo step.
  DgrpFieldRefusal Apply(const DgrpSpriteFields& fields, std::string mergeKey = {});
  // A field changed in the dialog: applied at once with Auto update on, else nothing happens.
  DgrpFieldRefusal FieldEdited(const DgrpSpriteFields& fields, std::string mergeKey = {});
  bool AutoUpdate() const { return autoUpdate_; }
  // Switching it on applies the fields once.
  DgrpFieldRefusal SetAutoUpdate(bool on, const DgrpSpriteFields& fields);

  // The list commands answer whether they changed the list: without an image (Add) or a selected
  // sprite, and at the respective end for Up and Dn, they do nothing.
  // Appends a sprite with every field 0 and selects it.
  bool Add();
  // Removes the selected sprite; nothing is selected afterwards. The dialog asks first.
  bool Delete();
  // Move the selected sprite one place within the drawing order; the selection follows it.
  bool Up();
  bool Down();

  // True the first time the preview reports a drawing failure, false ever after.
  bool TakeDrawFailureNotice();

 private:
  bool Move(bool up);

  IffFile& file_;
  size_t image_;
  std::vector<uint16_t> spriteIds_;
  bool autoUpdate_ = true;
  bool failureShown_ = false;
};

}  // namespace scrivet
