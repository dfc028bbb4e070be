// Rasterizers, blending and the canvas: depth tests, clipping, mirroring, opacity, packing.

#include "graphics/rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "codecs/resource_spr.h"
#include "graphics/sprite_canvas.h"
#include "graphics/sprite_render.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::Spr2Stream;

// The blend as the formula states it, in double precision.
uint8_t BlendByFormula(int d, int s, int a) {
  const double k = static_cast<double>(static_cast<float>(1.0 / 255.0));
  return static_cast<uint8_t>(std::trunc(s + static_cast<double>((d - s) * a) * k));
}

TEST(BlendTable, EveryEntryMatchesTheFormula) {
  std::unique_ptr<uint8_t[]> table(new uint8_t[size_t(1) << 24]);
  BlendTable::Fill(table.get());
  size_t mismatches = 0;
  for (int d = 0; d < 256; ++d)
    for (int s = 0; s < 256; ++s)
      for (int a = 0; a < 256; ++a) {
        const uint8_t want = BlendByFormula(d, s, a);
        const uint8_t got = table[(d << 16) | (s << 8) | a];
        if (got != want && ++mismatches < 5) ADD_FAILURE() << d << ' ' << s << ' ' << a;
        if (BlendDirect(uint8_t(d), uint8_t(s), uint8_t(a)) != want && ++mismatches < 5)
          ADD_FAILURE() << "direct " << d << ' ' << s << ' ' << a;
      }
  EXPECT_EQ(mismatches, 0u);
}

TEST(BlendTable, BuiltTableServesBlendAndOpacityScales) {
  ASSERT_TRUE(BlendTable::Instance().Build());
  EXPECT_EQ(Blend(200, 10, 255), 200) << "a = 255 keeps a lighter destination";
  EXPECT_EQ(Blend(0, 255, 128), BlendByFormula(0, 255, 128));
  const std::pair<int, int> opacities[] = {{0, 0},     {1, 8},     {11, 90},   {15, 123},
                                           {16, 132}, {30, 247}, {31, 255}, {255, 255}};
  for (auto [o, scaled] : opacities) EXPECT_EQ(Spr2Opacity(uint8_t(o)), scaled) << o;
}

class Raster : public ::testing::Test {
 protected:
  Raster() { gtest::FillTestPalette(palette_); }
  SpriteCanvas Canvas(int h, int w, int bits = 32, uint32_t background = 0x102030) {
    SpriteCanvas c(h, w, bits);
    EXPECT_TRUE(c.Allocate());
    c.Clear(background, 255);
    return c;
  }
  bool Draw2(SpriteCanvas& c, const Spr2Stream& s, int frameWidth = 0) {
    return DrawSpr2Frame(c, s.bytes().data(), s.bytes().size(), palette_.colors.data(), frameWidth);
  }
  bool Draw1(SpriteCanvas& c, const Bytes& s, int frameWidth = 0) {
    return DrawSprFrame(c, s.data(), s.size(), palette_.colors.data(), frameWidth);
  }
  uint32_t Rgb(int i) const { return gtest::PaletteRgb(palette_, i); }
  ResourcePalt palette_;
};

TEST_F(Raster, DepthTestTiesGoToTheLaterPixel) {
  for (int offset : {0, 50}) {
    SpriteCanvas c = Canvas(1, 1);
    c.depthOffset = offset;
    ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Depth({{200, 1}}).End()));
    EXPECT_EQ(c.DepthRow(0)[0], 200 + offset);
    ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Depth({{200, 2}}).End()));
    EXPECT_EQ(c.PixelRgb(0, 0), Rgb(2)) << "equal depth: drawn";
    ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Depth({{201, 3}}).End()));
    EXPECT_EQ(c.PixelRgb(0, 0), Rgb(2)) << "farther: not drawn";
    ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Alpha({{200, 5, 31}}).End()));
    EXPECT_EQ(c.PixelRgb(0, 0), Rgb(5)) << "alpha pixels win ties too";
  }
}

