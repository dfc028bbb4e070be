#include "graphics/rasterizer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/iff_file.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"

namespace scrivet {

namespace {

// Colour packing per canvas depth. Mix blends a palette colour into the stored pixel.
template <int Bits>
struct Format;

// 24 and 32 bits store blue, green, red (and a zero byte at 32 bits).
template <int Bytes>
struct FormatBgr {
  static constexpr int kBytes = Bytes;
  static void Pack(const uint8_t* rgb, uint8_t* out) {
    out[0] = rgb[2];
    out[1] = rgb[1];
    out[2] = rgb[0];
    out[3] = 0;
  }
  template <class B>
  static void Mix(uint8_t* p, const uint8_t* rgb, uint8_t a, const B& blend) {
    p[0] = blend(p[0], rgb[2], a);
    p[1] = blend(p[1], rgb[1], a);
    p[2] = blend(p[2], rgb[0], a);
    if constexpr (Bytes == 4) p[3] = 0;
  }
};

template <>
struct Format<32> : FormatBgr<4> {};
template <>
struct Format<24> : FormatBgr<3> {};

// 16-bit words: green has 6 bits in 5-6-5 and 5 bits in 5-5-5.
template <int Bits>
struct Format16 {
  static constexpr int kBytes = 2;
  static constexpr bool k565 = Bits == 16;
  static uint16_t PackWord(unsigned r, unsigned g, unsigned b) {
    return k565 ? uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
                : uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
  }
  static void Pack(const uint8_t* rgb, uint8_t* out) {
    const uint16_t w = PackWord(rgb[0], rgb[1], rgb[2]);
    out[0] = uint8_t(w);
    out[1] = uint8_t(w >> 8);
    out[2] = out[3] = 0;
  }
  template <class B>
  static void Mix(uint8_t* p, const uint8_t* rgb, uint8_t a, const B& blend) {
    const unsigned w = p[0] | p[1] << 8;
    const uint8_t r = k565 ? (w >> 8) & 0xF8 : (w >> 7) & 0xF8;
    const uint8_t g = k565 ? (w >> 3) & 0xFC : (w >> 2) & 0xF8;
    const uint8_t b = (w << 3) & 0xF8;
    const uint16_t out = PackWord(blend(r, rgb[0], a), blend(g, rgb[1], a), blend(b, rgb[2], a));
    p[0] = uint8_t(out);
    p[1] = uint8_t(out >> 8);
  }
};

template <>
struct Format<16> : Format16<16> {};
template <>
struct Format<15> : Format16<15> {};

struct Blender {
  const uint8_t* table;
  uint8_t operator()(uint8_t d, uint8_t s, uint8_t a) const {
    return table ? table[(uint32_t(d) << 16) | (uint32_t(s) << 8) | a] : BlendDirect(d, s, a);
  }
};

struct PackedColour {
  uint8_t bytes[4];
};

// Row and column bookkeeping shared by both stream formats. Frame rows above the canvas are
// consumed without drawing; pixels outside the canvas consume their bytes only.
template <int Bytes, bool Mirror>
class Rows {
 public:
  Rows(SpriteCanvas& c, int frameWidth)
      : c_(c), startCol_(Mirror ? int64_t(c.drawX) + frameWidth - 1 : int64_t(c.drawX)), col_(startCol_) {
    // Without a mask plane, coverage goes to a scratch row, so the pixel loops need no test.
    if (!c.HasMask()) scratchMask_.resize(static_cast<size_t>(c.width));
  }

  // Moves n rows down and starts that row; false once it lies below the canvas.
  bool Next(int64_t n) {
    frameRow_ += n;
    col_ = startCol_;
    const int64_t row = c_.drawY + frameRow_;
    if (frameRow_ >= 0 && row >= c_.height) return false;
    if (frameRow_ >= 0 && row >= 0) {
      const int r = static_cast<int>(row);
      color_ = c_.ColorRow(r);
      depth_ = c_.HasDepth() ? c_.DepthRow(r) : nullptr;
      mask_ = c_.HasMask() ? c_.MaskRow(r) : scratchMask_.data();
    } else {
      color_ = depth_ = mask_ = nullptr;
    }
    return true;
  }

