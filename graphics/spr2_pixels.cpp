#include "graphics/spr2_pixels.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "codecs/resource_palt.h"
#include "core/iff_file.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

namespace {

constexpr unsigned kLongestRun = Spr2Frame::kLongestRun;

enum Command : unsigned { kNextRow = 0, kDepthPixels = 1, kAlphaPixels = 2, kSkip = 3, kSkipRows = 4, kEnd = 5,
                          kColourPixels = 6 };

uint32_t Rgb(const uint8_t* p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }

// Opacity (0-31) <-> picture alpha (0-255), both rounded.
uint8_t AlphaOf(uint8_t opacity) { return Spr2Opacity(opacity); }
uint8_t OpacityOf(uint8_t alpha) { return static_cast<uint8_t>((alpha * 31u + 127u) / 255u); }

class StreamWriter {
 public:
  explicit StreamWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Word(unsigned command, unsigned count) {
    out_.push_back(static_cast<uint8_t>(count));
    out_.push_back(static_cast<uint8_t>(command << 5 | count >> 8));
  }
  void Byte(uint8_t b) { out_.push_back(b); }
  void Pad() {
    if (out_.size() & 1) out_.push_back(0);
  }
  size_t Size() const { return out_.size(); }
  void PatchCount(size_t at, unsigned count) {
    out_[at] = static_cast<uint8_t>(count);
    out_[at + 1] = static_cast<uint8_t>((out_[at + 1] & 0xE0) | count >> 8);
  }

 private:
  std::vector<uint8_t>& out_;
};

// The pixel command of a drawn pixel.
unsigned KindOf(const Spr2Pixels& p, size_t i, bool withDepth) {
  if (p.opacity[i] < kSpr2Opaque) return kAlphaPixels;
  return withDepth ? kDepthPixels : kColourPixels;
}

// The palette entry nearest to a colour by squared distance, ties to the lower index. Entries
// sorted by red let the search stop once red alone is farther than the best match.
class NearestColour {
 public:
  explicit NearestColour(const uint8_t* palette) {
    for (int i = 0; i < 256; ++i) entries_[i] = {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2], i};
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.r != b.r ? a.r < b.r : a.index < b.index; });
  }

  int Find(uint32_t rgb) const {
    const int r = int(rgb >> 16), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
    int best = 1 << 30, bestIndex = 256;
    auto visit = [&](const Entry& e) {
      const int dr = e.r - r;
      if (dr * dr > best) return false;
      const int dg = e.g - g, db = e.b - b;
      const int d = dr * dr + dg * dg + db * db;
      if (d < best || (d == best && e.index < bestIndex)) best = d, bestIndex = e.index;
      return true;
    };
    const auto start = std::lower_bound(entries_.begin(), entries_.end(), r,
                                        [](const Entry& e, int red) { return e.r < red; });
    bool up = true, down = true;
    for (auto hi = start, lo = start; up || down;) {
      up = up && hi != entries_.end() && visit(*hi++);
      down = down && lo != entries_.begin() && visit(*--lo);
    }
    return bestIndex;
  }

 private:
  struct Entry {
    int r, g, b, index;
  };
  std::array<Entry, 256> entries_;
};

}  // namespace

bool Spr2Pixels::Allocate(int w, int h) {
  if (w < 0 || h < 0 || uint32_t(w) > kMaxFrameSide || uint32_t(h) > kMaxFrameSide) return false;
  width = w;
  height = h;
  hasDepth = false;
  index.assign(Count(), 0);
  opacity.assign(Count(), 0);
  depth.assign(Count(), 255);
  return true;
}

bool Spr2Pixels::HasPartialOpacity() const {
  return std::any_of(opacity.begin(), opacity.end(), [](uint8_t o) { return o != 0 && o < kSpr2Opaque; });
}

void Spr2Pixels::Normalize() {
  bool drawnDepth = false;
  const bool partial = HasPartialOpacity();
  for (size_t i = 0; i < Count(); ++i) {
    if (opacity[i] > kSpr2Opaque) opacity[i] = kSpr2Opaque;
    if (!Drawn(i)) {
      index[i] = 0;
      depth[i] = 255;
    } else {
      drawnDepth = true;
    }
  }
  hasDepth = drawnDepth && (hasDepth || partial);
  if (!hasDepth) std::fill(depth.begin(), depth.end(), uint8_t(255));
}

uint32_t Spr2Pixels::ContentFlags() const {
  return kSpr2HasColour | (hasDepth ? kSpr2HasDepth : 0) | (HasPartialOpacity() ? kSpr2HasAlpha : 0);
}