// A 4 x 4 frame of colour 20 + row * 4 + column drawn at every offset that cuts an edge, in every
// member: exactly the overlapping pixels change, and to the right colours.
TEST_F(Raster, ClipsAtEveryEdgeInEveryMember) {
  Spr2Stream s2;
  Bytes s1;
  for (int r = 0; r < 4; ++r) {
    s2.NextRow().Depth({{1, 20 + r * 4}, {1, 21 + r * 4}}).Colour({22 + r * 4, 23 + r * 4});
    s1.insert(s1.end(),
              {4, 0, 3, 4, uint8_t(20 + r * 4), uint8_t(21 + r * 4), uint8_t(22 + r * 4), uint8_t(23 + r * 4)});
  }
  s2.End();
  s1.insert(s1.end(), {5, 0});
  const int depths[] = {15, 16, 24, 32}, offsets[] = {-3, -1, 0, 2, 3, 4};
  for (int k = 0; k < 4 * 2 * 2 * 6 * 6; ++k) {  // every depth, mirroring, member and offset pair
    const int bits = depths[k % 4], dx = offsets[k / 16 % 6], dy = offsets[k / 96];
    const bool mirrored = k / 4 % 2, spr2 = k / 8 % 2;
    SpriteCanvas c = Canvas(4, 3, bits, 0xFFFFFF);
    c.drawX = dx;
    c.drawY = dy;
    c.mirrored = mirrored;
    ASSERT_TRUE(spr2 ? Draw2(c, s2, 4) : Draw1(c, s1, 4));
    SpriteCanvas expect = Canvas(1, 1, bits);  // for packing the expected colours
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 3; ++x) {
        const int fr = y - dy, fc = mirrored ? 3 - (x - dx) : x - dx;
        const bool inside = fr >= 0 && fr < 4 && fc >= 0 && fc < 4;
        ASSERT_EQ(c.MaskRow(y)[x], inside ? 255 : 0) << "case " << k << " pixel " << x << ',' << y;
        if (!inside) continue;
        expect.Clear(Rgb(20 + fr * 4 + fc));
        ASSERT_EQ(c.PixelRgb(x, y), expect.PixelRgb(0, 0)) << "case " << k;
      }
  }
}

TEST_F(Raster, MirroredRowsStartAtTheFrameWidthAndSkipsGoLeft) {
  SpriteCanvas c = Canvas(1, 6);
  c.mirrored = true;
  ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Colour({1}).Skip(2).Colour({2, 3}).End(), 5));
  EXPECT_EQ(c.PixelRgb(4, 0), Rgb(1));
  EXPECT_EQ(c.MaskRow(0)[3], 0);
  EXPECT_EQ(c.PixelRgb(1, 0), Rgb(2));
  EXPECT_EQ(c.PixelRgb(0, 0), Rgb(3));
  EXPECT_EQ(c.MaskRow(0)[5], 0);
}

TEST_F(Raster, AlphaIsAnOpacityOnAThirtyOneScale) {
  const uint32_t bg = 0x102030;
  // Alpha 0 changes nothing, not even depth; 31 and above are opaque.
  SpriteCanvas c = Canvas(1, 3, 32, bg);
  ASSERT_TRUE(Draw2(c, Spr2Stream().NextRow().Alpha({{10, 1, 0}, {10, 2, 31}, {10, 3, 255}}).End()));
  EXPECT_EQ(Bytes(c.DepthRow(0), c.DepthRow(0) + 3), (Bytes{255, 10, 10}));
  EXPECT_EQ(Bytes(c.MaskRow(0), c.MaskRow(0) + 3), (Bytes{0, 255, 255}));
  EXPECT_EQ(c.PixelRgb(0, 0), bg);
  EXPECT_EQ(c.PixelRgb(2, 0), Rgb(3));
  SpriteCanvas half = Canvas(1, 1, 32, bg);
  ASSERT_TRUE(Draw2(half, Spr2Stream().NextRow().Alpha({{10, 200, 15}}).End()));
  const uint8_t keep = 255 - 123;
  const uint32_t pal = Rgb(200);
  const uint32_t expected = uint32_t(BlendDirect(0x10, uint8_t(pal >> 16), keep)) << 16 |
                            uint32_t(BlendDirect(0x20, uint8_t(pal >> 8), keep)) << 8 |
                            BlendDirect(0x30, uint8_t(pal), keep);
  EXPECT_EQ(half.PixelRgb(0, 0), expected);
  EXPECT_EQ(half.MaskRow(0)[0], BlendDirect(0, 255, keep));
  EXPECT_EQ(half.DepthRow(0)[0], 10);
}

