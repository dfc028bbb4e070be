#pragma once
// DGRP: how an object is drawn, one image of stacked SPR2 frames per view direction and zoom.

#include <cstdint>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

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

class ResourceDgrp : public ResourceOf<ResourceDgrp> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("DGRP");
  static constexpr uint16_t kCurrentVersion = 20004;

  // A new draw group: zoom 1, 2, 3 each with directions 1, 4, 16, 64, no sprites.
  ResourceDgrp();

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  uint16_t version = kCurrentVersion;
  std::vector<DgrpImage> images;
};

}  // namespace scrivet