bool DecodeSpr2Pixels(const Spr2Frame& frame, Spr2Pixels& out, GraphicsFailure* failure) {
  if (!frame.SizeFits())
    return ReportFailure(failure, GraphicsError::FrameTooLarge,
                         std::to_string(frame.width) + " x " + std::to_string(frame.height) + ", " +
                             std::to_string(frame.pixelStream.size()) + " stream bytes");
  if (!out.Allocate(frame.width, frame.height)) return ReportFailure(failure, GraphicsError::CannotDraw);
  const uint8_t* s = frame.pixelStream.data();
  const size_t n = frame.pixelStream.size();
  const int64_t width = frame.width;
  const int64_t height = frame.height;
  int64_t row = -1;  // no row started yet
  int64_t x = 0;
  size_t pos = 0;

  auto put = [&](uint8_t colour, uint8_t opacity, int depth) {
    if (row >= 0 && x >= 0 && x < width && opacity != 0) {
      const size_t i = static_cast<size_t>(row * width + x);
      out.index[i] = colour;
      out.opacity[i] = std::min(opacity, kSpr2Opaque);
      if (depth >= 0) {
        out.depth[i] = static_cast<uint8_t>(depth);
        out.hasDepth = true;
      }
    }
    ++x;
  };
  // Pixel commands stop at the end of the stream, drawing what is there.
  auto pixels = [&](int64_t count, size_t bytesEach, auto&& one) {
    const int64_t avail = std::min<int64_t>(count, int64_t((n - pos) / bytesEach));
    for (int64_t i = 0; i < avail; ++i) one(s + pos + size_t(i) * bytesEach);
    pos += size_t(avail) * bytesEach;
    pos += pos & 1;
    return avail == count;
  };

  while (pos + 2 <= n) {
    const unsigned word = s[pos] | s[pos + 1] << 8;
    const int64_t count = word & 0x1FFF;
    pos += 2;
    switch (word >> 13) {
      case kNextRow:
        ++row;
        x = 0;
        break;
      case kDepthPixels:
        if (!pixels(count, 2, [&](const uint8_t* p) { put(p[1], kSpr2Opaque, p[0]); })) return true;
        break;
      case kAlphaPixels:
        if (!pixels(count, 3, [&](const uint8_t* p) { put(p[1], p[2], p[0]); })) return true;
        break;
      case kSkip:
        x += count;
        break;
      case kSkipRows:
        if (count > 0) {
          row += count;
          x = 0;
        }
        break;
      case kEnd:
        return true;
      case kColourPixels:
        if (!pixels(count, 1, [&](const uint8_t* p) { put(p[0], kSpr2Opaque, -1); })) return true;
        break;
      default:
        return ReportFailure(failure, GraphicsError::CannotDraw, "invalid command at byte " + std::to_string(pos - 2));
    }
    if (row >= height) return true;
  }
  return true;
}

bool EncodeSpr2Stream(const Spr2Pixels& input, std::vector<uint8_t>& stream, GraphicsFailure* failure) {
  Spr2Pixels p = input;
  if (p.width < 0 || p.height < 0 || p.index.size() != p.Count() || p.opacity.size() != p.Count() ||
      p.depth.size() != p.Count())
    return ReportFailure(failure, GraphicsError::CannotDraw, "planes do not match the size");
  p.Normalize();
  std::vector<uint8_t> out;
  StreamWriter w(out);
  const size_t width = static_cast<size_t>(p.width);
  size_t openRow = SIZE_MAX;  // where the row being written starts
  int64_t lastRow = -1;

  // The row's count is its byte length, up to the next row, skip-rows or end command.
  auto closeRow = [&](int64_t y) {
    if (openRow == SIZE_MAX) return true;
    const size_t length = w.Size() - openRow;
    if (length > kLongestRun)
      return ReportFailure(failure, GraphicsError::FrameTooLarge,
                           "row " + std::to_string(y) + " takes " + std::to_string(length) + " bytes");
    w.PatchCount(openRow, static_cast<unsigned>(length));
    openRow = SIZE_MAX;
    return true;
  };

  for (int64_t y = 0; y < p.height; ++y) {
    const size_t rowStart = static_cast<size_t>(y) * width;
    size_t end = width;  // trailing transparent pixels are left out
    while (end > 0 && !p.Drawn(rowStart + end - 1)) --end;
    if (end == 0) continue;
    if (!closeRow(lastRow)) return false;
    // Skip-rows n moves n rows down from the last coded row (from above the frame at the top);
    // the next-row command then starts row y.
    for (int64_t gap = y - lastRow - 1; gap > 0;) {
      const unsigned step = static_cast<unsigned>(std::min<int64_t>(gap, kLongestRun));
      w.Word(kSkipRows, step);
      gap -= step;
    }
    openRow = w.Size();
    w.Word(kNextRow, 0);
    lastRow = y;
    for (size_t x = 0; x < end;) {
      const size_t i = rowStart + x;
      size_t run = 1;
      if (!p.Drawn(i)) {
        while (x + run < end && run < kLongestRun && !p.Drawn(i + run)) ++run;
        w.Word(kSkip, static_cast<unsigned>(run));
        x += run;
        continue;
      }
      const unsigned kind = KindOf(p, i, p.hasDepth);
      while (x + run < end && run < kLongestRun && p.Drawn(i + run) && KindOf(p, i + run, p.hasDepth) == kind) ++run;
      w.Word(kind, static_cast<unsigned>(run));
      for (size_t k = i; k < i + run; ++k) {
        if (kind != kColourPixels) w.Byte(p.depth[k]);
        w.Byte(p.index[k]);
        if (kind == kAlphaPixels) w.Byte(p.opacity[k]);
      }
      w.Pad();
      x += run;
    }
  }
  if (!closeRow(lastRow)) return false;
  w.Word(kEnd, 0);
  stream = std::move(out);
  return true;
}