  // The pixels [i0, i1) of a span of `count` from the current column that land on the canvas.
  void Range(int64_t count, int64_t& i0, int64_t& i1) const {
    if (!color_) {
      i0 = i1 = 0;
      return;
    }
    if (Mirror) {
      i0 = std::max<int64_t>(0, col_ - c_.width + 1);
      i1 = std::min<int64_t>(count, col_ + 1);
    } else {
      i0 = std::max<int64_t>(0, -col_);
      i1 = std::min<int64_t>(count, int64_t(c_.width) - col_);
    }
    if (i1 < i0) i1 = i0;
  }

  int64_t Column(int64_t i) const { return Mirror ? col_ - i : col_ + i; }
  void Advance(int64_t count) { col_ += Mirror ? -count : count; }

  // The current row's planes (valid while Range gives pixels), indexed by canvas column.
  uint8_t* ColorRow() const { return color_; }
  uint8_t* DepthRow() const { return depth_; }
  uint8_t* MaskRow() const { return mask_; }

  // An opaque pixel: the colour, and full coverage in the mask.
  void Put(int64_t x, const PackedColour& colour) const {
    std::memcpy(color_ + x * Bytes, colour.bytes, Bytes);
    mask_[x] = 255;
  }

 private:
  SpriteCanvas& c_;
  int64_t frameRow_ = -1;
  const int64_t startCol_;
  int64_t col_;
  uint8_t* color_ = nullptr;
  uint8_t* depth_ = nullptr;
  uint8_t* mask_ = nullptr;
  std::vector<uint8_t> scratchMask_;
};

// Opacity of every SPR2 alpha byte.
struct OpacityTable {
  uint8_t of[256];
  constexpr OpacityTable() : of() {
    for (int a = 0; a < 256; ++a) of[a] = Spr2Opacity(static_cast<uint8_t>(a));
  }
};
constexpr OpacityTable kOpacity;

template <class F>
void PackPalette(const uint8_t* palette, PackedColour* packed) {
  for (int i = 0; i < 256; ++i) F::Pack(palette + i * 3, packed[i].bytes);
}

template <int Bits, bool Mirror>
bool DrawSprImpl(SpriteCanvas& c, const uint8_t* s, size_t n, const uint8_t* palette, int frameWidth) {
  using F = Format<Bits>;
  PackedColour packed[256];
  PackPalette<F>(palette, packed);
  Rows<F::kBytes, Mirror> rows(c, frameWidth);
  size_t pos = 0;
  int64_t i0, i1;
  while (pos + 2 <= n) {
    const uint8_t code = s[pos];
    const int64_t count = s[pos + 1];
    pos += 2;
    switch (code) {
      case 1:
        rows.Advance(count);
        break;
      case 2: {
        if (pos + 2 > n) return true;
        const PackedColour& colour = packed[s[pos]];
        pos += 2;
        rows.Range(count, i0, i1);
        for (int64_t i = i0; i < i1; ++i) rows.Put(rows.Column(i), colour);
        rows.Advance(count);
        break;
      }
      case 3: {
        const int64_t avail = std::min<int64_t>(count, int64_t(n - pos));
        rows.Range(avail, i0, i1);
        for (int64_t i = i0; i < i1; ++i) rows.Put(rows.Column(i), packed[s[pos + i]]);
        if (avail < count) return true;
        rows.Advance(count);
        pos += count;
        pos += pos & 1;
        break;
      }
      case 4:
        if (!rows.Next(1)) return true;
        break;
      case 5:
        return true;
      case 9:
        if (!rows.Next(count)) return true;
        break;
      default:
        return false;
    }
  }
  return true;
}

// Depth-tested pixels of a span: a pixel at the same or a nearer depth than the stored one wins.
// `Offset` says whether the canvas's depth offset can move a depth at all (then it is clamped).
template <int Bytes, bool Mirror, bool Offset>
void DrawDepthSpan(const Rows<Bytes, Mirror>& rows, const uint8_t* px, int64_t i0, int64_t i1, int64_t depthOffset,
                   const PackedColour* packed) {
  uint8_t* const color = rows.ColorRow();
  uint8_t* const depth = rows.DepthRow();
  uint8_t* const mask = rows.MaskRow();
  for (int64_t i = i0; i < i1; ++i) {
    const int64_t x = rows.Column(i);
    if constexpr (Offset) {
      const int64_t t = px[2 * i] + depthOffset;
      if (t > depth[x]) continue;
      depth[x] = t < 0 ? 0 : static_cast<uint8_t>(t);
    } else {
      const uint8_t t = px[2 * i];
      if (t > depth[x]) continue;
      depth[x] = t;
    }
    std::memcpy(color + x * Bytes, packed[px[2 * i + 1]].bytes, Bytes);
    mask[x] = 255;
  }
}

template <int Bits, bool Mirror>
bool DrawSpr2Impl(SpriteCanvas& c, const uint8_t* s, size_t n, const uint8_t* palette, int frameWidth) {
  using F = Format<Bits>;
  PackedColour packed[256];
  PackPalette<F>(palette, packed);
  const Blender blend{BlendTable::Instance().Data()};
  const bool blendOn = c.blend;
  const int64_t depthOffset = c.depthOffset;
  Rows<F::kBytes, Mirror> rows(c, frameWidth);
  size_t pos = 0;
  int64_t i0, i1;
  while (pos + 2 <= n) {
    const unsigned word = s[pos] | s[pos + 1] << 8;
    const int64_t count = word & 0x1FFF;
    pos += 2;
    switch (word >> 13) {
      case 0:
        if (!rows.Next(1)) return true;
        break;
      case 1: {
        const int64_t avail = std::min<int64_t>(count, int64_t(n - pos) / 2);
        rows.Range(avail, i0, i1);
        if (depthOffset == 0)
          DrawDepthSpan<F::kBytes, Mirror, false>(rows, s + pos, i0, i1, 0, packed);
        else
          DrawDepthSpan<F::kBytes, Mirror, true>(rows, s + pos, i0, i1, depthOffset, packed);
        if (avail < count) return true;
        rows.Advance(count);
        pos += 2 * count;
        pos += pos & 1;
        break;
      }
      case 2: {
        const int64_t avail = std::min<int64_t>(count, int64_t(n - pos) / 3);
        rows.Range(avail, i0, i1);
        const uint8_t* px = s + pos;
        uint8_t* const color = rows.ColorRow();
        uint8_t* const depth = rows.DepthRow();
        uint8_t* const mask = rows.MaskRow();
        for (int64_t i = i0; i < i1; ++i) {
          const uint8_t o = kOpacity.of[px[3 * i + 2]];
          if (o == 0) continue;
          const int64_t x = rows.Column(i);
          const int64_t t = px[3 * i] + depthOffset;
          if (t > depth[x]) continue;
          depth[x] = t < 0 ? 0 : static_cast<uint8_t>(t);
          const uint8_t index = px[3 * i + 1];
          if (!blendOn || o == 255) {
            std::memcpy(color + x * F::kBytes, packed[index].bytes, F::kBytes);
            mask[x] = o;
          } else {
            const uint8_t keep = 255 - o;
            F::Mix(color + x * F::kBytes, palette + index * 3, keep, blend);
            mask[x] = blend(mask[x], 255, keep);
          }
        }
        if (avail < count) return true;
        rows.Advance(count);
        pos += 3 * count;
        pos += pos & 1;
        break;
      }
      case 3:
        rows.Advance(count);
        break;
      case 4:
        if (count > 0 && !rows.Next(count)) return true;
        break;
      case 5:
        return true;
      case 6: {
        const int64_t avail = std::min<int64_t>(count, int64_t(n - pos));
        rows.Range(avail, i0, i1);
        for (int64_t i = i0; i < i1; ++i) rows.Put(rows.Column(i), packed[s[pos + i]]);
        if (avail < count) return true;
        rows.Advance(count);
        pos += count;
        pos += pos & 1;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

using DrawFn = bool (*)(SpriteCanvas&, const uint8_t*, size_t, const uint8_t*, int);

template <bool Spr2>
DrawFn PickMember(int bits, bool mirrored) {
  // The sixteen members: two stream formats x four depths x two directions.
  static const DrawFn kSpr[8] = {&DrawSprImpl<15, false>, &DrawSprImpl<15, true>,  &DrawSprImpl<16, false>,
                                 &DrawSprImpl<16, true>,  &DrawSprImpl<24, false>, &DrawSprImpl<24, true>,
                                 &DrawSprImpl<32, false>, &DrawSprImpl<32, true>};
  static const DrawFn kSpr2[8] = {&DrawSpr2Impl<15, false>, &DrawSpr2Impl<15, true>,  &DrawSpr2Impl<16, false>,
                                  &DrawSpr2Impl<16, true>,  &DrawSpr2Impl<24, false>, &DrawSpr2Impl<24, true>,
                                  &DrawSpr2Impl<32, false>, &DrawSpr2Impl<32, true>};
  int slot;
  switch (bits) {
    case 15:
      slot = 0;
      break;
    case 16:
      slot = 2;
      break;
    case 24:
      slot = 4;
      break;
    case 32:
      slot = 6;
      break;
    default:
      return nullptr;
  }
  return (Spr2 ? kSpr2 : kSpr)[slot + (mirrored ? 1 : 0)];
}

// The planes the members touch must cover the canvas size.
bool PlanesFit(const SpriteCanvas& c, bool needDepth) {
  if (c.height < 0 || c.width < 0 || !SpriteCanvas::IsSupportedDepth(c.bitsPerPixel)) return false;
  const size_t rows = static_cast<size_t>(c.height);
  if (c.color.size() < c.ColorStride() * rows) return false;
  if ((needDepth || c.HasDepth()) && c.depth.size() < c.PlaneStride() * rows) return false;
  if (c.HasMask() && c.mask.size() < c.PlaneStride() * rows) return false;
  return true;
}

}  // namespace

bool DrawSprFrame(SpriteCanvas& canvas, const uint8_t* stream, size_t length, const uint8_t* palette, int frameWidth) {
  if (!palette || (!stream && length) || !PlanesFit(canvas, false)) return false;
  DrawFn fn = PickMember<false>(canvas.bitsPerPixel, canvas.mirrored);
  return fn && fn(canvas, stream, length, palette, frameWidth);
}

bool DrawSpr2Frame(SpriteCanvas& canvas, const uint8_t* stream, size_t length, const uint8_t* palette, int frameWidth) {
  if (!palette || (!stream && length) || !PlanesFit(canvas, true)) return false;
  DrawFn fn = PickMember<true>(canvas.bitsPerPixel, canvas.mirrored);
  return fn && fn(canvas, stream, length, palette, frameWidth);
}

bool DrawSprFrameFromFile(IffFile& file, const ResourceSpr& sprite, int frameIndex, SpriteCanvas& canvas) {
  if (frameIndex < 0 || static_cast<size_t>(frameIndex) >= sprite.frames.size()) return false;
  if (canvas.height <= 0 || canvas.width <= 0 || !canvas.HasColor() || !canvas.HasMask()) return false;
  const SprFrame& frame = sprite.frames[frameIndex];
  if (!frame.SizeFits()) return false;
  ResourcePalt palette;
  if (!LoadPalette(file, sprite.GetPaletteId(), palette) || !palette.IsDrawable()) return false;
  if (!DrawSprFrame(canvas, frame.pixelStream.data(), frame.pixelStream.size(), palette.colors.data(), frame.width))
    return false;
  if (!canvas.display.empty()) canvas.ToDisplay();
  return true;
}

bool DrawSpr2FrameFromFile(IffFile& file, const Spr2Frame& frame, uint16_t fallbackPaletteId, SpriteCanvas& canvas) {
  if (canvas.height <= 0 || canvas.width <= 0 || !canvas.HasColor() || !canvas.HasDepth()) return false;
  if (!frame.SizeFits()) return false;
  ResourcePalt palette;
  const bool found = file.Find(ResourcePalt::kType, frame.palette) ? LoadPalette(file, frame.palette, palette)
                                                                   : LoadPalette(file, fallbackPaletteId, palette);
  if (!found || !palette.IsDrawable()) return false;
  return DrawSpr2Frame(canvas, frame.pixelStream.data(), frame.pixelStream.size(), palette.colors.data(), frame.width);
}

}  // namespace scrivet
