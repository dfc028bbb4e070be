// The SPR# pixel stream: the encoder's exact command choice, the reference decoder, and the two
// agreeing on generated images.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "codecs/resource_spr.h"

namespace scrivet {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int T = -1;  // a transparent pixel in the row literals below

IndexedImage Image(const std::vector<std::vector<int>>& rows) {
  IndexedImage img;
  img.Allocate(rows.empty() ? 0 : int(rows[0].size()), int(rows.size()));
  for (int r = 0; r < img.height; ++r)
    for (int x = 0; x < img.width; ++x)
      if (rows[r][x] != T) {
        img.PixelRow(r)[x] = uint8_t(rows[r][x]);
        img.SetMaskBit(x, r);
      }
  return img;
}

Bytes Encode(const IndexedImage& img) {
  SprFrameEncoder encoder;
  Bytes out;
  EXPECT_TRUE(encoder.Encode(img, out));
  return out;
}

std::vector<int> Row(std::initializer_list<std::pair<int, int>> runs) {  // (value, count) runs
  std::vector<int> row;
  for (auto [v, n] : runs) row.insert(row.end(), n, v);
  return row;
}

TEST(SprEncoder, ExactCommandSequences) {
  struct Case { const char* what; std::vector<std::vector<int>> rows; Bytes expected; };
  const std::vector<Case> cases = {
      {"all transparent", {{T, T}, {T, T}}, {5, 0}},
      {"three equal after two different", {{1, 2, 7, 7, 7}}, {4, 10, 3, 2, 1, 2, 2, 3, 7, 0, 5, 0}},
      {"two equal stay literal", {{1, 7, 7}}, {4, 8, 3, 3, 1, 7, 7, 0, 5, 0}},
      {"transparent run of 300 inside a row",
       {Row({{5, 1}, {T, 300}, {6, 1}})},
       {4, 14, 3, 1, 5, 0, 1, 255, 1, 45, 3, 1, 6, 0, 5, 0}},
      {"leading run of 300 waits for the row command",
       {Row({{T, 300}, {6, 1}})},
       {4, 10, 1, 255, 1, 45, 3, 1, 6, 0, 5, 0}},
      {"one empty row between coded rows", {{1}, {T}, {1}}, {4, 6, 3, 1, 1, 0, 9, 2, 3, 1, 1, 0, 5, 0}},
      {"empty rows at the top and bottom", {{T}, {T}, {T}, {4}, {T}}, {9, 4, 3, 1, 4, 0, 5, 0}},
      {"trailing transparent pixels are dropped", {{3, 3, 3, T, T}}, {4, 6, 2, 3, 3, 0, 5, 0}},
      {"a fill of 300 is split at 255", {Row({{9, 300}})}, {4, 10, 2, 255, 9, 0, 2, 45, 9, 0, 5, 0}},
      {"next-row counts span the whole row", {{1, 2}, {3, 4}}, {4, 6, 3, 2, 1, 2, 4, 6, 3, 2, 3, 4, 5, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(Encode(Image(c.rows)), c.expected) << c.what;
}

TEST(SprEncoder, LiteralSpansAreSplitAt255) {
  std::vector<int> row;
  for (int i = 0; i < 600; ++i) row.push_back(i % 2 ? 10 : 20);
  const Bytes s = Encode(Image({row}));
  ASSERT_GE(s.size(), 2u + 257 + 257 + 92);
  // Each copy of 255 takes a pad byte.
  EXPECT_EQ((Bytes{s[2], s[3], s[260], s[261], s[518], s[519]}), (Bytes{3, 255, 3, 255, 3, 90}));
}

TEST(SprEncoder, TallEmptyFramesUseSkipRowsOf255) {
  EXPECT_EQ(Encode(Image(std::vector<std::vector<int>>(253, {T}))), (Bytes{5, 0}));
  EXPECT_EQ(Encode(Image(std::vector<std::vector<int>>(254, {T}))), (Bytes{9, 255, 5, 0}));
  std::vector<std::vector<int>> rows(300, {T});
  rows[299] = {8};
  EXPECT_EQ(Encode(Image(rows)), (Bytes{9, 255, 9, 45, 3, 1, 8, 0, 5, 0}));
}

TEST(SprEncoder, RefusesEmptyImagesAndHonoursTheMaskPalette) {
  SprFrameEncoder encoder;
  Bytes out;
  IndexedImage empty, noColumns;
  noColumns.Allocate(0, 3);
  EXPECT_FALSE(encoder.Encode(empty, out) || encoder.Encode(noColumns, out));
  IndexedImage img = Image({{1, T}});
  // White first: bit 0 is the drawn one.
  const uint8_t whiteFirst[8] = {255, 255, 255, 0, 0, 0, 0, 0};
  encoder.SetMaskByPalette(whiteFirst);
  ASSERT_TRUE(encoder.Encode(img, out));
  EXPECT_EQ(out, (Bytes{4, 8, 1, 1, 3, 1, 0, 0, 5, 0}));
}

// Generated images with runs, so that fills, copies and skips all occur.
TEST(SprEncoder, DecoderGivesBackEveryGeneratedImage) {
  struct { uint32_t s = 12345; uint32_t Next() { return (s = s * 1664525u + 1013904223u) >> 8; } } rng;
  for (int trial = 0; trial < 200; ++trial) {
    const int w = 1 + int(rng.Next() % (trial < 20 ? 700 : 40));
    const int h = 1 + int(rng.Next() % (trial % 10 == 0 ? 600 : 30));
    IndexedImage img;
    img.Allocate(w, h);
    for (int r = 0; r < h; ++r) {
      const bool emptyRow = rng.Next() % 4 == 0;
      int x = 0;
      while (x < w) {
        const int run = 1 + int(rng.Next() % (rng.Next() % 8 == 0 ? 400 : 5));
        const bool opaque = !emptyRow && rng.Next() % 3 != 0;
        const bool same = rng.Next() % 2 == 0;
        const uint8_t colour = uint8_t(rng.Next());
        for (int i = 0; i < run && x < w; ++i, ++x) {
          if (!opaque) continue;
          img.PixelRow(r)[x] = same ? colour : uint8_t(rng.Next() % 3);
          img.SetMaskBit(x, r);
        }
      }
    }
    const Bytes stream = Encode(img);
    SprFrame frame;
    frame.width = uint16_t(w);
    frame.height = uint16_t(h);
    frame.pixelStream = stream;
    IndexedImage back;
    ASSERT_TRUE(DecodeToIndexed(frame, back));
    ASSERT_EQ(back.mask, img.mask) << "trial " << trial;
    for (int r = 0; r < h; ++r)
      for (int x = 0; x < w; ++x)
        if (img.MaskBit(x, r)) {
          ASSERT_EQ(back.PixelRow(r)[x], img.PixelRow(r)[x]) << trial << ' ' << x << ',' << r;
        }
  }
}

TEST(SprDecoder, ClipsToTheFrameAndStopsAtTheEndOfTheStream) {
  SprFrame frame;
  frame.width = 3;
  frame.height = 2;
  // Row 0: skip 2, fill 4 of colour 9 (two fall off the right); skip rows far below; end.
  frame.pixelStream = {4, 0, 1, 2, 2, 4, 9, 0, 9, 200, 3, 2, 1, 1, 5, 0};
  IndexedImage img;
  ASSERT_TRUE(DecodeToIndexed(frame, img, 7));
  // Nothing past the right edge, not even in the row's padding.
  EXPECT_EQ(Bytes(img.PixelRow(0), img.PixelRow(0) + 4), (Bytes{7, 7, 9, 7}));
  EXPECT_TRUE(img.MaskBit(2, 0));
  EXPECT_FALSE(img.MaskBit(1, 0));
  EXPECT_EQ(img.PixelRow(1)[0], 7);
  // Pixels before any row command draw nothing; a copy cut short by the end draws what is there.
  frame.pixelStream = {2, 3, 4, 0, 4, 0, 3, 5, 1, 2};
  ASSERT_TRUE(DecodeToIndexed(frame, img, 0));
  EXPECT_EQ(img.PixelRow(0)[0], 1);
  EXPECT_EQ(img.PixelRow(0)[1], 2);
  EXPECT_FALSE(img.MaskBit(2, 0));
  EXPECT_FALSE(img.MaskBit(0, 1));
}

TEST(SprDecoder, InvalidCodesFail) {
  SprFrame frame;
  frame.width = frame.height = 1;
  for (uint8_t code : {0, 6, 7, 8, 10, 255}) {
    frame.pixelStream = {4, 0, code, 0, 5, 0};
    IndexedImage img;
    EXPECT_FALSE(DecodeToIndexed(frame, img)) << int(code);
  }
}

}  // namespace
}  // namespace scrivet
