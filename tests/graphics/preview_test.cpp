// What the previews show: a draw-group image on a client-size canvas, and canvas planes turned into
// 32-bit screen pixels.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/preview.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Spr2Stream;

// One pixel of a known colour at every depth and through the display plane: each channel lands in
// its own byte of 0xFFRRGGBB, and 15/16-bit channels keep their stored bits.
TEST(CanvasPixels, EveryDepthGivesOpaqueRgb32TopRowFirst) {
  const uint32_t colour = 0x9C3E6E;  // green's bit 2 tells 5-6-5 from 5-5-5
  const struct Case {
    int depth;
    CanvasPlane plane;
    uint32_t expected;
  } cases[] = {{32, CanvasPlane::Color, 0xFF9C3E6E},   {24, CanvasPlane::Color, 0xFF9C3E6E},
               {16, CanvasPlane::Color, 0xFF983C68},   {15, CanvasPlane::Color, 0xFF983868},
               {16, CanvasPlane::Display, 0xFF983C68}, {24, CanvasPlane::Display, 0xFF9C3E6E}};
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
    ASSERT_TRUE(c.plane == CanvasPlane::Color || canvas.ToDisplay());
    std::vector<uint32_t> out(2 * 4, 0);
    ASSERT_TRUE(CanvasToRgb32(canvas, c.plane, out.data(), 4));
    EXPECT_EQ(out, (std::vector<uint32_t>{0xFF000000u, 0xFF000000u, c.expected, 0, 0xFF000000u, 0xFF000000u,
                                          0xFF000000u, 0}));
  }
  // The depth and mask views show their plane as grey.
  for (const int mode : {1, 2}) {
    SpriteCanvas grey(1, 2, 24);
    ASSERT_TRUE(grey.Allocate());
    (mode == 1 ? grey.depth : grey.mask)[1] = 0x5A;
    grey.viewMode = mode;
    std::vector<uint32_t> out(2);
    ASSERT_TRUE(grey.ToDisplay() && CanvasToRgb32(grey, CanvasPlane::Display, out.data(), 2));
    EXPECT_EQ(out[1], 0xFF5A5A5Au) << mode;
  }
  SpriteCanvas bare(2, 2, 32);
  std::vector<uint32_t> out(4);
  EXPECT_FALSE(CanvasToRgb32(bare, CanvasPlane::Color, out.data(), 2)) << "no planes";
}

// The preview of a real composition: background where nothing is drawn, the frame at the
// position and a missing sprite reported.
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
  // Palette entry i is (i, 255 - i, i ^ 0x55).
  EXPECT_EQ(std::vector<uint32_t>(out.begin() + 10, out.begin() + 20),
            (std::vector<uint32_t>{0xFF123456, 0xFF123456, 0xFF123456, 0xFF07F852, 0xFF09F65C, 0xFF123456,
                                   0xFF123456, 0xFF123456, 0xFF123456, 0xFF123456}));
  // Reused canvas: a second paint starts from the background again.
  ASSERT_TRUE(PreparePreviewCanvas(canvas, 5, 4, 32, 0x123456, DrawPosition{0, 0}));
  EXPECT_EQ(canvas.PixelRgb(3, 2), 0x123456u);
  GraphicsFailure failure;
  image.sprites[0].spriteId = 101;
  EXPECT_FALSE(DrawPreviewImage(tf.file(), image, canvas, &failure));
  EXPECT_EQ(failure.error, GraphicsError::MissingSprite);
}

}  // namespace
}  // namespace scrivet
