// PALT, SPR#, SPR2 and DGRP byte layouts, round trips and refusals.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "codecs/resource_dgrp.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::DecodeBytes;
using gtest::EncodeBytes;
using gtest::Put16;
using gtest::Put32;

TEST(Palt, SixteenColoursDecodeAndAreWrittenBackAsFull) {
  Bytes b = {1, 0, 0, 0, 16, 0, 0, 0, 0xDD, 0xCC, 0xBB, 0xAA, 7, 0, 0, 0};
  for (int i = 0; i < 16 * 3; ++i) b.push_back(uint8_t(i + 1));
  ResourcePalt p;
  p.colors.fill(0xEE);
  ASSERT_TRUE(DecodeBytes(p, b));
  EXPECT_EQ(p.colorCount, 16u);
  EXPECT_EQ(p.colors[47], 48);
  EXPECT_EQ(p.colors[48], 0xEE) << "entries past the count stay";
  Bytes out = EncodeBytes(p);
  ASSERT_EQ(out.size(), ResourcePalt::kEncodedSize);
  EXPECT_EQ(p.colorCount, 256u);
  EXPECT_EQ(Bytes(out.begin() + 4, out.begin() + 16), (Bytes{0, 1, 0, 0, 0xDD, 0xCC, 0xBB, 0xAA, 7, 0, 0, 0}));
  b[0] = 2;  // only version 1 is known
  EXPECT_FALSE(DecodeBytes(p, b));
}

TEST(Palt, EqualityCoversTheWholeTable) {
  ResourcePalt a, b;
  a.colorCount = b.colorCount = 16;
  EXPECT_TRUE(a.Equals(b));
  b.colors[200 * 3] ^= 1;
  EXPECT_FALSE(a.Equals(b));
}

// Appends v in n bytes, the most significant first when big.
void Put(Bytes& b, uint32_t v, int n, bool big) {
  for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> 8 * (big ? n - 1 - i : i)));
}

Bytes SprHeader(uint32_t version, std::initializer_list<uint32_t> offsets, bool big, uint32_t paletteId = 0) {
  Bytes b;
  auto p32 = [&](uint32_t v) { Put(b, v, 4, big); };
  p32(version);
  p32(uint32_t(offsets.size()));
  if (version >= 502) p32(paletteId);
  for (uint32_t o : offsets) p32(o);
  return b;
}

void AppendSprFrame(Bytes& b, bool big, uint16_t y, uint16_t x, uint16_t h, uint16_t w, uint16_t palette,
                    const Bytes& stream) {
  for (uint16_t v : {y, x, h, w}) Put(b, v, 2, big);
  Put16(b, palette);  // never swapped
  b.insert(b.end(), stream.begin(), stream.end());
}

TEST(Spr, OldVersionsHaveAnEightByteHeader) {
  for (uint32_t version : {500u, 501u}) {
    Bytes b = SprHeader(version, {16, 16 + 10 + 2}, false);
    AppendSprFrame(b, false, 1, 2, 3, 4, 5, {5, 0});
    AppendSprFrame(b, false, 6, 7, 8, 9, 10, {5, 0, 0, 0});
    ResourceSpr s;
    ASSERT_TRUE(DecodeBytes(s, b)) << version;
    ASSERT_EQ(s.frames.size(), 2u);
    EXPECT_EQ(EncodeBytes(s), b) << version;
  }
}

TEST(Spr, BigEndianStaysBigEndianExceptTheFramePalette) {
  Bytes b = SprHeader(505, {16}, true, 0x1234);
  AppendSprFrame(b, true, 0x0102, 0x0304, 2, 3, 0x0A0B, {4, 0, 1, 3, 5, 0});
  ResourceSpr s;
  ASSERT_TRUE(DecodeBytes(s, b, 0x0000));
  EXPECT_EQ(s.paletteId, 0x1234u);
  EXPECT_EQ(s.frames[0].y, 0x0102);
  EXPECT_EQ(s.frames[0].palette, 0x0A0B);
  EXPECT_EQ(EncodeBytes(s), b);
}

TEST(Spr, RefusesBadHeadersAndOffsetsCleanly) {
  ResourceSpr s;
  Bytes good = SprHeader(502, {16}, false);
  AppendSprFrame(good, false, 0, 0, 1, 1, 0, {5, 0});
  ASSERT_TRUE(DecodeBytes(s, good));
  Bytes v499 = good, v1000 = good;
  v499[0] = 0xF3;  // 499
  v1000[0] = 0xE8, v1000[1] = 0x03;
  Bytes pastEnd = SprHeader(502, {uint32_t(good.size())}, false);
  pastEnd.resize(good.size());
  Bytes hugeCount = SprHeader(502, {}, false);
  hugeCount[4] = hugeCount[5] = hugeCount[6] = hugeCount[7] = 0xFF;
  Bytes shortFrame = SprHeader(502, {16}, false);
  shortFrame.insert(shortFrame.end(), {1, 2, 3});
  // Second frame first: the first stream would have a negative length.
  Bytes reversed = SprHeader(502, {30, 20}, false);
  AppendSprFrame(reversed, false, 0, 0, 1, 1, 0, {});
  AppendSprFrame(reversed, false, 0, 0, 1, 1, 0, {5, 0});
  for (const Bytes* bad : {&v499, &v1000, &pastEnd, &hugeCount, &shortFrame, &reversed}) {
    EXPECT_FALSE(DecodeBytes(s, *bad)) << bad - &v499;
  }
}

