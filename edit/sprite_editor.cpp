#include "edit/sprite_editor.h"

#include <tuple>

#include "codecs/resource_palt.h"
#include "graphics/sprite_render.h"

namespace scrivet {

namespace {

// Black and white around the maps, as the views show them.
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// A rendered bitmap (rows bottom-up, 24-bit blue-green-red or 8-bit grey) as the view's pixels.
void ToPicture(const RenderedBitmap& bitmap, FramePicture& out) {
  out.width = bitmap.width;
  out.height = bitmap.height;
  out.pixels.assign(size_t(bitmap.width) * size_t(bitmap.height), 0);
  for (int y = 0; y < bitmap.height; ++y) {
    const uint8_t* row = bitmap.bits.data() + size_t(bitmap.height - 1 - y) * bitmap.stride;
    uint32_t* to = out.pixels.data() + size_t(y) * bitmap.width;
    for (int x = 0; x < bitmap.width; ++x) {
      const uint8_t* p = row + size_t(x) * (bitmap.bitsPerPixel / 8);
      to[x] = 0xFF000000u | (bitmap.bitsPerPixel == 8 ? p[0] * 0x010101u : uint32_t(p[2]) << 16 | p[1] << 8 | p[0]);
    }
  }
}

// Every box checked before any is applied: the values in field order, or the first refusal.
template <class Parse>
FieldVerdict CheckAll(const std::vector<std::string>& fields, size_t count, std::vector<int64_t>& values,
                      Parse&& parse) {
  FieldVerdict verdict;
  values.assign(count, 0);
  for (size_t i = 0; i < count; ++i) {
    NumberParse p = parse(i, i < fields.size() ? std::string_view(fields[i]) : std::string_view());
    if (!p.ok()) {
      verdict.field = static_cast<int>(i);
      verdict.parse = std::move(p);
      return verdict;
    }
    values[i] = p.value;
  }
  return verdict;
}

}  // namespace

// SPR#

std::vector<std::string> SprEditor::Fields() const {
  const ResourceSpr& s = Working();
  std::vector<std::string> f(kFieldCount);
  f[kVersion] = FormatDecimal(s.version);
  f[kPalette] = FormatDecimal(s.paletteId);
  if (HasSelection()) {
    const SprFrame& frame = s.frames[Selected()];
    f[kX] = FormatDecimal(frame.x);
    f[kY] = FormatDecimal(frame.y);
    f[kFramePalette] = FormatDecimal(frame.palette);
  }
  return f;
}

FieldVerdict SprEditor::Apply(const std::vector<std::string>& fields, std::string mergeKey) {
  const size_t count = HasSelection() ? kFieldCount : kX;
  std::vector<int64_t> v;
  FieldVerdict verdict = CheckAll(fields, count, v, [](size_t i, std::string_view text) {
    return ParseNumber(text, i == kVersion ? kVersionField : i == kPalette ? kPaletteField : kFrameField);
  });
  if (!verdict.ok()) return verdict;
  AllowMessages();
  Change(
      "Update",
      [&](State& s) {
        const uint32_t version = static_cast<uint32_t>(v[kVersion]);
        const uint32_t paletteId = version < 502 ? 0 : static_cast<uint32_t>(v[kPalette]);
        bool changed = s.sprite.version != version || s.sprite.paletteId != paletteId;
        s.sprite.version = version;
        s.sprite.paletteId = paletteId;
        if (count == kFieldCount) {
          SprFrame& frame = s.sprite.frames[s.selected];
          const auto was = std::tuple(frame.x, frame.y, frame.palette);
          frame.x = static_cast<uint16_t>(v[kX]);
          frame.y = static_cast<uint16_t>(v[kY]);
          frame.palette = static_cast<uint16_t>(v[kFramePalette]);
          changed = changed || std::tuple(frame.x, frame.y, frame.palette) != was;
        }
        return changed;
      },
      std::move(mergeKey));
  return verdict;
}

FrameShow SprEditor::Render(IffFile& file, uint32_t background, FramePicture& picture,
                            uint32_t& viewBackground) const {
  const bool map = view_ == View::Transparency;
  viewBackground = map ? kBlack : background;
  picture = {};
  if (!HasSelection()) return FrameShow::Nothing;
  const SprFrame& frame = Working().frames[Selected()];
  if (frame.width == 0 || frame.height == 0) return FrameShow::Nothing;
  RenderedBitmap colour, coverage;
  if (!RenderSprFrame(file, Working(), static_cast<int>(Selected()), background, 24, colour, coverage))
    return FrameShow::CantDisplay;
  ToPicture(map ? coverage : colour, picture);
  return FrameShow::Picture;
}

SpriteImport SprEditor::Import(IffFile& file, Stream* pixelFile, Stream* maskFile) {
  SpriteImport result;
  result.result = SpriteImportResult::NotAttempted;
  Change("Import", [&](State& s) {
    const int index = s.selected < s.sprite.frames.size() ? static_cast<int>(s.selected) : -1;
    result = ImportFrame(s.sprite, index, file, pixelFile, maskFile);
    if (result.result != SpriteImportResult::Imported) return false;
    if (index < 0) s.selected = s.sprite.frames.size() - 1;
    return true;
  });
  return result;
}

bool SprEditor::Export(IffFile& file, Stream& pixelFile, Stream& maskFile) const {
  return HasSelection() && ExportFrame(Working(), static_cast<int>(Selected()), file, pixelFile, maskFile);
}

// SPR2

std::vector<std::string> Spr2Editor::Fields() const {
  const ResourceSpr2& s = Working();
  std::vector<std::string> f(kFieldCount);
  f[kVersion] = FormatDecimal(s.version);
  f[kPalette] = FormatDecimal(s.paletteId);
  if (HasSelection()) {
    const Spr2Frame& frame = s.frames[Selected()];
    f[kFlags] = FormatDecimal(frame.flags);
    f[kFramePalette] = FormatDecimal(frame.palette);
    f[kTransparentColor] = FormatDecimal(frame.transparentColor);
    f[kOriginX] = FormatDecimal(frame.originX);
    f[kOriginY] = FormatDecimal(frame.originY);
  }
  return f;
}

FieldVerdict Spr2Editor::Apply(const std::vector<std::string>& fields, std::string mergeKey) {
  const size_t count = HasSelection() ? kFieldCount : kFlags;
  std::vector<int64_t> v;
  FieldVerdict verdict = CheckAll(fields, count, v, [](size_t i, std::string_view text) {
    if (i == kOriginX || i == kOriginY) return ParseTruncated(text, kFrameField);
    return ParseNumber(text, i <= kFlags ? kWordField : kFrameField);
  });
  if (!verdict.ok()) return verdict;
  AllowMessages();
  Change(
      "Update",
      [&](State& s) {
        const uint32_t version = static_cast<uint32_t>(v[kVersion]);
        const uint32_t paletteId = static_cast<uint32_t>(v[kPalette]);
        bool changed = s.sprite.version != version || s.sprite.paletteId != paletteId;
        s.sprite.version = version;
        s.sprite.paletteId = paletteId;
        if (count == kFieldCount) {
          Spr2Frame& frame = s.sprite.frames[s.selected];
          const auto fields = [](const Spr2Frame& f) {
            return std::tuple(f.flags, f.palette, f.transparentColor, f.originX, f.originY);
          };
          const auto was = fields(frame);
          frame.flags = static_cast<uint32_t>(v[kFlags]);
          frame.palette = static_cast<uint16_t>(v[kFramePalette]);
          frame.transparentColor = static_cast<uint16_t>(v[kTransparentColor]);
          frame.originX = static_cast<uint16_t>(v[kOriginX]);
          frame.originY = static_cast<uint16_t>(v[kOriginY]);
          changed = changed || fields(frame) != was;
        }
        return changed;
      },
      std::move(mergeKey));
  return verdict;
}

FrameShow Spr2Editor::Render(IffFile& file, uint32_t background, FramePicture& picture,
                             uint32_t& viewBackground) const {
  viewBackground = view_ == View::Depth ? kWhite : view_ == View::Alpha ? kBlack : background;
  picture = {};
  if (!HasSelection()) return FrameShow::Nothing;
  const Spr2Frame& frame = Working().frames[Selected()];
  if (frame.width == 0 || frame.height == 0) return FrameShow::Nothing;
  // Transparent pixels show the frame's transparent colour.
  ResourcePalt palette;
  uint32_t behind = background;
  if (LoadSpr2Palette(file, Working(), frame, palette) && frame.transparentColor < 256) {
    const uint8_t* rgb = &palette.colors[frame.transparentColor * 3];
    behind = uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
  }
  RenderedBitmap colour, depth, alpha;
  if (!RenderFrame(file, Working(), static_cast<int>(Selected()), behind, 24, colour, depth, alpha))
    return FrameShow::CantDisplay;
  ToPicture(view_ == View::Depth ? depth : view_ == View::Alpha ? alpha : colour, picture);
  return FrameShow::Picture;
}

Spr2Exchange Spr2Editor::Import(IffFile& file, const RgbaPicture& picture) {
  Spr2Exchange result;
  Change("Import", [&](State& s) {
    const int index = s.selected < s.sprite.frames.size() ? static_cast<int>(s.selected) : -1;
    result = ImportSpr2Frame(file, s.sprite, index, picture);
    if (!result.ok()) return false;
    s.selected = result.frame;
    return true;
  });
  return result;
}

Spr2Exchange Spr2Editor::Export(IffFile& file, RgbaPicture& picture) const {
  Spr2Exchange result;
  if (!HasSelection()) {
    result.error = Spr2ExchangeError::NoSuchFrame;
    return result;
  }
  return ExportSpr2Frame(file, Working(), static_cast<int>(Selected()), picture);
}

}  // namespace scrivet
