#pragma once
// The planes a sprite frame is drawn into, and the alpha blend with its lookup table.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace scrivet {

// Exact form of trunc(s + (d - s) * a * k) with k the float nearest to 1/255: k is 8421505 / 2^31,
// so the double expression never rounds and this integer expression gives the same bits.
inline uint8_t BlendDirect(uint8_t d, uint8_t s, uint8_t a) {
  const int64_t num = (int64_t(s) << 31) + int64_t((int(d) - int(s)) * int(a)) * 8421505;
  return num < 0 ? 0 : static_cast<uint8_t>(num >> 31);
}

// The process-wide 16 MiB table of every blend, index (d << 16) | (s << 8) | a.
class BlendTable {
 public:
  static BlendTable& Instance();

  // Fills the table once; false only when the memory cannot be had.
  bool Build();
  bool IsBuilt() const { return table_ != nullptr; }
  // Null until built.
  const uint8_t* Data() const { return table_.get(); }

  // Fills any 2^24-byte block; used by Build and by tests that compare with the formula.
  static void Fill(uint8_t* table);

 private:
  BlendTable() = default;
  std::unique_ptr<uint8_t[]> table_;
};

// The table entry once built, otherwise the formula.
inline uint8_t Blend(uint8_t d, uint8_t s, uint8_t a) {
  const uint8_t* table = BlendTable::Instance().Data();
  return table ? table[(uint32_t(d) << 16) | (uint32_t(s) << 8) | a] : BlendDirect(d, s, a);
}

// Opacity 0-255 of an SPR2 alpha byte, which the game's files hold on a 0-31 scale.
constexpr uint8_t Spr2Opacity(uint8_t alpha) {
  const unsigned a = alpha < 31 ? alpha : 31;
  return static_cast<uint8_t>((a * 255 + 15) / 31);
}

class SpriteCanvas {
 public:
  SpriteCanvas() = default;
  SpriteCanvas(int height, int width, int bitsPerPixel);

  static constexpr size_t kMaxPlaneBytes = size_t(1) << 30;

  static bool IsSupportedDepth(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }
  int BytesPerPixel() const { return bitsPerPixel <= 16 ? 2 : bitsPerPixel / 8; }
  size_t ColorStride() const { return (static_cast<size_t>(width) * BytesPerPixel() + 3) & ~size_t(3); }
  size_t PlaneStride() const { return (static_cast<size_t>(width) + 3) & ~size_t(3); }
  size_t DisplayStride() const { return (static_cast<size_t>(width) * 3 + 3) & ~size_t(3); }

  // Allocates the colour and depth planes, and the mask and display planes when asked.
  // Fails on a negative size or an unsupported depth.
  bool Allocate(bool withMask = true, bool withDisplay = true);
  // Allocate, with the planes filled as Clear(rgb, depthFill) leaves them.
  bool AllocateCleared(uint32_t rgb, uint8_t depthFill, bool withMask = true, bool withDisplay = true);
  void Release();
  bool HasColor() const { return !color.empty(); }
  bool HasDepth() const { return !depth.empty(); }
  bool HasMask() const { return !mask.empty(); }

  // Colour 0x00RRGGBB packed at the canvas depth; depth plane to `depthFill`; mask to 0.
  void Clear(uint32_t rgb, uint8_t depthFill = 255);
  // Fills the display plane from the plane `viewMode` names; false for other modes or a missing plane.
  bool ToDisplay();

  // Row `row` counted from the top (planes are stored bottom-up).
  uint8_t* ColorRow(int row) { return color.data() + static_cast<size_t>(height - 1 - row) * ColorStride(); }
  uint8_t* DepthRow(int row) { return depth.data() + static_cast<size_t>(height - 1 - row) * PlaneStride(); }
  uint8_t* MaskRow(int row) { return mask.data() + static_cast<size_t>(height - 1 - row) * PlaneStride(); }
  const uint8_t* ColorRow(int row) const {
    return color.data() + static_cast<size_t>(height - 1 - row) * ColorStride();
  }
  const uint8_t* DepthRow(int row) const {
    return depth.data() + static_cast<size_t>(height - 1 - row) * PlaneStride();
  }
  const uint8_t* MaskRow(int row) const { return mask.data() + static_cast<size_t>(height - 1 - row) * PlaneStride(); }
  const uint8_t* DisplayRow(int row) const {
    return display.data() + static_cast<size_t>(height - 1 - row) * DisplayStride();
  }

  // The colour of a pixel as 0x00RRGGBB (channels as stored, so 5- and 6-bit values are widened).
  uint32_t PixelRgb(int x, int row) const;

  int height = 0;
  int width = 0;
  int bitsPerPixel = 24;
  bool mirrored = false;
  bool blend = true;
  int viewMode = 0;
  int drawX = 0;
  int drawY = 0;
  int depthOffset = 0;

  std::vector<uint8_t> color;
  std::vector<uint8_t> depth;
  std::vector<uint8_t> mask;
  std::vector<uint8_t> display;

 private:
  // Every pixel of the colour plane to rgb packed at the canvas depth.
  void FillColor(uint32_t rgb);
};

}  // namespace scrivet
