// Draw-group composition and bounds, the centring arithmetic, and the BMP frame exchange.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "core/byte_order.h"
#include "core/stream.h"
#include "codecs/resource_dgrp.h"
#include "graphics/draw_group.h"
#include "codecs/resource_spr.h"
#include "graphics/sprite_bmp.h"
#include "graphics/sprite_canvas.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::Spr2Stream;

// Sprite 100: frame 0 is 2 x 2 of colour 1 at depth 10, frame 1 is 3 x 1 of colours 4, 5, 6 at
// depth 10. Sprite 101: one 2 x 2 frame of colour 2 at depth 10.
class Composition : public ::testing::Test {
 protected:
  Composition() {
    gtest::FillTestPalette(palette_);
    tf_.AddTestPalette(1);
    auto square = [](int c) {
      return Spr2Stream().NextRow().Depth({{10, c}, {10, c}}).NextRow().Depth({{10, c}, {10, c}}).End().bytes();
    };
    const Bytes row = Spr2Stream().NextRow().Depth({{10, 4}, {10, 5}, {10, 6}}).End().bytes();
    tf_.AddSpr2(100, 1, {{{2, 2}, square(1)}, {{3, 1}, row}});
    tf_.AddSpr2(101, 1, {{{2, 2}, square(2)}});
  }
  static DgrpSprite Sprite(uint32_t id, uint32_t index, int x, int y, uint32_t flags = 0) {
    DgrpSprite s;
    std::tie(s.spriteId, s.spriteIndex, s.pixelX, s.pixelY, s.flags) = std::tie(id, index, x, y, flags);
    return s;
  }
  SpriteCanvas Canvas(int h, int w) {
    SpriteCanvas c(h, w, 32);
    EXPECT_TRUE(c.Allocate());
    c.Clear(0, 255);
    return c;
  }
  uint32_t Rgb(int i) const { return gtest::PaletteRgb(palette_, i); }
  gtest::TestFile tf_;
  ResourcePalt palette_;
};

TEST_F(Composition, BoundsCoverEveryFrameAndEmptyOnAnyMissingSprite) {
  DgrpImage image;
  image.sprites = {Sprite(100, 0, -1, 5), Sprite(100, 1, 3, 2)};
  const DgrpRect box = GetBounds(tf_.file(), image);
  EXPECT_EQ((std::vector<int32_t>{box.left, box.top, box.right, box.bottom}), (std::vector<int32_t>{-1, 1, 6, 5}));
  image.sprites.push_back(Sprite(100, 7, 0, 0));
  EXPECT_TRUE(GetBounds(tf_.file(), image).IsEmpty());
}

TEST_F(Composition, LaterSpritesWinEqualDepthsAndPositionsAreRestored) {
  DgrpImage image;
  // pixelY is the row below the frame: both squares cover rows 0-1; the second shifted right by 1.
  image.sprites = {Sprite(100, 0, 0, 2), Sprite(101, 0, 1, 2)};
  SpriteCanvas c = Canvas(2, 3);
  ASSERT_TRUE(DrawImage(tf_.file(), image, c));
  EXPECT_EQ(c.PixelRgb(0, 0), Rgb(1));
  EXPECT_EQ(c.PixelRgb(1, 0), Rgb(2));
  EXPECT_EQ(c.PixelRgb(2, 1), Rgb(2));
  EXPECT_TRUE(c.drawX == 0 && c.drawY == 0 && !c.mirrored);
  // Reversed order: the first square ends on top where they overlap.
  std::swap(image.sprites[0], image.sprites[1]);
  SpriteCanvas d = Canvas(2, 3);
  ASSERT_TRUE(DrawImage(tf_.file(), image, d));
  EXPECT_EQ(d.PixelRgb(1, 0), Rgb(1));
}

TEST_F(Composition, FlipMirrorsAcrossTheFrameWidthAtTheSamePlace) {
  DgrpImage image;
  image.sprites = {Sprite(100, 1, 1, 1, DgrpSprite::kFlip)};
  SpriteCanvas c = Canvas(1, 5);
  ASSERT_TRUE(DrawImage(tf_.file(), image, c));
  EXPECT_EQ(Bytes(c.MaskRow(0), c.MaskRow(0) + 5), (Bytes{0, 255, 255, 255, 0}));
  EXPECT_EQ(c.PixelRgb(1, 0), Rgb(6));
  EXPECT_EQ(c.PixelRgb(3, 0), Rgb(4));
}

