#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/iff_chunk.h"

using namespace scrivet;

namespace {

struct GrowthStep {
  std::string what;
  std::function<bool(IffChunk&)> op;
  size_t capacity, size, cursor;
};

struct GrowthCase {
  std::string name;
  std::vector<GrowthStep> steps;
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 13 + 1);
  return b;
}

auto WriteN(size_t n) {
  return [n](IffChunk& c) {
    auto b = Pattern(n);
    return c.Write(b.data(), n);
  };
}
auto WriteText(size_t n) {
  return [n](IffChunk& c) { return c.WriteZString(std::string(n, 'x')); };
}
auto SizeTo(size_t n) {
  return [n](IffChunk& c) { return c.SetSize(n); };
}
auto CursorTo(size_t n) {
  return [n](IffChunk& c) { return c.SetCursor(n); };
}

class ChunkGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(ChunkGrowth, CapacitySizeAndCursorFollowTheStepRules) {
  IffChunk chunk;
  ASSERT_EQ(chunk.Capacity(), 64u);
  ASSERT_EQ(chunk.Size(), 0u);
  for (const GrowthStep& step : GetParam().steps) {
    SCOPED_TRACE(step.what);
    ASSERT_TRUE(step.op(chunk));
    EXPECT_EQ(chunk.Capacity(), step.capacity);
    EXPECT_EQ(chunk.Size(), step.size);
    EXPECT_EQ(chunk.Cursor(), step.cursor);
    EXPECT_EQ(chunk.Capacity() % 64, 0u);
  }
}

// Write grows to (capacity + n + 63) rounded down to 64; WriteZString to (capacity + length + 64)
// rounded down; SetSize to n rounded up. The formulas differ, so each gets cases where they part.
INSTANTIATE_TEST_SUITE_P(
    Steps, ChunkGrowth,
    ::testing::Values(
        GrowthCase{"WriteFillsFirstBlock", {{"write 64", WriteN(64), 64, 64, 64}}},
        GrowthCase{"WriteOnePastFirstBlock", {{"write 65", WriteN(65), 192, 65, 65}}},
        GrowthCase{"WriteAtFullBlock",
                   {{"write 64", WriteN(64), 64, 64, 64}, {"write 1", WriteN(1), 128, 65, 65}}},
        GrowthCase{"WritesAccumulate",
                   {{"write 100", WriteN(100), 192, 100, 100}, {"write 100", WriteN(100), 320, 200, 200}}},
        GrowthCase{"WriteInsideKeepsSize",
                   {{"write 10", WriteN(10), 64, 10, 10},
                    {"cursor 2", CursorTo(2), 64, 10, 2},
                    {"write 3", WriteN(3), 64, 10, 5}}},
        GrowthCase{"TextFitsWithItsZero", {{"text 63", WriteText(63), 64, 64, 64}}},
        GrowthCase{"TextOneTooLong", {{"text 64", WriteText(64), 192, 65, 65}}},
        GrowthCase{"TextAfterData",
                   {{"write 60", WriteN(60), 64, 60, 60}, {"text 10", WriteText(10), 128, 71, 71}}},
        GrowthCase{"SetSizeRoundsUp",
                   {{"size 65", SizeTo(65), 128, 65, 0},
                    {"size 128", SizeTo(128), 128, 128, 0},
                    {"size 129", SizeTo(129), 192, 129, 0},
                    {"size 10", SizeTo(10), 192, 10, 0}}},
        GrowthCase{"SetSizePullsCursorBack",
                   {{"write 100", WriteN(100), 192, 100, 100},
                    {"size 40", SizeTo(40), 192, 40, 40},
                    {"size 0", SizeTo(0), 192, 0, 0}}}),
    [](const auto& info) { return info.param.name; });

TEST(ChunkBuffer, GrowingKeepsTheBytesWrittenBefore) {
  IffChunk chunk;
  auto first = Pattern(50);
  ASSERT_TRUE(chunk.Write(first.data(), first.size()));
  ASSERT_TRUE(chunk.WriteZString("tail text that crosses the first block"));
  auto more = Pattern(300);
  ASSERT_TRUE(chunk.Write(more.data(), more.size()));
  ASSERT_EQ(chunk.Size(), 50u + 39u + 300u);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), chunk.Data()));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.Data()) + 50),
            "tail text that crosses the first block");
  EXPECT_TRUE(std::equal(more.begin(), more.end(), chunk.Data() + 89));
}

TEST(ChunkBuffer, MultiByteValuesAreLittleEndian) {
  IffChunk chunk;
  ASSERT_TRUE(chunk.WriteU16(0x1234));
  ASSERT_TRUE(chunk.WriteU32(0xA1B2C3D4));
  ASSERT_TRUE(chunk.WriteI16(-2));
  const std::vector<uint8_t> expected{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0xFE, 0xFF};
  ASSERT_EQ(chunk.Size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), chunk.Data()));

  chunk.Rewind();
  uint16_t a;
  uint32_t b;
  int16_t c;
  ASSERT_TRUE(chunk.ReadU16(a) && chunk.ReadU32(b) && chunk.ReadI16(c));
  EXPECT_EQ(a, 0x1234);
  EXPECT_EQ(b, 0xA1B2C3D4u);
  EXPECT_EQ(c, -2);
}

// Each read runs with `left` bytes remaining and must either succeed or fail without moving.
struct ReadCase {
  std::string name;
  size_t left;
  std::function<bool(IffChunk&)> read;
  bool ok;
  size_t advance;
};

class ChunkReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ChunkReads, FailWithoutMovingTheCursor) {
  const ReadCase& rc = GetParam();
  IffChunk chunk;
  // Data: 3 lead bytes, then "ab\0cd" so texts have a zero in a known place.
  const std::vector<uint8_t> data{9, 9, 9, 'a', 'b', 0, 'c', 'd'};
  ASSERT_TRUE(chunk.Assign(data.data(), data.size()));
  ASSERT_TRUE(chunk.SetCursor(data.size() - rc.left));
  const size_t before = chunk.Cursor();
  EXPECT_EQ(rc.read(chunk), rc.ok);
  EXPECT_EQ(chunk.Cursor(), before + (rc.ok ? rc.advance : 0));
  EXPECT_EQ(chunk.Size(), data.size());
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ChunkReads,
    ::testing::Values(
        ReadCase{"U8AtEnd", 0, [](IffChunk& c) { uint8_t v; return c.ReadU8(v); }, false, 0},
        ReadCase{"U16OneLeft", 1, [](IffChunk& c) { uint16_t v; return c.ReadU16(v); }, false, 0},
        ReadCase{"U16TwoLeft", 2, [](IffChunk& c) { uint16_t v; return c.ReadU16(v); }, true, 2},
        ReadCase{"U32ThreeLeft", 3, [](IffChunk& c) { uint32_t v; return c.ReadU32(v); }, false, 0},
        ReadCase{"I32ThreeLeft", 3, [](IffChunk& c) { int32_t v; return c.ReadI32(v); }, false, 0},
        ReadCase{"ReadMoreThanLeft", 4, [](IffChunk& c) { char b[5]; return c.Read(b, 5); }, false, 0},
        ReadCase{"ReadAllLeft", 5, [](IffChunk& c) { char b[5]; return c.Read(b, 5); }, true, 5},
        ReadCase{"ReadHugeCount", 5, [](IffChunk& c) { char b[1]; return c.Read(b, SIZE_MAX); }, false, 0},
        ReadCase{"SkipPastEnd", 2, [](IffChunk& c) { return c.Skip(3); }, false, 0},
        ReadCase{"SkipHuge", 2, [](IffChunk& c) { return c.Skip(SIZE_MAX); }, false, 0},
        ReadCase{"SkipToEnd", 2, [](IffChunk& c) { return c.Skip(2); }, true, 2},
        ReadCase{"ZStringWithZero", 5,
                 [](IffChunk& c) { std::string t; return c.ReadZString(t) && t == "ab"; }, true, 3},
        ReadCase{"ZStringNoZeroLeft", 2, [](IffChunk& c) { std::string t; return c.ReadZString(t); }, false, 0},
        ReadCase{"FixedStopsAtZero", 5,
                 [](IffChunk& c) { std::string t; return c.ReadFixedString(4, t) && t == "ab"; }, true, 4},
        ReadCase{"FixedWithoutZero", 2,
                 [](IffChunk& c) { std::string t; return c.ReadFixedString(2, t) && t == "cd"; }, true, 2},
        ReadCase{"FixedTooLong", 2, [](IffChunk& c) { std::string t; return c.ReadFixedString(3, t); }, false, 0},
        ReadCase{"CursorToEnd", 4, [](IffChunk& c) { return c.SetCursor(8); }, true, 4},
        ReadCase{"CursorPastEnd", 4, [](IffChunk& c) { return c.SetCursor(9); }, false, 0}),
    [](const auto& info) { return info.param.name; });

// Texts are scanned in blocks: every length around the block sizes, with bytes that fool a careless
// zero test (0x01 and 0x80) around the zero, and with the zero missing.
TEST(ChunkBuffer, TextsEndAtTheirZeroAtEveryLength) {
  for (size_t lead : {0, 3}) {
    for (size_t length = 0; length <= 70; ++length) {
      SCOPED_TRACE(testing::Message() << "lead " << lead << ", length " << length);
      std::vector<uint8_t> data(lead, 0x80);
      for (size_t i = 0; i < length; ++i) data.push_back(i % 3 == 0 ? 0x01 : i % 3 == 1 ? 0x80 : 0xFF);
      IffChunk missing;
      ASSERT_TRUE(missing.Assign(data.data(), data.size()) && missing.SetCursor(lead));
      std::string_view text;
      EXPECT_FALSE(missing.ReadZStringView(text));
      EXPECT_EQ(missing.Cursor(), lead);

      data.insert(data.end(), {0, 0x01, 0x80, 0});
      IffChunk chunk;
      ASSERT_TRUE(chunk.Assign(data.data(), data.size()) && chunk.SetCursor(lead));
      ASSERT_TRUE(chunk.ReadZStringView(text));
      EXPECT_EQ(text.size(), length);
      EXPECT_EQ(chunk.Cursor(), lead + length + 1);
      ASSERT_TRUE(chunk.ReadZStringView(text));
      EXPECT_EQ(text, "\x01\x80");
    }
  }
}

TEST(ChunkBuffer, ANewChunkIsEmptyLoadedAndLittleEndian) {
  IffChunk chunk;
  EXPECT_TRUE(chunk.IsLoaded());
  EXPECT_EQ(chunk.flags, 0x0010);
  EXPECT_EQ(chunk.dataOffset, 0u);
  uint8_t v;
  EXPECT_FALSE(chunk.ReadU8(v));
}

}  // namespace
