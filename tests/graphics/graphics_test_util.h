#pragma once
// Fixtures for the graphics tests, all built in code: byte builders, palettes, SPR2 streams and
// an in-memory container holding them.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr2.h"
#include "graphics/rasterizer.h"
#include "graphics/spr2_pixels.h"

namespace scrivet::gtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void Put32(Bytes& b, uint32_t v) {
  b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

template <typename R>
bool DecodeBytes(R& resource, const Bytes& bytes, uint16_t flags = 0x0010) {
  IffChunk& chunk = resource.Chunk();
  chunk.Assign(bytes.data(), bytes.size());
  chunk.flags = flags;
  return resource.Decode();
}

template <typename R>
Bytes EncodeBytes(R& resource) {
  EXPECT_TRUE(resource.Encode());
  const IffChunk& chunk = resource.Chunk();
  return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

// Palette entry i is (i, 255 - i, i ^ 0x55).
inline void FillTestPalette(ResourcePalt& p) {
  for (int i = 0; i < 256; ++i) {
    p.colors[i * 3] = uint8_t(i);
    p.colors[i * 3 + 1] = uint8_t(255 - i);
    p.colors[i * 3 + 2] = uint8_t(i ^ 0x55);
  }
}

inline uint32_t PaletteRgb(const ResourcePalt& p, int i) {
  return uint32_t(p.colors[i * 3]) << 16 | uint32_t(p.colors[i * 3 + 1]) << 8 | p.colors[i * 3 + 2];
}

// SPR2 pixel stream builder; pads to even after pixel commands as the format wants.
class Spr2Stream {
 public:
  Spr2Stream& Word(int command, int count) {
    Put16(bytes_, uint16_t(command << 13 | count));
    return *this;
  }
  Spr2Stream& NextRow() { return Word(0, 0); }
  Spr2Stream& SkipRows(int n) { return Word(4, n); }
  Spr2Stream& Skip(int n) { return Word(3, n); }
  Spr2Stream& End() { return Word(5, 0); }
  // Command 1: (depth, colour) pairs.
  Spr2Stream& Depth(std::initializer_list<std::pair<int, int>> px) {
    Word(1, int(px.size()));
    for (auto [d, c] : px) bytes_.insert(bytes_.end(), {uint8_t(d), uint8_t(c)});
    return Pad();
  }
  // Command 2: (depth, colour, alpha) triples.
  struct Dca {
    int depth, colour, alpha;
  };
  Spr2Stream& Alpha(std::initializer_list<Dca> px) {
    Word(2, int(px.size()));
    for (const Dca& p : px) bytes_.insert(bytes_.end(), {uint8_t(p.depth), uint8_t(p.colour), uint8_t(p.alpha)});
    return Pad();
  }
  // Command 6: colours.
  Spr2Stream& Colour(std::initializer_list<int> px) {
    Word(6, int(px.size()));
    for (int c : px) bytes_.push_back(uint8_t(c));
    return Pad();
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Spr2Stream& Pad() {
    if (bytes_.size() & 1) bytes_.push_back(0);
    return *this;
  }
  Bytes bytes_;
};

// The rasterizer draws what the decoded planes say: on black with blending off, the palette
// colour, the opacity as coverage and the depth byte of every drawn pixel, and nothing else.
inline void ExpectDrawnAsDecoded(const Spr2Frame& frame, const Spr2Pixels& p, const uint8_t* palette,
                                 const std::string& what) {
  SpriteCanvas c(frame.height, frame.width, 32);
  ASSERT_TRUE(c.Allocate(true, false));
  c.blend = false;
  c.Clear(0, 255);
  ASSERT_TRUE(DrawSpr2Frame(c, frame.pixelStream.data(), frame.pixelStream.size(), palette, frame.width));
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const size_t i = size_t(y) * p.width + x;
      const uint8_t* rgb = palette + p.index[i] * 3;
      const uint32_t want = p.Drawn(i) ? uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2] : 0;
      ASSERT_EQ(c.MaskRow(y)[x], p.Drawn(i) ? Spr2Opacity(p.opacity[i]) : 0) << what << " at " << x << "," << y;
      ASSERT_EQ(c.PixelRgb(x, y), want) << what << " at " << x << "," << y;
      ASSERT_EQ(c.DepthRow(y)[x], p.depth[i]) << what << " at " << x << "," << y;
    }
}

// A container in memory with a drawable palette and resources added by encoding them.
class TestFile {
 public:
  TestFile() : file_(IffFile::CreateEmpty(false)) {}
  IffFile& file() { return *file_; }
  void AddTestPalette(uint16_t id) {
    ResourcePalt p;
    FillTestPalette(p);
    Add(p, id);
  }
  template <typename R>
  void Add(R& resource, uint16_t id) {
    Bytes bytes;
    ASSERT_TRUE(resource.EncodeToBytes(bytes));
    ASSERT_NE(file_->AddChunk(R::kType, id, "", bytes.data(), bytes.size()), nullptr);
  }
  // An SPR2 with one frame per stream, all of the given size and palette.
  void AddSpr2(uint16_t id, uint16_t paletteId, std::initializer_list<std::pair<std::pair<int, int>, Bytes>> frames) {
    ResourceSpr2 s;
    s.paletteId = paletteId;
    for (const auto& [size, stream] : frames) {
      s.frames.emplace_back();
      s.frames.back().width = uint16_t(size.first);
      s.frames.back().height = uint16_t(size.second);
      s.frames.back().palette = paletteId;
      s.frames.back().pixelStream = stream;
    }
    Add(s, id);
  }

 private:
  std::unique_ptr<IffFile> file_;
};

}  // namespace scrivet::gtest