TEST_F(Composition, FailuresLoadNothingOrStopAtTheFailingFrame) {
  SpriteCanvas c = Canvas(2, 2);
  EXPECT_FALSE(DrawImage(tf_.file(), DgrpImage{}, c)) << "empty image";
  DgrpImage image;
  image.sprites = {Sprite(100, 0, 0, 2), Sprite(999, 0, 0, 2)};
  EXPECT_FALSE(DrawImage(tf_.file(), image, c));
  EXPECT_EQ(c.MaskRow(0)[0], 0) << "a missing sprite fails before anything is drawn";
  ResourceDgrp group;
  group.images[3].sprites = {Sprite(101, 0, 0, 2)};
  EXPECT_TRUE(DrawImageByIndex(group, tf_.file(), 3, c));
  EXPECT_FALSE(DrawImageByIndex(group, tf_.file(), 12, c));
}

TEST_F(Composition, UndrawableOffsetsAndFramesAreRefusedBeforeDrawing) {
  constexpr int32_t kMin = -2147483647 - 1, kMax = 2147483647;
  Spr2Frame huge;
  huge.width = huge.height = 16383;
  huge.pixelStream = Spr2Stream().NextRow().Depth({{10, 1}}).End().bytes();
  ResourceSpr2 hugeSprite;
  hugeSprite.paletteId = 1;
  hugeSprite.frames = {huge};
  tf_.Add(hugeSprite, 102);
  struct Case { const char* what; std::vector<DgrpSprite> sprites; int drawX; GraphicsError bounds, draw; };
  const Case cases[] = {
      {"left edge at the int minimum", {Sprite(100, 0, kMin, 2)}, 0, GraphicsError::None, GraphicsError::None},
      {"drawn from -1", {Sprite(101, 0, 1, 2), Sprite(100, 0, kMin, 2)}, -1, GraphicsError::None,
       GraphicsError::OutOfRange},
      {"right edge past the int maximum", {Sprite(101, 0, 0, 2), Sprite(100, 0, kMax - 1, 2)}, -2,
       GraphicsError::OutOfRange, GraphicsError::None},
      {"top edge below the int minimum", {Sprite(101, 0, 0, 2), Sprite(100, 0, 0, kMin + 1)}, 0,
       GraphicsError::OutOfRange, GraphicsError::OutOfRange},
      {"a frame too large for its stream", {Sprite(101, 0, 0, 2), Sprite(102, 0, 0, 2)}, 0,
       GraphicsError::FrameTooLarge, GraphicsError::FrameTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DgrpImage image;
    image.sprites = c.sprites;
    GraphicsFailure failure;
    const DgrpRect box = GetBounds(tf_.file(), image, &failure);
    EXPECT_EQ(failure.error, c.bounds);
    EXPECT_EQ(box.IsEmpty(), c.bounds != GraphicsError::None);
    SpriteCanvas canvas = Canvas(2, 2);
    canvas.drawX = c.drawX;
    failure = {};
    EXPECT_EQ(DrawImage(tf_.file(), image, canvas, &failure), c.draw == GraphicsError::None);
    EXPECT_EQ(failure.error, c.draw);
    if (c.draw != GraphicsError::None) {
      EXPECT_EQ(canvas.MaskRow(1)[0], 0) << "nothing drawn";
    }
    EXPECT_EQ(canvas.drawX, c.drawX);
  }
}

// A composed picture is limited by its area: two small sprites far apart make one too large.
TEST_F(Composition, ComposingRefusesPicturesOfTooManyPixels) {
  DgrpImage image;
  image.sprites = {Sprite(100, 0, 0, 0), Sprite(101, 0, 2100, 0)};
  SpriteCanvas canvas;
  GraphicsFailure failure;
  EXPECT_TRUE(ComposeCropped(tf_.file(), image, 0, canvas, &failure)) << "2102 x 2 pixels";
  image.sprites[1].pixelY = 2100;
  EXPECT_FALSE(ComposeCropped(tf_.file(), image, 0, canvas, &failure)) << "2102 x 2102 pixels";
  EXPECT_EQ(failure.error, GraphicsError::ImageTooLarge);
}

TEST(Centring, TruncatesTowardZeroAndHandlesTheEmptyBox) {
  EXPECT_EQ(CenterOnBounds(100, 50, DgrpRect{-10, -31, 21, 4}), (DrawPosition{(100 - 11) / 2, (50 + 27) / 2}));
  EXPECT_EQ(CenterOnBounds(-5, 0, DgrpRect{0, 0, 0, 0})->x, -2) << "toward zero, not down";
  EXPECT_EQ(CenterOnBounds(0, 0, DgrpRect{-2147483647 - 1, 0, -2147483647 - 1, 0}), std::nullopt);
  EXPECT_EQ(CenterBitmap(7, 9, 0, 0), (DrawPosition{3, 4}));
  EXPECT_EQ(CenterBitmap(2147483647, 0, -2147483647 - 1, 0).x, 2147483647);
}

// BMP exchange.

class BmpExchange : public ::testing::Test {
 protected:
  BmpExchange() {
    tf_.AddTestPalette(3);
    sprite_.paletteId = 3;
  }

  // A frame of the given size with a pattern of opaque runs and holes.
  SprFrame PatternFrame(int w, int h) {
    IndexedImage img;
    img.Allocate(w, h);
    for (int r = 0; r < h; ++r)
      for (int x = 0; x < w; ++x)
        if ((x + r) % 5 != 0) {
          img.PixelRow(r)[x] = uint8_t(x < w / 2 ? 40 : x * 7 + r);
          img.SetMaskBit(x, r);
        }
    SprFrameEncoder encoder;
    SprFrame f;
    f.width = uint16_t(w);
    f.height = uint16_t(h);
    EXPECT_TRUE(encoder.Encode(img, f.pixelStream));
    return f;
  }

  gtest::TestFile tf_;
  ResourceSpr sprite_;
};

TEST_F(BmpExchange, ExportThenImportGivesTheSamePixelsAndMask) {
  sprite_.frames.push_back(PatternFrame(33, 7));
  MemoryStream px, mk;
  ASSERT_TRUE(ExportFrame(sprite_, 0, tf_.file(), px, mk));
  const Bytes& p = px.Bytes();
  const Bytes& m = mk.Bytes();
  ASSERT_EQ(p.size(), 1078u + 36 * 7);
  EXPECT_EQ(LoadU32LE(&p[34]), 36u * 7);
  EXPECT_EQ(Bytes(p.begin() + 54 + 4 * 200, p.begin() + 58 + 4 * 200), (Bytes{200 ^ 0x55, 55, 200, 0}));
  ASSERT_EQ(m.size(), 62u + 8 * 7) << "33 pixels wide: rows of 8 bytes";
  EXPECT_EQ(Bytes(m.begin() + 54, m.begin() + 62), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
  const SpriteImport imported = ImportFrame(sprite_, 1, tf_.file(), &px, &mk);
  ASSERT_EQ(imported.result, SpriteImportResult::Imported);
  EXPECT_EQ(imported.paletteId, 3) << "the colours match the existing palette";
  EXPECT_EQ(tf_.file().CountOfType(ResourcePalt::kType), 1u);
  ASSERT_EQ(sprite_.frames.size(), 2u);
  const SprFrame& back = sprite_.frames[1];
  EXPECT_EQ(back.palette, 0x1000);
  EXPECT_EQ(back.pixelStream, sprite_.frames[0].pixelStream);
}

TEST_F(BmpExchange, ExportRefusesUnusableFramesBeforeWriting) {
  sprite_.frames.resize(1);
  MemoryStream px, mk;
  EXPECT_FALSE(ExportFrame(sprite_, 0, tf_.file(), px, mk)) << "a frame without pixel data";
  EXPECT_FALSE(ExportFrame(sprite_, 1, tf_.file(), px, mk));
  sprite_.frames[0] = PatternFrame(3, 3);
  sprite_.paletteId = 77;
  EXPECT_FALSE(ExportFrame(sprite_, 0, tf_.file(), px, mk));
  EXPECT_EQ(px.Length() + mk.Length(), 0u);
}

// A pair of BMP files: 8-bit pixels and a 1-bit mask with a black-then-white table.
struct BmpPair { Bytes pixels, mask; };
BmpPair MakeBmps(int w, int h) {
  BmpPair out;
  auto header = [](Bytes& b, int w, int h, int bits, uint32_t offset, uint32_t imageSize) {
    b.assign(offset, 0);
    b[0] = 'B', b[1] = 'M', b[14] = 40, b[26] = 1, b[28] = uint8_t(bits);
    for (auto [at, v] : {std::pair<int, uint32_t>{2, offset + imageSize}, {10, offset}, {18, uint32_t(w)},
                         {22, uint32_t(h)}, {34, imageSize}})
      StoreU32LE(&b[at], v);
  };
  const size_t pxRow = (size_t(w) + 3) & ~size_t(3), mkRow = (size_t(w) + 31) / 32 * 4;
  header(out.pixels, w, h, 8, 1078, uint32_t(pxRow * h));
  for (int i = 0; i < 1024; ++i) out.pixels[54 + i] = uint8_t(i);
  for (size_t i = 0; i < pxRow * h; ++i) out.pixels.push_back(uint8_t(i));
  header(out.mask, w, h, 1, 62, uint32_t(mkRow * h));
  std::fill_n(out.mask.begin() + 58, 3, 255);
  for (size_t i = 0; i < mkRow * h; ++i) out.mask.push_back(i % 2 ? 0xF0 : 0x0F);
  return out;
}

TEST_F(BmpExchange, ImportResultCodes) {
  using R = SpriteImportResult;
  struct Case { const char* what; void (*spoil)(BmpPair&); SpriteImportResult result; };
  const Case cases[] = {
      {"pixel file not BM", [](BmpPair& p) { p.pixels[0] = 'X'; }, R::BadPixelFile},
      {"pixel file 24 bits", [](BmpPair& p) { p.pixels[28] = 24; }, R::BadPixelFile},
      {"pixel file compressed", [](BmpPair& p) { p.pixels[30] = 1; }, R::BadPixelFile},
      {"mask 8 bits", [](BmpPair& p) { p.mask[28] = 8; }, R::BadMaskFile},
      {"sizes differ", [](BmpPair& p) { p.mask[18] = 9; }, R::SizeMismatch},
      {"heights differ", [](BmpPair& p) { p.mask[22] = 2; }, R::SizeMismatch},
      {"odd pixel rows", [](BmpPair& p) { StoreU32LE(&p.pixels[34], 3 * 3); }, R::BadPixelFile},
      {"rows narrower than the width", [](BmpPair& p) { StoreU32LE(&p.pixels[34], 2 * 3); }, R::BadPixelFile},
      {"mask rows narrower than the width", [](BmpPair& p) { StoreU32LE(&p.mask[34], 1); }, R::BadMaskFile},
      {"mask pixels cut short", [](BmpPair& p) { p.mask.resize(p.mask.size() - 2); }, R::FileError},
      {"pixels cut short", [](BmpPair& p) { p.pixels.resize(p.pixels.size() - 1); }, R::FileError},
      {"headers cut short", [](BmpPair& p) { p.mask.resize(40); }, R::BadMaskFile},
      {"wider than 4096", [](BmpPair& p) { p = MakeBmps(4097, 1); }, R::FrameTooLarge},
  };
  for (const Case& c : cases) {
    BmpPair pair = MakeBmps(4, 3);
    c.spoil(pair);
    MemoryStream p(pair.pixels), m(pair.mask);
    EXPECT_EQ(ImportFrame(sprite_, 0, tf_.file(), &p, &m).result, c.result) << c.what;
    EXPECT_TRUE(sprite_.frames.empty()) << c.what;
    EXPECT_EQ(tf_.file().CountOfType(ResourcePalt::kType), 1u) << c.what;
  }
  // An image-size field of 0 is computed by the BMP rules.
  BmpPair zero = MakeBmps(4, 3);
  StoreU32LE(&zero.pixels[34], 0);
  StoreU32LE(&zero.mask[34], 0);
  MemoryStream zp(zero.pixels), zm(zero.mask);
  EXPECT_EQ(ImportFrame(sprite_, 0, tf_.file(), &zp, &zm).result, R::Imported);
  // No file, or an index past the end: nothing is read.
  EXPECT_EQ(ImportFrame(sprite_, 0, tf_.file(), nullptr, &zm).result, R::NotAttempted);
  EXPECT_EQ(ImportFrame(sprite_, 5, tf_.file(), &zp, &zm).result, R::NotAttempted);
}

}  // namespace
}  // namespace scrivet
