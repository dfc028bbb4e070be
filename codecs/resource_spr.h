#pragma once
// SPR#: indexed-colour sprites whose frames are run-length coded streams of palette indices.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/frame_size.h"
#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct SprFrame {
  uint16_t y = 0;
  uint16_t x = 0;
  uint16_t height = 0;
  uint16_t width = 0;
  // Per-frame palette number; kept and edited, drawing uses the sprite's paletteId.
  uint16_t palette = 0;
  std::vector<uint8_t> pixelStream;

  // Skip, fill and copy counts are one byte.
  static constexpr uint32_t kLongestRun = 255;
  // Whether the frame may be drawn or decoded: see FrameSizeFits.
  bool SizeFits() const { return FrameSizeFits(width, height, pixelStream.size(), kLongestRun); }
};

class ResourceSpr : public ResourceOf<ResourceSpr> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("SPR#");

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  size_t GetFrameCount() const { return frames.size(); }
  bool GetFrame(int index, SprFrame& out) const;
  bool SetFrame(int index, const SprFrame& record);
  uint16_t GetPaletteId() const { return static_cast<uint16_t>(paletteId); }

  uint32_t version = 502;
  uint32_t frameCount = 0;
  uint32_t paletteId = 0;
  std::vector<SprFrame> frames;
};

// An 8-bit image with a 1-bit mask, both stored bottom-up with rows padded to 4 bytes, as in a
// BMP file. Mask bits run most significant first; 1 = drawn.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> mask;

  static size_t PixelStride(int width) { return (static_cast<size_t>(width) + 3) & ~size_t(3); }
  static size_t MaskStride(int width) { return ((static_cast<size_t>(width) + 31) / 32) * 4; }
  size_t PixelStride() const { return PixelStride(width); }
  size_t MaskStride() const { return MaskStride(width); }

  static constexpr size_t kMaxPixels = size_t(1) << 28;

  // Allocates both planes, pixels preset to `background`, mask to 0. Fails on sizes past
  // kMaxPixels or when the memory cannot be had.
  bool Allocate(int w, int h, uint8_t background = 0);
  // Top row is 0.
  uint8_t* PixelRow(int row) { return pixels.data() + static_cast<size_t>(height - 1 - row) * PixelStride(); }
  const uint8_t* PixelRow(int row) const {
    return pixels.data() + static_cast<size_t>(height - 1 - row) * PixelStride();
  }
  uint8_t* MaskRow(int row) { return mask.data() + static_cast<size_t>(height - 1 - row) * MaskStride(); }
  const uint8_t* MaskRow(int row) const { return mask.data() + static_cast<size_t>(height - 1 - row) * MaskStride(); }
  bool MaskBit(int x, int row) const { return (MaskRow(row)[x >> 3] >> (7 - (x & 7))) & 1; }
  void SetMaskBit(int x, int row) { MaskRow(row)[x >> 3] |= uint8_t(0x80 >> (x & 7)); }
};

// The reference decoder: draws the frame's stream into an image of the frame's size. Commands
// outside the frame are clipped; a stream that ends without an end command stops there.
// Fails on an invalid command code, a frame whose size does not fit its stream (SizeFits), or
// when the image cannot be allocated.
bool DecodeToIndexed(const SprFrame& frame, IndexedImage& image, uint8_t background = 0);

// Builds a pixel stream from an indexed image and mask. The same image always gives the same bytes.
class SprFrameEncoder {
 public:
  // When set, a mask bit is drawn when the blue byte of its entry in `maskColors` (two BMP
  // colour-table entries of 4 bytes) exceeds 100, instead of when it is 1.
  void SetMaskByPalette(const uint8_t* maskColors);

  // Fails when the image is empty or its planes do not fit its size.
  bool Encode(const IndexedImage& image, std::vector<uint8_t>& stream);

 private:
  bool Opaque(const IndexedImage& image, int x, int row) const;

  bool maskByPalette_ = false;
  bool drawnBit_[2] = {false, true};
};

}  // namespace scrivet
