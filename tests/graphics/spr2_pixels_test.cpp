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
  EXPECT_TRUE(p.hasDepth);
  EXPECT_EQ(p.opacity, (Bytes{0, 31, 7, 0, 31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 31, 31, 31, 31, 31}));
  EXPECT_EQ(p.index, (Bytes{0, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 8, 7, 6, 5}));
  EXPECT_EQ(p.depth[1], 10);
  EXPECT_EQ(p.depth[4], 22);
  EXPECT_EQ(p.depth[15], 255) << "colour pixels carry no depth";
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 768; ++i) palette[i] = uint8_t(i * 7);
  gtest::ExpectDrawnAsDecoded(frame, p, palette.data(), "fixture");

  std::vector<uint8_t> stream;
  ASSERT_TRUE(EncodeSpr2Stream(p, stream));
  Bytes want;
  auto word = [&](int command, int count) { gtest::Put16(want, uint16_t(command << 13 | count)); };
  word(0, 20);  // the row's bytes up to the skip-rows command
  word(3, 1);
  word(1, 1), want.insert(want.end(), {10, 3});
  word(2, 1), want.insert(want.end(), {20, 4, 7, 0});
  word(3, 1);
  word(1, 1), want.insert(want.end(), {22, 6});
  word(4, 2);
  word(0, 14);  // opaque pixels of a frame with depth are depth pixels, depth 255 here
  word(1, 5), want.insert(want.end(), {255, 9, 255, 8, 255, 7, 255, 6, 255, 5});
  word(5, 0);
  EXPECT_EQ(stream, want);
  Spr2Frame again = frame;
  again.pixelStream = stream;
  Spr2Pixels back;
  ASSERT_TRUE(DecodeSpr2Pixels(again, back));
  EXPECT_EQ(back, p);

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
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(EncodeSpr2Stream(p, a));
    ASSERT_TRUE(EncodeSpr2Stream(p, b));
    EXPECT_EQ(a, b);
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

TEST(Spr2Pixels, RowsTooLongForTheirCountAreRefused) {
  Spr2Pixels p;
  ASSERT_TRUE(p.Allocate(2729, 1));  // 2 + 2 + 3 x 2729 + a pad byte = 8192 bytes
  std::fill(p.opacity.begin(), p.opacity.end(), 5);
  std::vector<uint8_t> stream;
  GraphicsFailure failure;
  EXPECT_FALSE(EncodeSpr2Stream(p, stream, &failure));
  EXPECT_EQ(failure.error, GraphicsError::FrameTooLarge);
  p.opacity.back() = 0;
  ASSERT_TRUE(EncodeSpr2Stream(p, stream));
  EXPECT_EQ(gtest::Bytes(stream.begin(), stream.begin() + 4), (Bytes{0xFC, 0x1F, 0xA8, 0x4A}))
      << "a row of 8188 bytes: 2728 depth-alpha pixels";
  Spr2Frame frame;
  frame.width = uint16_t(p.width);
  frame.height = 1;
  frame.pixelStream = stream;
  Spr2Pixels back;
  ASSERT_TRUE(DecodeSpr2Pixels(frame, back));
  p.Normalize();
  EXPECT_EQ(back, p);
}

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
  EXPECT_EQ(picture.rgba[4 * 31 + 3], 255);
  EXPECT_EQ(picture.rgba[4 * 16 + 3], 132);  // 16 x 255 / 31 = 131.6
  const struct {
    uint8_t alpha, opacity;
  } kCases[] = {{0, 0}, {4, 0}, {5, 1}, {37, 4}, {128, 16}, {250, 30}, {251, 31}, {255, 31}};
  for (const auto& c : kCases) {
    picture.rgba[3] = c.alpha;
    PictureToSpr2Pixels(picture, palette.data(), {}, back);
    EXPECT_EQ(back.opacity[0], c.opacity) << int(c.alpha);
  }
}

