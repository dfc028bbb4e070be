// SPR2 frames as pixel planes: the decoder against the rasterizer, the stream encoder, and the
// exchange with RGBA pictures (every real frame's round trip is in the corpus test).

#include <gtest/gtest.h>

#include "graphics/spr2_pixels.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::Spr2Stream;

// A frame of each pixel kind, its planes drawn, and the exact bytes written back.
TEST(Spr2Pixels, DecodeMatchesTheRasterizerAndEncodesToTheGameLayout) {
  Spr2Frame frame;
  frame.width = 5;
  frame.height = 4;
  frame.pixelStream = Spr2Stream()
                          .NextRow()
                          .Skip(1)
                          .Depth({{10, 3}})
                          .Alpha({{20, 4, 7}, {21, 5, 0}, {22, 6, 40}})
                          .SkipRows(2)
                          .NextRow()
                          .Colour({9, 8, 7, 6, 5, 4})  // one pixel past the width
                          .End()
                          .bytes();
  Spr2Pixels p;
  ASSERT_TRUE(DecodeSpr2Pixels(frame, p));
  EXPECT_EQ(p.opacity, (Bytes{0, 31, 7, 0, 31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 31, 31, 31, 31, 31}));
  EXPECT_EQ(p.index, (Bytes{0, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 8, 7, 6, 5}));
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 768; ++i) palette[i] = uint8_t(i * 7);
  gtest::ExpectDrawnAsDecoded(frame, p, palette.data(), "fixture");
  std::vector<uint8_t> stream;
  ASSERT_TRUE(EncodeSpr2Stream(p, stream));
  EXPECT_EQ(stream, Spr2Stream()
                        .Word(0, 20)  // the row's bytes up to the skip-rows command
                        .Skip(1).Depth({{10, 3}}).Alpha({{20, 4, 7}}).Skip(1).Depth({{22, 6}}).SkipRows(2)
                        .Word(0, 14)  // opaque pixels of a frame with depth are depth pixels, depth 255 here
                        .Depth({{255, 9}, {255, 8}, {255, 7}, {255, 6}, {255, 5}}).End().bytes());
  frame.pixelStream = Spr2Stream().NextRow().Word(7, 1).bytes();
  EXPECT_FALSE(DecodeSpr2Pixels(frame, p));
}

// Generated planes of every mix, top rows empty or not: decoding the stream gives them back.
TEST(Spr2Pixels, EncodeThenDecodeGivesTheNormalizedPlanes) {
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int shape = 0; shape < 60; ++shape) {
    Spr2Pixels p;
    ASSERT_TRUE(p.Allocate(1 + int(next() % 40), 1 + int(next() % 30)));
    p.hasDepth = shape % 3 != 0;
    const int kinds = shape % 4;  // 0: opaque only; more: transparent and partial pixels too
    for (size_t i = 0; i < p.Count(); ++i) {
      const unsigned r = next() % 8;
      if (r < unsigned(kinds)) continue;  // transparent
      p.opacity[i] = (kinds > 1 && r == 7) ? uint8_t(1 + next() % 30) : kSpr2Opaque;
      p.index[i] = uint8_t(next());
      p.depth[i] = uint8_t(next());
    }
    if (shape % 5 == 0)
      for (int y = 0; y < std::min(p.height, 3); ++y)
        std::fill_n(p.opacity.begin() + y * p.width, p.width, 0);
    std::vector<uint8_t> a;
    ASSERT_TRUE(EncodeSpr2Stream(p, a));
    Spr2Frame frame;
    frame.width = uint16_t(p.width);
    frame.height = uint16_t(p.height);
    frame.pixelStream = a;
    Spr2Pixels back;
    ASSERT_TRUE(DecodeSpr2Pixels(frame, back));
    p.Normalize();
    ASSERT_EQ(back, p) << "shape " << shape;
    EXPECT_EQ(back.ContentFlags(), 1u | (p.hasDepth ? 2u : 0u) | (p.HasPartialOpacity() ? 4u : 0u));
  }
}

