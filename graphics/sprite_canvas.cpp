#include "graphics/sprite_canvas.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace scrivet {

BlendTable& BlendTable::Instance() {
  static BlendTable instance;
  return instance;
}

void BlendTable::Fill(uint8_t* table) {
  // Per (d, s) the numerator grows by a constant step with a, so each row of 256 is additions only.
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s) {
      uint8_t* out = table + ((d << 16) | (s << 8));
      const int64_t step = int64_t(d - s) * 8421505;
      const int64_t base = int64_t(s) << 31;
      for (int a = 0; a < 256; ++a) {
        const int64_t num = base + step * a;
        out[a] = num < 0 ? 0 : static_cast<uint8_t>(num >> 31);
      }
    }
  }
}

bool BlendTable::Build() {
  if (table_) return true;
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size_t(1) << 24]);
  if (!block) return false;
  Fill(block.get());
  table_ = std::move(block);
  return true;
}

SpriteCanvas::SpriteCanvas(int h, int w, int bits) : height(h), width(w), bitsPerPixel(bits) {}

bool SpriteCanvas::Allocate(bool withMask, bool withDisplay) {
  return AllocateCleared(0, 255, withMask, withDisplay);
}

bool SpriteCanvas::AllocateCleared(uint32_t rgb, uint8_t depthFill, bool withMask, bool withDisplay) {
  Release();
  if (height < 0 || width < 0 || !IsSupportedDepth(bitsPerPixel)) return false;
  const size_t rows = static_cast<size_t>(height);
  // Frame sizes come from data; a plane past 1 GiB is refused rather than attempted.
  if (DisplayStride() * rows > kMaxPlaneBytes || ColorStride() * rows > kMaxPlaneBytes) return false;
  try {
    // Each plane is written once: black packs to zero bytes at every depth.
    color.assign(ColorStride() * rows, 0);
    depth.assign(PlaneStride() * rows, depthFill);
    if (withMask) mask.assign(PlaneStride() * rows, 0);
    if (withDisplay) display.assign(DisplayStride() * rows, 0);
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }
  if ((rgb & 0xFFFFFF) != 0) FillColor(rgb);
  return true;
}

void SpriteCanvas::Release() {
  color = {};
  depth = {};
  mask = {};
  display = {};
}

namespace {

// The bytes of one pixel of colour 0x00RRGGBB at the given depth.
void PackPixel(uint32_t rgb, int bits, uint8_t packed[4]) {
  const uint8_t r = uint8_t(rgb >> 16), g = uint8_t(rgb >> 8), b = uint8_t(rgb);
  packed[0] = b;
  packed[1] = g;
  packed[2] = r;
  packed[3] = 0;
  if (bits == 15 || bits == 16) {
    const uint16_t w = bits == 15 ? uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
                                  : uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    packed[0] = uint8_t(w);
    packed[1] = uint8_t(w >> 8);
  }
}

template <int Bytes>
void FillRow(uint8_t* row, int width, const uint8_t* packed) {
  for (int x = 0; x < width; ++x, row += Bytes) std::memcpy(row, packed, Bytes);
}

}  // namespace

void SpriteCanvas::FillColor(uint32_t rgb) {
  const size_t rows = static_cast<size_t>(height);
  if (height <= 0 || width <= 0 || color.size() < ColorStride() * rows) return;
  uint8_t packed[4];
  PackPixel(rgb, bitsPerPixel, packed);
  const int bpp = BytesPerPixel();
  const size_t rowBytes = static_cast<size_t>(width) * bpp;
  const size_t stride = ColorStride();
  // One row is packed, the others copied from it; padding bytes past each row stay as they are.
  uint8_t* first = color.data();
  switch (bpp) {
    case 2: FillRow<2>(first, width, packed); break;
    case 3: FillRow<3>(first, width, packed); break;
    default: FillRow<4>(first, width, packed); break;
  }
  for (size_t row = 1; row < rows; ++row) std::memcpy(first + row * stride, first, rowBytes);
}

void SpriteCanvas::Clear(uint32_t rgb, uint8_t depthFill) {
  FillColor(rgb);
  std::fill(depth.begin(), depth.end(), depthFill);
  std::fill(mask.begin(), mask.end(), 0);
}

uint32_t SpriteCanvas::PixelRgb(int x, int row) const {
  const uint8_t* p = ColorRow(row) + static_cast<size_t>(x) * BytesPerPixel();
  if (bitsPerPixel == 24 || bitsPerPixel == 32) return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  const uint16_t w = uint16_t(p[0] | p[1] << 8);
  uint32_t r, g, b;
  if (bitsPerPixel == 15) {
    r = (w >> 7) & 0xF8;
    g = (w >> 2) & 0xF8;
  } else {
    r = (w >> 8) & 0xF8;
    g = (w >> 3) & 0xFC;
  }
  b = (w << 3) & 0xF8;
  return r << 16 | g << 8 | b;
}

bool SpriteCanvas::ToDisplay() {
  if (display.size() < DisplayStride() * static_cast<size_t>(height)) return false;
  for (int row = 0; row < height; ++row) {
    uint8_t* out = display.data() + static_cast<size_t>(height - 1 - row) * DisplayStride();
    if (viewMode == 0) {
      if (!HasColor()) return false;
      for (int x = 0; x < width; ++x) {
        const uint32_t rgb = PixelRgb(x, row);
        out[x * 3] = uint8_t(rgb);
        out[x * 3 + 1] = uint8_t(rgb >> 8);
        out[x * 3 + 2] = uint8_t(rgb >> 16);
      }
    } else if (viewMode == 1 || viewMode == 2) {
      const std::vector<uint8_t>& plane = viewMode == 1 ? depth : mask;
      if (plane.empty()) return false;
      const uint8_t* in = plane.data() + static_cast<size_t>(height - 1 - row) * PlaneStride();
      for (int x = 0; x < width; ++x) out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = in[x];
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace scrivet
