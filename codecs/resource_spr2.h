#pragma once
// SPR2: sprites whose pixels carry a palette index and optionally a depth and an alpha byte.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/frame_size.h"
#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

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

  // A command's count has 13 bits.
  static constexpr uint32_t kLongestRun = 8191;
  // Whether the frame may be drawn: see FrameSizeFits.
  bool SizeFits() const { return FrameSizeFits(width, height, pixelStream.size(), kLongestRun); }
};

class ResourceSpr2 : public ResourceOf<ResourceSpr2> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("SPR2");

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  size_t GetFrameCount() const { return frames.size(); }
  bool GetFrame(int index, Spr2Frame& out) const;
  // Takes flags, palette, transparentColor and the origin; size and stream stay.
  bool SetFrame(int index, const Spr2Frame& record);
  uint16_t GetPaletteId() const { return static_cast<uint16_t>(paletteId); }

  uint32_t version = 1000;
  uint32_t frameCount = 0;
  uint32_t paletteId = 0;
  std::vector<Spr2Frame> frames;
};

}  // namespace scrivet
