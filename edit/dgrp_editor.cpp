#include "edit/dgrp_editor.h"

#include <bit>
#include <type_traits>

#include "codecs/resource_spr2.h"
#include "core/iff_file.h"

namespace scrivet {

namespace {

const DgrpImage kNoImage;

// An untouched box keeps the stored bits (a NaN's payload, say).
NumberParse ParseOffset(std::string_view text, float old, float& value) {
  NumberParse parse = ParseReal(text, value);
  if (parse.detail == FormatReal(old)) {
    parse.error = EditError::None;
    value = old;
  }
  return parse;
}

uint32_t Bits(float value) { return std::bit_cast<uint32_t>(value); }

// Bitwise for the offsets: a NaN never equals itself.
bool SameSprite(const DgrpSprite& x, const DgrpSprite& y) {
  return x.spriteId == y.spriteId && x.spriteIndex == y.spriteIndex && x.pixelX == y.pixelX &&
         x.pixelY == y.pixelY && x.flags == y.flags && Bits(x.xOffset) == Bits(y.xOffset) &&
         Bits(x.yOffset) == Bits(y.yOffset) && Bits(x.zOffset) == Bits(y.zOffset);
}

bool SameImages(const std::vector<DgrpImage>& a, const std::vector<DgrpImage>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].directionFlags != b[i].directionFlags || a[i].zoom != b[i].zoom ||
        a[i].sprites.size() != b[i].sprites.size())
      return false;
    for (size_t k = 0; k < a[i].sprites.size(); ++k)
      if (!SameSprite(a[i].sprites[k], b[i].sprites[k])) return false;
  }
  return true;
}

}  // namespace

DgrpImageHeading HeadingOf(const DgrpImage& image) {
  DgrpImageHeading heading;
  heading.zoom = image.zoom;
  for (int bit = 0; bit < 8; ++bit)
    if (image.directionFlags == (1u << bit)) heading.direction = bit;
  for (int bit = 7; bit >= 0; --bit) heading.flagDigits += (image.directionFlags >> bit) & 1 ? '1' : '0';
  return heading;
}

// ---------------------------------------------------------------- image picker

DgrpEditor::DgrpEditor(const ResourceDgrp& group)
    : EditorState({group, group.images.empty() ? kNoRow : 0}) {}

void DgrpEditor::SelectImage(size_t index) { Quietly().image = index < ImageCount() ? index : kNoRow; }

const DgrpImage& DgrpEditor::ShownImage() const { return HasImage() ? Group().images[SelectedImage()] : kNoImage; }

void DgrpEditor::TakeProperties(const ResourceDgrp& edited) {
  Change("Properties", [&](DgrpEditorState& s) {
    if (s.group.version == edited.version && SameImages(s.group.images, edited.images)) return false;
    s.group.version = edited.version;
    s.group.images = edited.images;
    if (s.image >= s.group.images.size()) s.image = s.group.images.empty() ? kNoRow : 0;
    return true;
  });
}

// ---------------------------------------------------------------- properties

DgrpPropertiesEditor::DgrpPropertiesEditor(IffFile& file, const ResourceDgrp& group, size_t image)
    : EditorState({group, image < group.images.size() && !group.images[image].sprites.empty() ? 0 : kNoRow}),
      file_(file),
      image_(image) {
  for (size_t pos = file_.FirstOfType(ResourceSpr2::kType); pos != IffFile::npos; pos = file_.NextOfSameType(pos))
    spriteIds_.push_back(file_.ChunkAt(pos).id);
}

const DgrpImage& DgrpPropertiesEditor::Image() const {
  return image_ < Group().images.size() ? Group().images[image_] : kNoImage;
}

void DgrpPropertiesEditor::SelectSprite(size_t index) { Quietly().sprite = index < SpriteCount() ? index : kNoRow; }

std::vector<DgrpSpriteEntry> DgrpPropertiesEditor::Entries() const {
  std::vector<DgrpSpriteEntry> entries;
  const std::vector<DgrpSprite>& sprites = Image().sprites;
  entries.reserve(sprites.size());
  for (size_t k = 0; k < sprites.size(); ++k) {
    DgrpSpriteEntry entry{k, false, {}};
    if (sprites[k].spriteId <= 0xFFFF)
      if (const IffChunk* chunk = file_.Find(ResourceSpr2::kType, static_cast<uint16_t>(sprites[k].spriteId))) {
        entry.found = true;
        entry.name = chunk->name;
      }
    entries.push_back(std::move(entry));
  }
  return entries;
}

DgrpSpriteFields DgrpPropertiesEditor::FieldsOf(const DgrpSprite& sprite) {
  DgrpSpriteFields f;
  f.spriteId = std::to_string(sprite.spriteId);
  f.spriteIndex = std::to_string(sprite.spriteIndex);
  f.pixelX = std::to_string(sprite.pixelX);
  f.pixelY = std::to_string(sprite.pixelY);
  f.xOffset = FormatReal(sprite.xOffset);
  f.yOffset = FormatReal(sprite.yOffset);
  f.zOffset = FormatReal(sprite.zOffset);
  f.flip = (sprite.flags & DgrpSprite::kFlip) != 0;
  f.luminous = (sprite.flags & DgrpSprite::kLuminous) != 0;
  return f;
}

