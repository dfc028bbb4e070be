#include "codecs/field_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

namespace scrivet {
namespace {

// "1 00 10000" -> bytes, most significant bit first, zero-filled.
std::vector<uint8_t> Bits(const std::string& pattern) {
  std::vector<uint8_t> out;
  int used = 0;
  for (char c : pattern) {
    if (c != '0' && c != '1') continue;
    if (used % 8 == 0) out.push_back(0);
    if (c == '1') out.back() |= uint8_t(0x80 >> (used % 8));
    ++used;
  }
  return out;
}

// A 32-bit value, or with `narrow` a 16-bit one, written alone and flushed.
std::vector<uint8_t> Encode(int32_t v, bool narrow) {
  std::vector<uint8_t> sink;
  FieldEncoder e(sink);
  narrow ? e.WriteValue16(int16_t(v)) : e.WriteValue32(v);
  e.Flush();
  return sink;
}

TEST(FieldCodec, BitPatterns) {
  const std::tuple<int32_t, bool, const char*> cases[] = {
      {-16, true, "1 00 10000"}, {-1, true, "1 00 11111"}, {16, true, "1 01 00010000"},
      {-4096, true, "1 10 1000000000000"}, {4096, true, "1 11 0001000000000000"},
      {0, false, "0"}, {-1, false, "1 00 111111"}, {1000, false, "1 01 01111101000"},
      {-32, false, "1 00 100000"}, {-33, false, "1 01 11111011111"},
      {0x7FFFFFFF, false, "1 11 01111111111111111111111111111111"},
      {INT32_MIN, false, "1 11 10000000000000000000000000000000"},
  };
  for (const auto& [value, narrow, bits] : cases) EXPECT_EQ(Encode(value, narrow), Bits(bits)) << value;
}

TEST(FieldCodec, BoundaryValuesRoundTrip) {
  const int32_t values32[] = {0, 1, -1, 31, 32, -32, -33, 1023, 1024, -1024, -1025, 1048575, 1048576,
                              -1048576, -1048577, INT32_MAX, INT32_MIN};
  const int16_t values16[] = {0, 1, -1, 15, 16, -16, -17, 127, 128, -128, -129, 4095, 4096, -4096, -4097,
                              INT16_MAX, INT16_MIN};
  std::vector<uint8_t> sink;
  FieldEncoder e(sink);
  for (int32_t v : values32) e.WriteValue32(v);
  for (int16_t v : values16) e.WriteValue16(v);
  e.Flush();
  FieldDecoder d(sink.data(), sink.size());
  for (int32_t v : values32) EXPECT_EQ(d.ReadValue32(), v);
  for (int16_t v : values16) EXPECT_EQ(d.ReadValue16(), v);
  EXPECT_FALSE(d.Exhausted());
  EXPECT_EQ(d.BytesConsumed(), sink.size());
}

TEST(FieldCodec, MissingBitsReadAsZero) {
  FieldDecoder empty(nullptr, 0);
  EXPECT_EQ(empty.ReadValue32(), 0);
  EXPECT_EQ(empty.ReadValue16(), 0);
  EXPECT_TRUE(empty.Exhausted());

  // 1000 cut after its first byte: the missing low bits are zero.
  std::vector<uint8_t> bytes = Encode(1000, false);
  FieldDecoder cut(bytes.data(), 1);
  EXPECT_EQ(cut.ReadValue32(), 0b01111000000);
  EXPECT_TRUE(cut.Exhausted());
  EXPECT_EQ(cut.BytesConsumed(), 2u);  // one past the end
}

// Consumed bytes count started ones; Flush pads only a partial byte.
TEST(FieldCodec, BytesConsumedAndFlushWorkInWholeBytes) {
  std::vector<uint8_t> bytes = {0x00, 0xFF};
  FieldDecoder d(bytes.data(), bytes.size());
  EXPECT_EQ(d.BytesConsumed(), 0u);
  d.ReadBit();
  EXPECT_EQ(d.BytesConsumed(), 1u);
  for (int i = 0; i < 7; ++i) d.ReadBit();
  EXPECT_EQ(d.BytesConsumed(), 1u);
  EXPECT_EQ(d.ReadBit(), 1);
  EXPECT_EQ(d.BytesConsumed(), 2u);

  std::vector<uint8_t> sink;
  FieldEncoder e(sink);
  for (int i = 0; i < 8; ++i) e.WriteBit(1);
  e.Flush();
  EXPECT_EQ(sink, (std::vector<uint8_t>{0xFF}));
  e.WriteBit(1);
  e.Flush();
  e.Flush();
  EXPECT_EQ(sink, (std::vector<uint8_t>{0xFF, 0x80}));
}

}  // namespace
}  // namespace scrivet
