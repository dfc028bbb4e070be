// What the previews show: the position after centring and dragging, a draw-group image on a
// client-size canvas, and canvas planes turned into 32-bit screen pixels.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/preview.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Spr2Stream;

TEST(PreviewPlacement, DisplacementCountsFromTheLastCentring) {
  PreviewPlacement p;
  p.CenterOnBounds(101, 40, DgrpRect{});
  EXPECT_EQ(p.Position(), (DrawPosition{51, 20})) << "the empty box centres at the middle, rounded up";
  p.DragBy(5, -3);
  p.DragBy(-1, -1);
  EXPECT_EQ(p.Displacement(), (PreviewPlacement::Offset{4, -4}));
  EXPECT_EQ(p.Position(), (DrawPosition{55, 16}));
  p.CenterBitmap(100, 80, 31, 90);
  EXPECT_EQ(p.Displacement(), (PreviewPlacement::Offset{0, 0}));
  EXPECT_EQ(p.Position(), (DrawPosition{34, -5}));
  // Dragging stops at the end of the range instead of wrapping.
  p.DragBy(2147483647, 0);
  p.DragBy(2147483647, 0);
  EXPECT_EQ(p.Position().x, 2147483647);
  EXPECT_EQ(p.Displacement().x, 2147483647 - 34);
  // A box at the ends of the range centres one step past them and is held at the end.
  p.CenterOnBounds(0, 0, DgrpRect{-2147483647 - 1, 0, -2147483647 - 1, 0});
  EXPECT_EQ(p.Position().x, 2147483647);
}

// One pixel of a known colour at every depth and through the display plane: each channel lands in
// its own byte of 0xFFRRGGBB, and 15/16-bit channels keep their stored bits.
TEST(CanvasPixels, EveryDepthGivesOpaqueRgb32TopRowFirst) {
  const uint32_t colour = 0x9C3E6E;  // green's bit 2 tells 5-6-5 from 5-5-5
  struct Case {
    int depth;
    CanvasPlane plane;
    uint32_t expected;
  } cases[] = {
      {32, CanvasPlane::Color, 0xFF9C3E6E},
      {24, CanvasPlane::Color, 0xFF9C3E6E},
      {16, CanvasPlane::Color, 0xFF983C68},
      {15, CanvasPlane::Color, 0xFF983868},
      {16, CanvasPlane::Display, 0xFF983C68},
      {24, CanvasPlane::Display, 0xFF9C3E6E},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits, plane " << int(c.plane));
    SpriteCanvas canvas(2, 3, c.depth);
    ASSERT_TRUE(canvas.Allocate());
    canvas.Clear(0x000000);
    SpriteCanvas one(1, 1, c.depth);
    ASSERT_TRUE(one.Allocate());
    one.Clear(colour);
    // The top row's last pixel gets the colour; stored rows are bottom-up.
    std::copy_n(one.ColorRow(0), canvas.BytesPerPixel(), canvas.ColorRow(0) + 2 * canvas.BytesPerPixel());
    if (c.plane == CanvasPlane::Display) {
      ASSERT_TRUE(canvas.ToDisplay());
    }
    std::vector<uint32_t> out(2 * 4, 0);
    ASSERT_TRUE(CanvasToRgb32(canvas, c.plane, out.data(), 4));
    EXPECT_EQ(out[2], c.expected);
    EXPECT_EQ(out[0], 0xFF000000u);
    EXPECT_EQ(out[4 + 2], 0xFF000000u) << "the second row starts one stride on";
    EXPECT_EQ(out[3], 0u) << "padding past the width is not written";
  }
  SpriteCanvas bare(2, 2, 32);
  std::vector<uint32_t> out(4);
  EXPECT_FALSE(CanvasToRgb32(bare, CanvasPlane::Color, out.data(), 2)) << "no planes";
  EXPECT_FALSE(CanvasToPremultipliedArgb(bare, out.data(), 2));
}

TEST(CanvasPixels, PremultipliedAlphaCapsEachChannelAtTheMask) {
  SpriteCanvas canvas(1, 2, 32);
  ASSERT_TRUE(canvas.Allocate());
  canvas.Clear(0x80FF10);
  canvas.MaskRow(0)[0] = 0x40;
  canvas.MaskRow(0)[1] = 0xFF;
  uint32_t out[2];
  ASSERT_TRUE(CanvasToPremultipliedArgb(canvas, out, 2));
  EXPECT_EQ(out[0], 0x40404010u);
  EXPECT_EQ(out[1], 0xFF80FF10u);
}

// The preview of a real composition: background where nothing is drawn, the frame at the
// position, a missing sprite reported, and an image without sprites just blank.
TEST(PreviewCanvas, DrawsTheImageAtThePositionOverTheBackground) {
  gtest::TestFile tf;
  tf.AddTestPalette(1);
  tf.AddSpr2(100, 1, {{{2, 1}, Spr2Stream().NextRow().Colour({7, 9}).End().bytes()}});
  DgrpImage image;
  DgrpSprite s;
  s.spriteId = 100;
  s.pixelX = 1;
  s.pixelY = 1;  // the frame's row sits just above row 1
  image.sprites = {s};
  SpriteCanvas canvas;
  ASSERT_TRUE(PreparePreviewCanvas(canvas, 5, 4, 32, 0x123456, DrawPosition{2, 2}));
  ASSERT_TRUE(DrawPreviewImage(tf.file(), image, canvas));
  std::vector<uint32_t> out(5 * 4);
  ASSERT_TRUE(CanvasToRgb32(canvas, CanvasPlane::Color, out.data(), 5));
  ResourcePalt palette;
  gtest::FillTestPalette(palette);
  EXPECT_EQ(out[2 * 5 + 3] & 0xFFFFFF, gtest::PaletteRgb(palette, 7));
  EXPECT_EQ(out[2 * 5 + 4] & 0xFFFFFF, gtest::PaletteRgb(palette, 9));
  EXPECT_EQ(out[2 * 5 + 2] & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(out[3 * 5 + 3] & 0xFFFFFF, 0x123456u);

  // Reused canvas: a second paint starts from the background again.
  const uint8_t* planes = canvas.color.data();
  ASSERT_TRUE(PreparePreviewCanvas(canvas, 5, 4, 32, 0x123456, DrawPosition{0, 0}));
  EXPECT_EQ(canvas.color.data(), planes) << "repainting at the same size allocates nothing";
  EXPECT_EQ(canvas.PixelRgb(3, 2), 0x123456u);

  GraphicsFailure failure;
  image.sprites[0].spriteId = 101;
  EXPECT_FALSE(DrawPreviewImage(tf.file(), image, canvas, &failure));
  EXPECT_EQ(failure.error, GraphicsError::MissingSprite);
  image.sprites.clear();
  EXPECT_TRUE(DrawPreviewImage(tf.file(), image, canvas));
  EXPECT_FALSE(PreparePreviewCanvas(canvas, 5, 4, 8, 0, {}, &failure));
  EXPECT_TRUE(PreparePreviewCanvas(canvas, 0, 4, 32, 0, {})) << "a collapsed preview draws nothing";
}

}  // namespace
}  // namespace scrivet
