#pragma once
// Composing a draw group's image: its SPR2 frames stacked into one canvas, and the box they cover.

#include <cstdint>
#include <optional>

#include "codecs/resource_dgrp.h"
#include "graphics/graphics_error.h"

namespace scrivet {

class IffFile;
class SpriteCanvas;

struct DgrpRect {
  static constexpr int32_t kEmptyMin = 2147483647;
  static constexpr int32_t kEmptyMax = -2147483647 - 1;
  int32_t left = kEmptyMin;
  int32_t top = kEmptyMin;
  int32_t right = kEmptyMax;
  int32_t bottom = kEmptyMax;
  bool IsEmpty() const { return left > right || top > bottom; }
};

// Box of the image's frames; empty when the image has none. Also empty, with the reason in
// *failure, when a sprite cannot be found, a frame is too large to draw or an edge of the box
// does not fit 32 bits.
DgrpRect GetBounds(IffFile& file, const DgrpImage& image, GraphicsFailure* failure = nullptr);
// Composes the image into the canvas at its drawX/drawY (which it leaves as found). Everything is
// checked before the first frame is drawn: a missing sprite, a frame too large to draw, or a
// position outside the int range fails with nothing drawn.
bool DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas, GraphicsFailure* failure = nullptr);
bool DrawImageByIndex(const ResourceDgrp& group, IffFile& file, int index, SpriteCanvas& canvas,
                      GraphicsFailure* failure = nullptr);

// Composed pictures are cropped to their frames; real objects are a few hundred pixels across.
inline constexpr int64_t kMaxComposedPixels = int64_t(1) << 22;

// Composes the image at its own size: a new 32-bit canvas (with mask) covering the image's box,
// its corner at the canvas origin, cleared to `background` (0x00RRGGBB; on black the colour and
// mask planes form a premultiplied picture). Fails with EmptyImage, ImageTooLarge or a reason of
// GetBounds or DrawImage, and then leaves the canvas without planes.
bool ComposeCropped(IffFile& file, const DgrpImage& image, uint32_t background, SpriteCanvas& canvas,
                    GraphicsFailure* failure = nullptr);

struct DrawPosition {
  int x = 0;
  int y = 0;
  bool operator==(const DrawPosition&) const = default;
};

// Position that centres an image's box in a client area (truncating division); none when the
// centre lies outside the int range.
std::optional<DrawPosition> CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds);
// Position that centres a bitmap in a client area (truncating division).
DrawPosition CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight);

}  // namespace scrivet
