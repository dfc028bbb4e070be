#pragma once
// SPR2: sprites whose pixels carry a palette index and optionally a depth and an alpha byte.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile;

struct Spr2Frame {
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t flags = 0;
  // PALT tried first when drawing; the sprite's paletteId is the fallback.
  uint16_t palette = 0;
  uint16_t transparentColor = 0;
  uint16_t originY = 0;
  uint16_t originX = 0;
  std::vector<uint8_t> pixelStream;
};

// A bitmap handed out by RenderFrame: rows bottom-up, padded to 4 bytes.
struct RenderedBitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  size_t stride = 0;
  std::vector<uint8_t> bits;
  // Grey table (entry i = i, i, i) for the 8-bit planes; empty for the colour bitmap.
  std::vector<uint8_t> greyTable;
};

class ResourceSpr2 : public IffResource {
 public:
  static constexpr TypeCode kType = MakeTypeCode("SPR2");

  void CopyFrom(const IffResource& other) override;
  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  size_t GetFrameCount() const { return frames.size(); }
  bool GetFrame(int index, Spr2Frame& out) const;
  // Takes flags, palette, transparentColor and the origin; size and stream stay.
  bool SetFrame(int index, const Spr2Frame& record);
  uint16_t GetPaletteId() const { return static_cast<uint16_t>(paletteId); }

  // Draws frame `index` at `depth` bits (16 when 15 is asked) on `background` (0x00RRGGBB),
  // blending on, and hands out its colour, depth and alpha (opacity) bitmaps.
  bool RenderFrame(IffFile& file, int index, uint32_t background, int depth, RenderedBitmap& color,
                   RenderedBitmap& depthMap, RenderedBitmap& alpha) const;

  uint32_t version = 1000;
  uint32_t frameCount = 0;
  uint32_t paletteId = 0;
  std::vector<Spr2Frame> frames;
};

}  // namespace scrivet
