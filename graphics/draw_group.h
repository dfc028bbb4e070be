#pragma once
// Composing a draw group's image: its SPR2 frames stacked into one canvas, and the box they cover.

#include <cstdint>

#include "codecs/resource_dgrp.h"

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

// Box of the image's frames; empty when a sprite cannot be found or the image has none.
DgrpRect GetBounds(IffFile& file, const DgrpImage& image);
// Composes the image into the canvas at its drawX/drawY (which it leaves as found).
bool DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas);
bool DrawImageByIndex(const ResourceDgrp& group, IffFile& file, int index, SpriteCanvas& canvas);

// Position that centres an image's box, or a bitmap, in a client area (truncating division).
void CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds, int& drawX, int& drawY);
void CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight, int& drawX, int& drawY);

}  // namespace scrivet