// Refused imports leave the sprite's bytes as they were.
// Opacity 0-31 and alpha 0-255 map both ways by rounding, so every opacity comes back exactly.
TEST(Spr2Pixels, OpacityAndAlphaRoundBothWays) {
  Spr2Pixels p;
  ASSERT_TRUE(p.Allocate(32, 1));
  for (int o = 0; o < 32; ++o) p.opacity[o] = uint8_t(o), p.index[o] = 1;
  std::vector<uint8_t> palette(768, 0);
  RgbaPicture picture;
  Spr2PixelsToPicture(p, palette.data(), picture);
  Spr2Pixels back;
  PictureToSpr2Pixels(picture, palette.data(), {}, back);
  EXPECT_EQ(back.opacity, p.opacity);
  EXPECT_EQ(picture.rgba[4 * 16 + 3], 132);  // 16 x 255 / 31 = 131.6
  for (const auto& [alpha, opacity] : {std::pair{0, 0}, {4, 0}, {5, 1}, {37, 4}, {128, 16}, {250, 30}, {251, 31}}) {
    picture.rgba[3] = uint8_t(alpha);
    PictureToSpr2Pixels(picture, palette.data(), {}, back);
    EXPECT_EQ(back.opacity[0], opacity) << alpha;
  }
}

// Exact colours take their first index (or the replaced frame's, when it has the same colour),
// others the nearest with ties to the lower index; only those are counted.
TEST(Spr2Pixels, NearestColoursAreCounted) {
  std::vector<uint8_t> palette(768, 200);
  auto set = [&](int i, uint8_t r, uint8_t g, uint8_t b) { palette[i * 3] = r, palette[i * 3 + 1] = g, palette[i * 3 + 2] = b; };
  set(3, 10, 200, 230);
  set(4, 10, 200, 230);
  set(7, 100, 0, 0);
  set(9, 0, 100, 0);
  set(12, 0, 0, 0);
  set(20, 180, 5, 0);  // twice the red of a pixel below
  set(2, 60, 200, 0);  // as near to (65, 200, 0) as 5, which the search meets first
  set(5, 70, 200, 0);
  const struct { uint8_t r, g, b, a, index; bool approximated; } kPixels[] = {
      {200, 200, 200, 255, 0, false},  // index 0 is a colour like any other
      {10, 200, 230, 255, 3, false}, {100, 0, 0, 255, 7, false}, {90, 5, 0, 255, 7, true},
      {50, 50, 0, 255, 7, true},  // as far from 7 as from 9
      {51, 50, 0, 0, 0, false},   // transparent: not counted
      {0, 0, 1, 255, 12, true},    {65, 200, 0, 255, 2, true},    {90, 5, 0, 200, 7, true}, {10, 200, 230, 255, 4, false},
  };
  RgbaPicture picture;
  picture.width = int(std::size(kPixels));
  picture.height = 1;
  size_t expected = 0;
  for (const auto& p : kPixels) picture.rgba.insert(picture.rgba.end(), {p.r, p.g, p.b, p.a}), expected += p.approximated;
  Spr2Pixels previous;
  ASSERT_TRUE(previous.Allocate(picture.width, 1));
  previous.opacity.back() = kSpr2Opaque;
  previous.index.back() = 4;
  Spr2PictureImport options;
  options.previous = &previous;
  Spr2Pixels out;
  EXPECT_EQ(PictureToSpr2Pixels(picture, palette.data(), options, out), expected);
  for (size_t i = 0; i < std::size(kPixels); ++i) EXPECT_EQ(out.index[i], kPixels[i].index) << i;
}