TEST_F(Raster, PacksAndBlendsAtEachDepth) {
  // Palette entry 200 is (200, 55, 157).
  struct Case { int bits; Bytes stored; };
  const Case cases[] = {
      {15, {uint8_t((6 << 5) | 19), uint8_t((25 << 2) | (6 >> 3))}},
      {16, {uint8_t((13 << 5) | 19), uint8_t((25 << 3) | (13 >> 3))}},
      {24, {157, 55, 200}},
      {32, {157, 55, 200, 0}},
  };
  for (const Case& c : cases) {
    // A background whose channels differ in every bit a wrong shift would move.
    const uint32_t background = 0x3C78B4;
    SpriteCanvas canvas = Canvas(1, 2, c.bits, background);
    ASSERT_TRUE(Draw2(canvas, Spr2Stream().NextRow().Depth({{0, 200}}).Alpha({{0, 200, 16}}).End()));
    EXPECT_EQ(Bytes(canvas.ColorRow(0), canvas.ColorRow(0) + c.stored.size()), c.stored) << c.bits;
    // The blended pixel: the background unpacked at this depth, mixed, packed again.
    const uint32_t w = Canvas(1, 1, c.bits, background).PixelRgb(0, 0);
    const uint8_t keep = 255 - Spr2Opacity(16);
    SpriteCanvas expect = Canvas(1, 1, c.bits);
    expect.Clear(uint32_t(BlendDirect(uint8_t(w >> 16), 200, keep)) << 16 |
                 uint32_t(BlendDirect(uint8_t(w >> 8), 55, keep)) << 8 | BlendDirect(uint8_t(w), 157, keep));
    EXPECT_EQ(canvas.PixelRgb(1, 0), expect.PixelRgb(0, 0)) << c.bits;
  }
}

TEST_F(Raster, StreamsStopAtTheCanvasBottomAndAtTheirLastByte) {
  SpriteCanvas c = Canvas(2, 2);
  Spr2Stream rows;
  for (int r = 0; r < 50; ++r) rows.NextRow().Colour({r});
  EXPECT_TRUE(Draw2(c, rows)) << "no end command: stops below the canvas";
  EXPECT_EQ(c.PixelRgb(0, 1), Rgb(1));
  // Cut in the middle of a pixel command: the whole pixels draw, then the draw stops.
  Bytes cut = Spr2Stream().NextRow().Depth({{1, 7}, {1, 8}}).bytes();
  cut.resize(cut.size() - 1);
  SpriteCanvas d = Canvas(1, 2);
  EXPECT_TRUE(DrawSpr2Frame(d, cut.data(), cut.size(), palette_.colors.data()));
  EXPECT_EQ(d.PixelRgb(0, 0), Rgb(7));
  for (auto draw : {&DrawSprFrame, &DrawSpr2Frame}) EXPECT_FALSE(draw(d, cut.data(), cut.size(), nullptr, 0));
  // Planes too small for the canvas: SPR2 needs depth; a depth plane, when there is one, must fit.
  d.depth.clear();
  EXPECT_FALSE(DrawSpr2Frame(d, cut.data(), cut.size(), palette_.colors.data()));
  d.depth.resize(1);
  EXPECT_FALSE(DrawSprFrame(d, cut.data(), cut.size(), palette_.colors.data()));
  EXPECT_EQ(d.MaskRow(0)[1], 0);
  // A huge skip-rows count and huge columns go nowhere.
  SpriteCanvas e = Canvas(2, 2);
  EXPECT_TRUE(Draw2(e, Spr2Stream().NextRow().Skip(8191).Colour({1}).SkipRows(8191).Colour({2}).End()));
  EXPECT_EQ(e.MaskRow(0)[0], 0);
  // SPR# skip-rows 2 from row 0 lands on row 2.
  SpriteCanvas g = Canvas(3, 1);
  EXPECT_TRUE(Draw1(g, {4, 6, 3, 1, 1, 0, 9, 2, 3, 1, 1, 0, 5, 0}));
  EXPECT_EQ(g.MaskRow(1)[0], 0);
  EXPECT_EQ(g.MaskRow(2)[0], 255);
}

