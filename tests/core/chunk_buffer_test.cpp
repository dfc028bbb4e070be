#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "core/chunk_index.h"
#include "core/iff_chunk.h"

using namespace scrivet;

namespace {

using Op = std::function<bool(IffChunk&)>;

Op WriteN(size_t n) {
  return [n](IffChunk& c) { return c.Write(std::vector<uint8_t>(n, 7).data(), n); };
}
Op WriteText(size_t n) {
  return [n](IffChunk& c) { return c.WriteZString(std::string(n, 'x')); };
}
Op SizeTo(size_t n) {
  return [n](IffChunk& c) { return c.SetSize(n); };
}

// Write grows to (capacity + n + 63) rounded down to 64; WriteZString to (capacity + length + 64)
// rounded down; SetSize to n rounded up. The formulas differ, so each gets steps where they part.
TEST(ChunkBuffer, CapacitySizeAndCursorFollowTheGrowthRules) {
  struct Step {
    const char* what;
    Op op;
    size_t capacity, size, cursor;
  };
  const std::vector<std::vector<Step>> runs{
      {{"write 64", WriteN(64), 64, 64, 64}, {"write 1", WriteN(1), 128, 65, 65}},
      {{"write 65", WriteN(65), 192, 65, 65}},
      {{"write 100", WriteN(100), 192, 100, 100}, {"write 100", WriteN(100), 320, 200, 200}},
      {{"text 63", WriteText(63), 64, 64, 64}},
      {{"text 64", WriteText(64), 192, 65, 65}},
      {{"write 60", WriteN(60), 64, 60, 60}, {"text 10", WriteText(10), 128, 71, 71}},
      {{"size 65", SizeTo(65), 128, 65, 0}, {"size 129", SizeTo(129), 192, 129, 0}},
      {{"write 100", WriteN(100), 192, 100, 100}, {"size 40", SizeTo(40), 192, 40, 40}},
  };
  for (const auto& run : runs) {
    IffChunk chunk;
    for (const Step& step : run) {
      SCOPED_TRACE(step.what);
      ASSERT_TRUE(step.op(chunk));
      EXPECT_EQ(chunk.Capacity(), step.capacity);
      EXPECT_EQ(chunk.Size(), step.size);
      EXPECT_EQ(chunk.Cursor(), step.cursor);
    }
  }
}

TEST(ChunkBuffer, MultiByteValuesAreLittleEndian) {
  IffChunk chunk;
  ASSERT_TRUE(chunk.WriteU16(0x1234) && chunk.WriteU32(0xA1B2C3D4) && chunk.WriteI16(-2));
  EXPECT_EQ(chunk.View(), std::string_view("\x34\x12\xD4\xC3\xB2\xA1\xFE\xFF", 8));
  chunk.Rewind();
  uint16_t a;
  uint32_t b;
  int16_t c;
  ASSERT_TRUE(chunk.ReadU16(a) && chunk.ReadU32(b) && chunk.ReadI16(c));
  EXPECT_EQ(std::tuple(a, b, c), std::tuple(uint16_t(0x1234), 0xA1B2C3D4u, int16_t(-2)));
}

// Each read runs with `left` bytes remaining and must either succeed or fail without moving.
TEST(ChunkBuffer, ReadsFailWithoutMovingTheCursor) {
  struct Case {
    const char* name;
    size_t left;
    Op read;
    bool ok;
    size_t advance;
  };
  const std::vector<Case> cases{
      {"U16 one left", 1, [](IffChunk& c) { uint16_t v; return c.ReadU16(v); }, false, 0},
      {"U16 two left", 2, [](IffChunk& c) { uint16_t v; return c.ReadU16(v); }, true, 2},
      {"U32 three left", 3, [](IffChunk& c) { uint32_t v; return c.ReadU32(v); }, false, 0},
      {"read more than left", 4, [](IffChunk& c) { char b[5]; return c.Read(b, 5); }, false, 0},
      {"read all left", 5, [](IffChunk& c) { char b[5]; return c.Read(b, 5); }, true, 5},
      {"read huge count", 5, [](IffChunk& c) { char b[1]; return c.Read(b, SIZE_MAX); }, false, 0},
      {"skip huge", 2, [](IffChunk& c) { return c.Skip(SIZE_MAX); }, false, 0},
      {"z-string", 5, [](IffChunk& c) { std::string t; return c.ReadZString(t) && t == "ab"; }, true, 3},
      {"fixed stops at zero", 5,
       [](IffChunk& c) { std::string t; return c.ReadFixedString(4, t) && t == "ab"; }, true, 4},
      {"fixed too long", 2, [](IffChunk& c) { std::string t; return c.ReadFixedString(3, t); }, false, 0},
      {"cursor to end", 4, [](IffChunk& c) { return c.SetCursor(8); }, true, 4},
      {"cursor past end", 4, [](IffChunk& c) { return c.SetCursor(9); }, false, 0},
  };
  const std::vector<uint8_t> data{9, 9, 9, 'a', 'b', 0, 'c', 'd'};
  for (const Case& rc : cases) {
    SCOPED_TRACE(rc.name);
    IffChunk chunk;
    ASSERT_TRUE(chunk.Assign(data.data(), data.size()) && chunk.SetCursor(data.size() - rc.left));
    const size_t before = chunk.Cursor();
    EXPECT_EQ(rc.read(chunk), rc.ok);
    EXPECT_EQ(chunk.Cursor(), before + (rc.ok ? rc.advance : 0));
  }
}

// Texts are scanned in blocks: every length around the block sizes, with bytes that fool a careless
// zero test (0x01 and 0x80) around the zero, and with the zero missing.
TEST(ChunkBuffer, TextsEndAtTheirZeroAtEveryLength) {
  for (size_t lead : {0, 3})
    for (size_t length = 0; length <= 70; ++length) {
      SCOPED_TRACE(testing::Message() << "lead " << lead << ", length " << length);
      std::vector<uint8_t> data(lead, 0x80);
      for (size_t i = 0; i < length; ++i) data.push_back(i % 3 == 0 ? 0x01 : i % 3 == 1 ? 0x80 : 0xFF);
      for (bool terminated : {false, true}) {
        if (terminated) data.insert(data.end(), {0, 0x01, 0x80, 0});
        IffChunk chunk;
        std::string_view text;
        ASSERT_TRUE(chunk.Assign(data.data(), data.size()) && chunk.SetCursor(lead));
        EXPECT_EQ(chunk.ReadZStringView(text), terminated);
        EXPECT_EQ(chunk.Cursor(), lead + (terminated ? length + 1 : 0));
        EXPECT_EQ(text.size(), terminated ? length : 0);
        EXPECT_TRUE(!terminated || (chunk.ReadZStringView(text) && text == "\x01\x80"));
      }
    }
}

// Crowded keys (few types, ids close together) make long probe runs, so erasing from their middle
// must keep every other key findable. The index is checked against a map after every step.
TEST(ChunkIndex, AgreesWithAMapThroughInsertsErasesAndGrowth) {
  std::mt19937 random(7);
  ChunkIndex index;
  std::unordered_map<uint64_t, IffChunk*> expected;
  for (int step = 0; step < 4000; ++step) {
    const uint64_t key = ChunkIndex::Key(0x41414141 + random() % 3, uint16_t(random() % 200));
    IffChunk* chunk = reinterpret_cast<IffChunk*>(0x1000 + 16 * (random() % 64));
    const auto op = random() % 4;
    if (op == 0) {
      EXPECT_EQ(index.Insert(key, chunk), expected.emplace(key, chunk).second);
    }
    if (op == 1) index.Assign(key, chunk), expected[key] = chunk;
    if (op >= 2) index.Erase(key), expected.erase(key);
    ASSERT_EQ(index.Size(), expected.size()) << "step " << step;
    for (uint32_t type = 0x41414141; step % 50 == 0 && type < 0x41414144; ++type)
      for (uint16_t id = 0; id < 200; ++id) {
        const auto it = expected.find(ChunkIndex::Key(type, id));
        ASSERT_EQ(index.Find(ChunkIndex::Key(type, id)), it == expected.end() ? nullptr : it->second) << step;
      }
  }
  index.Clear();
  EXPECT_EQ(index.Find(ChunkIndex::Key(0x41414141, 0)), nullptr);
}

}  // namespace