// The nearest-colour search, which skips entries by their red, agrees with trying every entry.
TEST(Spr2Pixels, NearestColourMatchesAFullSearch) {
  uint32_t seed = 7;
  auto next = [&] { return uint8_t((seed = seed * 1103515245u + 12345u) >> 16); };
  std::vector<uint8_t> palette(768);
  for (uint8_t& c : palette) c = next() & 0xF8;  // repeated values make ties
  RgbaPicture picture;
  picture.width = 500;
  picture.height = 1;
  for (int i = 0; i < picture.width; ++i) picture.rgba.insert(picture.rgba.end(), {next(), next(), next(), 255});
  Spr2Pixels out;
  PictureToSpr2Pixels(picture, palette.data(), {}, out);
  std::vector<uint8_t> expected;
  for (int i = 0; i < picture.width; ++i) {
    int best = 1 << 30, bestIndex = 0;
    for (int e = 0; e < 256; ++e) {
      int d = 0;
      for (int c = 0; c < 3; ++c) d += (palette[e * 3 + c] - picture.rgba[i * 4 + c]) * (palette[e * 3 + c] - picture.rgba[i * 4 + c]);
      if (d < best) best = d, bestIndex = e;
    }
    expected.push_back(uint8_t(bestIndex));
  }
  EXPECT_EQ(out.index, expected);
}

TEST(Spr2Import, RefusalsLeaveTheSpriteAsItWas) {
  gtest::TestFile file;
  file.AddTestPalette(1);
  ResourceSpr2 sprite;
  sprite.paletteId = 2;  // missing: frames draw with their own
  sprite.frames.resize(1);
  Spr2Frame& f = sprite.frames[0];
  f.width = 3;
  f.height = 2;
  f.palette = 1;
  f.flags = 0x103;
  f.pixelStream = Spr2Stream().NextRow().Depth({{40, 5}, {41, 6}}).NextRow().Skip(1).Depth({{42, 7}}).End().bytes();
  auto Encoded = [&] {
    Bytes b;
    EXPECT_TRUE(sprite.EncodeToBytes(b));
    return b;
  };
  auto Picture = [](int w, int h, int colour) {
    RgbaPicture p;
    p.width = w;
    p.height = h;
    for (int i = 0; i < w * h; ++i)
      p.rgba.insert(p.rgba.end(), {uint8_t(colour), uint8_t(255 - colour), uint8_t(colour ^ 0x55), 255});
    return p;
  };
  const Bytes before = Encoded();
  RgbaPicture badDepth = Picture(3, 2, 1);
  badDepth.depth.assign(5, 0);
  RgbaPicture shortPlane = Picture(3, 2, 1);
  shortPlane.rgba.pop_back();
  RgbaPicture tooWide = Picture(3000, 1, 1);
  for (size_t i = 3; i < tooWide.rgba.size(); i += 4) tooWide.rgba[i] = 100;  // 3 bytes a pixel
  const struct { int index; RgbaPicture picture; Spr2ExchangeError error; } kCases[] = {
      {2, Picture(3, 2, 1), Spr2ExchangeError::NoSuchFrame},
      {0, badDepth, Spr2ExchangeError::SizeMismatch},
      {0, shortPlane, Spr2ExchangeError::BadPicture},
      {0, RgbaPicture{}, Spr2ExchangeError::BadPicture},
      {0, Picture(4097, 1, 1), Spr2ExchangeError::FrameTooLarge},
      {0, tooWide, Spr2ExchangeError::FrameTooLarge},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ImportSpr2Frame(file.file(), sprite, c.index, c.picture).error, c.error) << int(c.error);
    EXPECT_EQ(Encoded(), before);
  }
  sprite.frames[0].palette = 5;
  sprite.paletteId = 6;
  const Bytes noPalette = Encoded();
  EXPECT_EQ(ImportSpr2Frame(file.file(), sprite, 0, Picture(3, 2, 1)).error, Spr2ExchangeError::NoPalette);
  RgbaPicture out;
  EXPECT_EQ(ExportSpr2Frame(file.file(), sprite, 0, out).error, Spr2ExchangeError::NoPalette);
  EXPECT_EQ(ExportSpr2Frame(file.file(), sprite, 1, out).error, Spr2ExchangeError::NoSuchFrame);
  EXPECT_EQ(Encoded(), noPalette);
}

}  // namespace
}  // namespace scrivet