// Clearing packs the colour into every pixel at each depth (5-bit channels at 15 bits, 5-6-5 at 16),
// and allocating cleared gives the same planes.
TEST(SpriteCanvas, ClearFillsEveryPixelAtEachDepth) {
  const std::pair<int, uint32_t> depths[] = {{15, 0xF88040}, {16, 0xF88440}, {24, 0xFF8442}, {32, 0xFF8442}};
  for (const auto& [bits, stored] : depths) {
    SCOPED_TRACE(bits);
    SpriteCanvas c(3, 5, bits);
    ASSERT_TRUE(c.Allocate());
    c.Clear(0xFF8442, 7);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) ASSERT_EQ(c.PixelRgb(x, y), stored) << x << ',' << y;
    EXPECT_EQ(c.depth, std::vector<uint8_t>(c.depth.size(), 7));
    SpriteCanvas fresh(3, 5, bits);
    ASSERT_TRUE(fresh.Allocate());
    EXPECT_EQ(fresh.depth, std::vector<uint8_t>(fresh.depth.size(), 255)) << "a new canvas is farthest away";
    SpriteCanvas same(3, 5, bits);
    ASSERT_TRUE(same.AllocateCleared(0xFF8442, 7));
    EXPECT_TRUE(same.color == c.color && same.depth == c.depth && same.mask == c.mask);
  }
}

TEST(FrameDrawing, PalettesAreLookedUpInTheFileAndPlanesRendered) {
  gtest::TestFile tf;
  tf.AddTestPalette(5);
  Spr2Frame frame;
  frame.width = frame.height = 1;
  frame.palette = 99;
  frame.pixelStream = Spr2Stream().NextRow().Colour({1}).End().bytes();
  SpriteCanvas c(1, 1, 24);
  ASSERT_TRUE(c.Allocate());
  EXPECT_TRUE(DrawSpr2FrameFromFile(tf.file(), frame, 5, c)) << "missing frame palette: the fallback";
  EXPECT_FALSE(DrawSpr2FrameFromFile(tf.file(), frame, 7, c));
  tf.AddTestPalette(6);
  frame.palette = 6;
  EXPECT_TRUE(DrawSpr2FrameFromFile(tf.file(), frame, 7, c)) << "the frame's own palette when the file has it";
  // Rendered, the depth and opacity planes come out as their own bitmaps.
  ResourceSpr2 sprite;
  frame.width = 2;
  frame.pixelStream = Spr2Stream().NextRow().Alpha({{40, 1, 31}, {60, 2, 0}}).End().bytes();
  sprite.frames = {frame};
  RenderedBitmap colour, depth, alpha;
  ASSERT_TRUE(RenderFrame(tf.file(), sprite, 0, 0, 32, colour, depth, alpha));
  EXPECT_EQ(Bytes(depth.bits.begin(), depth.bits.begin() + 2), (Bytes{40, 255}));
  EXPECT_EQ(Bytes(alpha.bits.begin(), alpha.bits.begin() + 2), (Bytes{255, 0}));
}

// A frame's size is weighed against its stream before anything is allocated for it: at most 4096
// on a side, and no more pixels than its commands can account for, each a run or a row's end,
// plus the rest of one more row.
TEST(FrameSize, AtAndPastTheLimits) {
  struct Case { const char* what; uint32_t width, height; size_t bytes; uint32_t run; bool fits; };
  const Case cases[] = {
      {"512 x 512 fits whatever its stream (a transparent frame)", 512, 512, 2, 255, true},
      {"past it, SPR2: 33 commands of 8191 cover 4096 x 65", 4096, 65, 64, 8191, true},
      {"32 commands do not", 4096, 65, 62, 8191, false},
      {"an odd byte is no command", 4096, 65, 63, 8191, false},
      {"SPR#: a command ends a row of 4096", 4096, 65, 128, 255, true},
      {"one command less", 4096, 65, 126, 255, false},
      {"narrow rows count runs of 255", 100, 2622, 2 * 1028, 255, true},
      {"one command less", 100, 2622, 2 * 1027, 255, false},
      {"4096 wide", 4096, 1, 0, 255, true},
      {"4097 wide", 4097, 1, 100000, 255, false},
      {"4097 high", 1, 4097, 100000, 8191, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameSizeFits(c.width, c.height, c.bytes, c.run), c.fits) << c.what;
}

}  // namespace
}  // namespace scrivet
