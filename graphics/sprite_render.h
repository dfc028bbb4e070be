#pragma once
// One sprite frame drawn on its own into bitmaps of its colour, depth and opacity planes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "graphics/graphics_error.h"

namespace scrivet {

class IffFile;

// A bitmap handed out by the frame renderers: rows bottom-up, padded to 4 bytes.
struct RenderedBitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  size_t stride = 0;
  std::vector<uint8_t> bits;
};

// Both renderers refuse a frame whose size does not fit its stream (FrameTooLarge) before
// allocating anything; any other failure is CannotDraw.

// Draws SPR2 frame `index` at `depth` bits (16 when 15 is asked) on `background` (0x00RRGGBB),
// blending on, and hands out its colour, depth and alpha (opacity) bitmaps.
bool RenderFrame(IffFile& file, const ResourceSpr2& sprite, int index, uint32_t background, int depth,
                 RenderedBitmap& color, RenderedBitmap& depthMap, RenderedBitmap& alpha,
                 GraphicsFailure* failure = nullptr);

// Draws SPR# frame `index` at `depth` bits on `background` and hands out its colour bitmap and
// its coverage (255 where the frame draws, 0 elsewhere).
bool RenderSprFrame(IffFile& file, const ResourceSpr& sprite, int index, uint32_t background, int depth,
                    RenderedBitmap& color, RenderedBitmap& coverage, GraphicsFailure* failure = nullptr);

}  // namespace scrivet