// Exact colours take their first index (or the replaced frame's, when it has the same colour),
// others the nearest with ties to the lower index; only those are counted.
TEST(Spr2Pixels, NearestColoursAreCounted) {
  std::vector<uint8_t> palette(768, 0);
  auto set = [&](int i, uint8_t r, uint8_t g, uint8_t b) {
    palette[i * 3] = r, palette[i * 3 + 1] = g, palette[i * 3 + 2] = b;
  };
  for (int i = 0; i < 256; ++i) set(i, 200, 200, 200);
  set(3, 10, 200, 230);
  set(4, 10, 200, 230);
  set(7, 100, 0, 0);
  set(9, 0, 100, 0);
  set(12, 0, 0, 0);
  const struct {
    uint8_t r, g, b, a;
    uint8_t index;
    bool approximated;
  } kPixels[] = {
      {10, 200, 230, 255, 3, false}, {100, 0, 0, 255, 7, false}, {90, 5, 0, 255, 7, true},
      {50, 50, 0, 255, 7, true},  // as far from 7 as from 9
      {51, 50, 0, 0, 0, false},   // transparent: not counted
      {0, 0, 1, 255, 12, true},    {90, 5, 0, 200, 7, true}, {10, 200, 230, 255, 4, false},
  };
  RgbaPicture picture;
  picture.width = int(std::size(kPixels));
  picture.height = 1;
  for (const auto& p : kPixels) picture.rgba.insert(picture.rgba.end(), {p.r, p.g, p.b, p.a});
  Spr2Pixels previous;
  ASSERT_TRUE(previous.Allocate(picture.width, 1));
  previous.opacity.back() = kSpr2Opaque;
  previous.index.back() = 4;
  Spr2PictureImport options;
  options.previous = &previous;
  Spr2Pixels out;
  size_t expected = 0;
  for (const auto& p : kPixels) expected += p.approximated;
  EXPECT_EQ(PictureToSpr2Pixels(picture, palette.data(), options, out), expected);
  for (size_t i = 0; i < std::size(kPixels); ++i) EXPECT_EQ(out.index[i], kPixels[i].index) << i;
}

class Spr2Import : public ::testing::Test {
 protected:
  void SetUp() override {
    file.AddTestPalette(1);
    sprite.paletteId = 2;  // missing: frames draw with their own
    Spr2Frame f;
    f.width = 3;
    f.height = 2;
    f.palette = 1;
    f.flags = 0x103;
    f.originX = 9;
    f.pixelStream = Spr2Stream().NextRow().Depth({{40, 5}, {41, 6}}).NextRow().Skip(1).Depth({{42, 7}}).End().bytes();
    sprite.frames = {f};
    sprite.frameCount = 1;
  }
  Bytes Encoded() {
    Bytes b;
    EXPECT_TRUE(sprite.EncodeToBytes(b));
    return b;
  }
  RgbaPicture Picture(int w, int h, int colour) {
    RgbaPicture p;
    p.width = w;
    p.height = h;
    for (int i = 0; i < w * h; ++i)
      p.rgba.insert(p.rgba.end(), {uint8_t(colour), uint8_t(255 - colour), uint8_t(colour ^ 0x55), 255});
    return p;
  }
  gtest::TestFile file;
  ResourceSpr2 sprite;
};

TEST_F(Spr2Import, ReplacesKeepingDepthOrAppendsWithAFlatOne) {
  RgbaPicture p = Picture(3, 2, 20);
  p.rgba[3] = 100;  // partly transparent
  Spr2Exchange r = ImportSpr2Frame(file.file(), sprite, 0, p);
  ASSERT_TRUE(r.ok()) << r.detail;
  EXPECT_EQ(r.approximated, 0u);
  const Spr2Frame& f = sprite.frames[0];
  EXPECT_EQ(f.flags, 0x107u);
  EXPECT_EQ(f.originX, 9);
  Spr2Pixels px;
  ASSERT_TRUE(DecodeSpr2Pixels(f, px));
  EXPECT_EQ(px.depth, (Bytes{40, 41, kSpr2FlatDepth, kSpr2FlatDepth, 42, kSpr2FlatDepth})) << "old depth kept";

  r = ImportSpr2Frame(file.file(), sprite, -1, Picture(4, 1, 30));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.frame, 1u);
  ASSERT_EQ(sprite.frames.size(), 2u);
  EXPECT_EQ(sprite.frames[1].flags, 3u);
  EXPECT_EQ(sprite.frames[1].palette, 1);
  ASSERT_TRUE(DecodeSpr2Pixels(sprite.frames[1], px));
  EXPECT_EQ(px.depth, Bytes(4, kSpr2FlatDepth));
  EXPECT_EQ(px.index, Bytes(4, 30));

  p = Picture(4, 1, 30);
  p.depth = {1, 2, 3, 4};
  ASSERT_TRUE(ImportSpr2Frame(file.file(), sprite, 2, p).ok());
  ASSERT_TRUE(DecodeSpr2Pixels(sprite.frames[2], px));
  EXPECT_EQ(px.depth, p.depth);
}

TEST_F(Spr2Import, RefusalsLeaveTheSpriteAsItWas) {
  const Bytes before = Encoded();
  RgbaPicture badDepth = Picture(3, 2, 1);
  badDepth.depth.assign(5, 0);
  RgbaPicture shortPlane = Picture(3, 2, 1);
  shortPlane.rgba.pop_back();
  RgbaPicture tooWide = Picture(3000, 1, 1);
  for (size_t i = 3; i < tooWide.rgba.size(); i += 4) tooWide.rgba[i] = 100;  // 3 bytes a pixel
  const struct {
    int index;
    RgbaPicture picture;
    Spr2ExchangeError error;
  } kCases[] = {
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
