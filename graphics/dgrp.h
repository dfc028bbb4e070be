#pragma once
// DGRP: how an object is drawn, one image of stacked SPR2 frames per view direction and zoom.

#include <cstdint>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile;
class SpriteCanvas;

struct DgrpSprite {
  static constexpr uint32_t kFlip = 1;
  static constexpr uint32_t kLuminous = 4;

  uint32_t spriteId = 0;
  uint32_t spriteIndex = 0;
  // Left column and the row just below the frame's bottom row.
  int32_t pixelX = 0;
  int32_t pixelY = 0;
  float zOffset = 0;
  float xOffset = 0;
  float yOffset = 0;
  uint32_t flags = 0;
};

struct DgrpImage {
  uint32_t directionFlags = 0;
  uint32_t zoom = 0;
  // Drawing order.
  std::vector<DgrpSprite> sprites;
};

struct DgrpRect {
  static constexpr int32_t kEmptyMin = 2147483647;
  static constexpr int32_t kEmptyMax = -2147483647 - 1;
  int32_t left = kEmptyMin;
  int32_t top = kEmptyMin;
  int32_t right = kEmptyMax;
  int32_t bottom = kEmptyMax;
  bool IsEmpty() const { return left > right || top > bottom; }
};

class ResourceDgrp : public IffResource {
 public:
  static constexpr TypeCode kType = MakeTypeCode("DGRP");
  static constexpr uint16_t kCurrentVersion = 20004;

  // A new draw group: zoom 1, 2, 3 each with directions 1, 4, 16, 64, no sprites.
  ResourceDgrp();

  void CopyFrom(const IffResource& other) override;
  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  // Box of the image's frames; empty when a sprite cannot be found or the image has none.
  static DgrpRect GetBounds(IffFile& file, const DgrpImage& image);
  // Composes the image into the canvas at its drawX/drawY (which it leaves as found).
  static bool DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas);
  bool DrawImageByIndex(IffFile& file, int index, SpriteCanvas& canvas) const;

  uint16_t version = kCurrentVersion;
  std::vector<DgrpImage> images;
};

// Position that centres an image's box, or a bitmap, in a client area (truncating division).
void CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds, int& drawX, int& drawY);
void CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight, int& drawX, int& drawY);

}  // namespace scrivet
