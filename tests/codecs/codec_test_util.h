#pragma once
// Helpers shared by the codec tests: run a codec over a byte vector and back.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/iff_chunk.h"

namespace scrivet::test {

using Bytes = std::vector<uint8_t>;

inline constexpr uint16_t kLE = 0x0010;
inline constexpr uint16_t kBE = 0x0000;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes Text(const std::string& s, bool terminate = true) {
  Bytes out(s.begin(), s.end());
  if (terminate) out.push_back(0);
  return out;
}

inline Bytes U16(uint16_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }
inline Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

template <typename R>
bool DecodeBytes(R& resource, const Bytes& bytes, uint16_t flags = kLE) {
  IffChunk& chunk = resource.Chunk();
  chunk.Assign(bytes.data(), bytes.size());
  chunk.flags = flags;
  chunk.Rewind();
  return resource.Decode();
}

template <typename R>
Bytes EncodeBytes(R& resource) {
  IffChunk& chunk = resource.Chunk();
  chunk.Assign("\x55\x55\x55", 3);  // stale bytes the encoder must replace
  chunk.flags = 0;
  EXPECT_TRUE(resource.Encode());
  EXPECT_TRUE(chunk.flags & IffChunk::kFlagLittleEndian);
  return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

// Decodes every proper prefix of a valid vector: nothing may crash or read beyond the data.
// With mustFail, each prefix must also be refused.
template <typename R>
void FeedPrefixes(const Bytes& bytes, uint16_t flags, bool mustFail) {
  for (size_t n = 0; n < bytes.size(); ++n) {
    R resource;
    const bool ok = DecodeBytes(resource, Bytes(bytes.begin(), bytes.begin() + n), flags);
    EXPECT_FALSE(mustFail && ok) << "prefix of " << n << " bytes decoded";
  }
}

// decode -> encode gives back the same bytes, and decoding those gives the same model.
template <typename R>
void ExpectCanonical(const Bytes& bytes, uint16_t flags = kLE) {
  R first;
  ASSERT_TRUE(DecodeBytes(first, bytes, flags));
  Bytes out = EncodeBytes(first);
  EXPECT_EQ(out, bytes);
  R second;
  ASSERT_TRUE(DecodeBytes(second, out));
  EXPECT_TRUE(second.ModelEquals(first));
}

}  // namespace scrivet::test