void Spr2PixelsToPicture(const Spr2Pixels& pixels, const uint8_t* palette, RgbaPicture& out) {
  out.width = pixels.width;
  out.height = pixels.height;
  out.rgba.assign(pixels.Count() * 4, 0);
  out.depth.clear();
  if (pixels.hasDepth) out.depth.assign(pixels.Count(), 255);
  for (size_t i = 0; i < pixels.Count(); ++i) {
    if (!pixels.Drawn(i)) continue;
    const uint8_t* rgb = palette + pixels.index[i] * 3;
    uint8_t* o = &out.rgba[i * 4];
    o[0] = rgb[0];
    o[1] = rgb[1];
    o[2] = rgb[2];
    o[3] = AlphaOf(pixels.opacity[i]);
    if (pixels.hasDepth) out.depth[i] = pixels.depth[i];
  }
}

size_t PictureToSpr2Pixels(const RgbaPicture& picture, const uint8_t* palette, const Spr2PictureImport& options,
                           Spr2Pixels& out) {
  if (!out.Allocate(picture.width, picture.height) || picture.rgba.size() != out.Count() * 4) {
    out = Spr2Pixels();
    return 0;
  }
  const bool haveDepth = picture.depth.size() == out.Count();
  const Spr2Pixels* previous = options.previous;
  if (previous && (previous->width != picture.width || previous->height != picture.height ||
                   previous->opacity.size() != out.Count() || previous->index.size() != out.Count() ||
                   previous->depth.size() != out.Count()))
    previous = nullptr;

  // Colour -> index, exact ones first (the lowest index of a colour), nearest ones as met; the
  // top bit marks a nearest match.
  constexpr uint32_t kApproximate = 0x100;
  std::unordered_map<uint32_t, uint32_t> lookup;
  lookup.reserve(1024);
  for (int i = 255; i >= 0; --i) lookup[Rgb(palette + i * 3)] = uint32_t(i);
  const NearestColour nearestColour(palette);
  auto nearest = [&](uint32_t rgb) { return uint32_t(nearestColour.Find(rgb)) | kApproximate; };

  size_t approximated = 0;
  for (size_t i = 0; i < out.Count(); ++i) {
    const uint8_t* px = &picture.rgba[i * 4];
    const uint8_t opacity = OpacityOf(px[3]);
    if (opacity == 0) continue;
    const uint32_t rgb = Rgb(px);
    out.opacity[i] = opacity;
    if (previous && previous->Drawn(i) && Rgb(palette + previous->index[i] * 3) == rgb) {
      out.index[i] = previous->index[i];
    } else {
      auto [it, added] = lookup.try_emplace(rgb, 0);
      if (added) it->second = nearest(rgb);
      out.index[i] = static_cast<uint8_t>(it->second);
      if (it->second & kApproximate) ++approximated;
    }
    if (haveDepth)
      out.depth[i] = picture.depth[i];
    else if (previous && previous->hasDepth && previous->Drawn(i))
      out.depth[i] = previous->depth[i];
    else
      out.depth[i] = options.flatDepth;
  }
  out.hasDepth = haveDepth || !previous || previous->hasDepth;
  out.Normalize();
  return approximated;
}

bool LoadSpr2Palette(IffFile& file, const ResourceSpr2& sprite, const Spr2Frame& frame, ResourcePalt& palette) {
  const uint16_t id = file.Find(ResourcePalt::kType, frame.palette) ? frame.palette : sprite.GetPaletteId();
  return LoadPalette(file, id, palette) && palette.IsDrawable();
}