DgrpSpriteFields DgrpPropertiesEditor::SelectedFields() const {
  return HasSprite() ? FieldsOf(Image().sprites[SelectedSprite()]) : DgrpSpriteFields{};
}

DgrpFieldRefusal DgrpPropertiesEditor::Apply(const DgrpSpriteFields& fields, std::string mergeKey) {
  using Field = DgrpFieldRefusal::Field;
  DgrpFieldRefusal refusal;
  if (!HasSprite()) return refusal;
  const DgrpSprite& old = Image().sprites[SelectedSprite()];
  DgrpSprite next = old;
  if (NumberParse id = ParseNumber(fields.spriteId, NumberField::Unsigned(4)); id.ok())
    next.spriteId = static_cast<uint32_t>(id.value);

  auto whole = [&](Field field, const std::string& text, const NumberField& box, auto& target) {
    if (!refusal.ok()) return;
    NumberParse parse = ParseNumber(text, box);
    if (parse.ok())
      target = static_cast<std::remove_reference_t<decltype(target)>>(parse.value);
    else
      refusal = {field, std::move(parse)};
  };
  auto real = [&](Field field, const std::string& text, float& target) {
    if (!refusal.ok()) return;
    NumberParse parse = ParseOffset(text, target, target);
    if (!parse.ok()) refusal = {field, std::move(parse)};
  };
  whole(Field::SpriteIndex, fields.spriteIndex, kSpriteIndexField, next.spriteIndex);
  whole(Field::PixelX, fields.pixelX, kPixelField, next.pixelX);
  whole(Field::PixelY, fields.pixelY, kPixelField, next.pixelY);
  real(Field::XOffset, fields.xOffset, next.xOffset);
  real(Field::YOffset, fields.yOffset, next.yOffset);
  real(Field::ZOffset, fields.zOffset, next.zOffset);
  if (!refusal.ok()) return refusal;
  // Every other bit of the flags goes: the dialog edits these two only.
  next.flags = (fields.flip ? DgrpSprite::kFlip : 0) | (fields.luminous ? DgrpSprite::kLuminous : 0);

  if (SameSprite(next, old)) return refusal;
  const size_t image = image_;
  Change(
      "Sprite properties",
      [&](DgrpPropertiesState& s) {
        s.group.images[image].sprites[s.sprite] = next;
        return true;
      },
      mergeKey.empty() ? std::string() : mergeKey + "#" + std::to_string(SelectedSprite()));
  return refusal;
}

DgrpFieldRefusal DgrpPropertiesEditor::FieldEdited(const DgrpSpriteFields& fields, std::string mergeKey) {
  return autoUpdate_ ? Apply(fields, std::move(mergeKey)) : DgrpFieldRefusal{};
}

DgrpFieldRefusal DgrpPropertiesEditor::SetAutoUpdate(bool on, const DgrpSpriteFields& fields) {
  const bool switchedOn = on && !autoUpdate_;
  autoUpdate_ = on;
  return switchedOn ? Apply(fields) : DgrpFieldRefusal{};
}

bool DgrpPropertiesEditor::Add() {
  if (image_ >= Group().images.size()) return false;
  const size_t image = image_;
  return Change("Add sprite", [image](DgrpPropertiesState& s) {
    std::vector<DgrpSprite>& sprites = s.group.images[image].sprites;
    sprites.push_back(DgrpSprite{});
    s.sprite = sprites.size() - 1;
    return true;
  });
}

bool DgrpPropertiesEditor::Delete() {
  if (!HasSprite()) return false;
  const size_t image = image_;
  return Change("Delete sprite", [image](DgrpPropertiesState& s) {
    const std::optional<IndexMap> map = RemoveRow(s.group.images[image].sprites, s.sprite);
    s.sprite = SelectionAfter(*map, s.sprite, AfterRemoval::None);
    return true;
  });
}

bool DgrpPropertiesEditor::Up() { return Move(true); }
bool DgrpPropertiesEditor::Down() { return Move(false); }

bool DgrpPropertiesEditor::Move(bool up) {
  if (!HasSprite()) return false;
  const size_t image = image_;
  return Change(up ? "Move sprite up" : "Move sprite down", [image, up](DgrpPropertiesState& s) {
    std::vector<DgrpSprite>& sprites = s.group.images[image].sprites;
    const std::optional<IndexMap> map = up ? MoveRowUp(sprites, s.sprite) : MoveRowDown(sprites, s.sprite);
    if (!map) return false;
    s.sprite = (*map)[s.sprite];
    return true;
  });
}

bool DgrpPropertiesEditor::TakeDrawFailureNotice() {
  if (failureShown_) return false;
  failureShown_ = true;
  return true;
}

}  // namespace scrivet
