#pragma once
// One SPR2 frame drawn on its own into bitmaps of its colour, depth and opacity planes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/resource_spr2.h"

namespace scrivet {

class IffFile;

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

// Draws frame `index` at `depth` bits (16 when 15 is asked) on `background` (0x00RRGGBB),
// blending on, and hands out its colour, depth and alpha (opacity) bitmaps.
bool RenderFrame(IffFile& file, const ResourceSpr2& sprite, int index, uint32_t background, int depth,
                 RenderedBitmap& color, RenderedBitmap& depthMap, RenderedBitmap& alpha);

}  // namespace scrivet