namespace {

Spr2Exchange Refuse(Spr2ExchangeError error, std::string detail) {
  Spr2Exchange result;
  result.error = error;
  result.detail = std::move(detail);
  return result;
}

Spr2Exchange NoPalette(const ResourceSpr2& sprite, const Spr2Frame& frame) {
  return Refuse(Spr2ExchangeError::NoPalette,
                "PALT " + std::to_string(frame.palette) + " or " + std::to_string(sprite.GetPaletteId()));
}

}  // namespace

Spr2Exchange ExportSpr2Frame(IffFile& file, const ResourceSpr2& sprite, int index, RgbaPicture& out) {
  if (index < 0 || static_cast<size_t>(index) >= sprite.frames.size())
    return Refuse(Spr2ExchangeError::NoSuchFrame, "frame " + std::to_string(index));
  const Spr2Frame& frame = sprite.frames[index];
  Spr2Pixels pixels;
  GraphicsFailure failure;
  if (!DecodeSpr2Pixels(frame, pixels, &failure))
    return Refuse(failure.error == GraphicsError::FrameTooLarge ? Spr2ExchangeError::FrameTooLarge
                                                                 : Spr2ExchangeError::BadStream,
                  failure.detail);
  if (pixels.Count() == 0) return Refuse(Spr2ExchangeError::BadPicture, "the frame has no pixels");
  ResourcePalt palette;
  if (!LoadSpr2Palette(file, sprite, frame, palette)) return NoPalette(sprite, frame);
  Spr2PixelsToPicture(pixels, palette.colors.data(), out);
  return {};
}

Spr2Exchange ImportSpr2Frame(IffFile& file, ResourceSpr2& sprite, int index, const RgbaPicture& picture) {
  const size_t count = sprite.frames.size();
  if (index >= 0 && static_cast<size_t>(index) > count)
    return Refuse(Spr2ExchangeError::NoSuchFrame, "frame " + std::to_string(index));
  const bool append = index < 0 || static_cast<size_t>(index) == count;
  const size_t pixels = static_cast<size_t>(std::max(picture.width, 0)) * static_cast<size_t>(std::max(picture.height, 0));
  if (picture.width <= 0 || picture.height <= 0 || picture.rgba.size() != pixels * 4)
    return Refuse(Spr2ExchangeError::BadPicture, std::to_string(picture.width) + " x " + std::to_string(picture.height));
  if (!picture.depth.empty() && picture.depth.size() != pixels)
    return Refuse(Spr2ExchangeError::SizeMismatch, "the depth picture");
  if (uint32_t(picture.width) > kMaxFrameSide || uint32_t(picture.height) > kMaxFrameSide)
    return Refuse(Spr2ExchangeError::FrameTooLarge, std::to_string(picture.width) + " x " +
                                                        std::to_string(picture.height) + ", at most " +
                                                        std::to_string(kMaxFrameSide) + " on a side");

  Spr2Frame frame;
  if (append) {
    frame.palette = count ? sprite.frames.back().palette : sprite.GetPaletteId();
    frame.transparentColor = count ? sprite.frames.back().transparentColor : 0;
  } else {
    frame = sprite.frames[index];
  }
  ResourcePalt palette;
  if (!LoadSpr2Palette(file, sprite, frame, palette)) return NoPalette(sprite, frame);

  Spr2Pixels previous;
  const bool keep = !append && frame.width == picture.width && frame.height == picture.height &&
                    DecodeSpr2Pixels(frame, previous);
  Spr2PictureImport options;
  options.previous = keep ? &previous : nullptr;
  Spr2Pixels result;
  const size_t approximated = PictureToSpr2Pixels(picture, palette.colors.data(), options, result);

  GraphicsFailure failure;
  std::vector<uint8_t> stream;
  if (!EncodeSpr2Stream(result, stream, &failure)) return Refuse(Spr2ExchangeError::FrameTooLarge, failure.detail);
  frame.width = static_cast<uint16_t>(picture.width);
  frame.height = static_cast<uint16_t>(picture.height);
  frame.flags = (frame.flags & ~(kSpr2HasColour | kSpr2HasDepth | kSpr2HasAlpha)) | result.ContentFlags();
  frame.pixelStream = std::move(stream);
  // A large frame of a few pixels could not be drawn back.
  if (!frame.SizeFits())
    return Refuse(Spr2ExchangeError::FrameTooLarge, std::to_string(frame.width) + " x " +
                                                        std::to_string(frame.height) + " with few pixels");

  Spr2Exchange done;
  done.approximated = approximated;
  done.frame = append ? count : static_cast<size_t>(index);
  if (append)
    sprite.frames.push_back(std::move(frame));
  else
    sprite.frames[index] = std::move(frame);
  sprite.frameCount = static_cast<uint32_t>(sprite.frames.size());
  return done;
}

}  // namespace scrivet