TEST(Spr2, OffsetTableIsPaddedTo64WithA3) {
  for (size_t count : {13u, 14u}) {
    ResourceSpr2 s;
    s.paletteId = 7;
    for (size_t i = 0; i < count; ++i) {
      Spr2Frame f;
      f.width = f.originX = uint16_t(i);
      f.originY = 0xB0;  // origins that differ, so their order counts
      f.flags = 0xDEADBEEF;
      f.pixelStream = {uint8_t(i), 0xA0};
      s.frames.push_back(f);
    }
    Bytes b = EncodeBytes(s);
    const size_t first = count == 13 ? 64 : 128;
    EXPECT_EQ(b[12] | b[13] << 8, int(first));
    for (size_t i = 12 + 4 * count; i < first; ++i) EXPECT_EQ(b[i], 0xA3) << i;
    ResourceSpr2 back;
    ASSERT_TRUE(DecodeBytes(back, b, 0x0000)) << "the flags' byte-order bit is not consulted";
    ASSERT_EQ(back.frames.size(), count);
    EXPECT_EQ(back.frames[5].flags, 0xDEADBEEFu);
    EXPECT_EQ(back.frames[5].pixelStream, (Bytes{5, 0xA0}));
    EXPECT_EQ(EncodeBytes(back), b);
  }
}

TEST(Spr2, RefusesOtherVersionsAndBadOffsets) {
  ResourceSpr2 s;
  Bytes b = {0xE9, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // version 1001, no frames
  EXPECT_FALSE(DecodeBytes(s, b));
  b[0] = 0xE8;  // 1000
  EXPECT_TRUE(DecodeBytes(s, b));
  Bytes past = b, huge = b;
  past[4] = 1, huge[7] = 0x40;  // one frame past the end; a huge frame count
  Put32(past, 16);
  EXPECT_FALSE(DecodeBytes(s, past));
  EXPECT_FALSE(DecodeBytes(s, huge));
}

TEST(Spr2, SetFrameKeepsSizeAndStream) {
  ResourceSpr2 s;
  s.frames.resize(1);
  s.frames[0].width = 3;
  s.frames[0].pixelStream = {1, 2};
  Spr2Frame edit;
  edit.width = 99;
  edit.flags = 5;
  ASSERT_TRUE(s.SetFrame(0, edit));
  EXPECT_FALSE(s.SetFrame(1, edit));
  EXPECT_EQ(s.frames[0].width, 3);
  EXPECT_EQ(s.frames[0].flags, 5u);
  EXPECT_EQ(s.frames[0].pixelStream, (Bytes{1, 2}));
}

TEST(Dgrp, OldVersionsDropForeignEntriesAndWidenSigned) {
  for (uint16_t version : {20000, 20001}) {
    Bytes b;
    for (uint16_t v : {version, uint16_t(1), uint16_t(2), uint16_t(0x0280)}) Put16(b, v);  // 2 sprites, direction -128
    for (uint16_t type : {0xFFFD, 0x1234}) {
      for (uint16_t v : {type, uint16_t(0xFFFF), uint16_t(3), uint16_t(1), uint16_t(-5), uint16_t(40)}) Put16(b, v);
      if (version >= 20001) Put32(b, std::bit_cast<uint32_t>(1.5f));
    }
    ResourceDgrp d;
    ASSERT_TRUE(DecodeBytes(d, b)) << version;
    ASSERT_EQ(d.images.size(), 1u);
    EXPECT_EQ(d.images[0].directionFlags, 0xFFFFFF80u);
    ASSERT_EQ(d.images[0].sprites.size(), 1u);
    const DgrpSprite& s = d.images[0].sprites[0];
    EXPECT_EQ(s.spriteId, 0xFFFFFFFFu);
    EXPECT_EQ(s.pixelX, -5);
    EXPECT_EQ(s.zOffset, version >= 20001 ? 1.5f : 0.0f);
    Bytes out = EncodeBytes(d);
    EXPECT_EQ(out[0] | out[1] << 8, 20004);
    EXPECT_EQ(out.size(), 2 + 4 + 12 + 32u);
  }
}

TEST(Dgrp, Version20003GainsZeroOffsetsAndTruncationFails) {
  Bytes b = {0x23, 0x4E};  // 20003
  for (uint32_t v : {1u, 8u, 2u, 1u, 100u, 2u, uint32_t(-7), 99u, std::bit_cast<uint32_t>(-2.0f), 5u}) Put32(b, v);
  ResourceDgrp d;
  ASSERT_TRUE(DecodeBytes(d, b));
  Bytes expected = b;
  expected[0] = 0x24;  // 20004
  expected.resize(b.size() + 8);
  EXPECT_EQ(EncodeBytes(d), expected);
  Bytes cut(b.begin(), b.end() - 1);
  EXPECT_FALSE(DecodeBytes(d, cut));
  EXPECT_FALSE(DecodeBytes(d, Bytes{0x24, 0x4E, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace scrivet
