#include "codecs/resource_ttab.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/field_codec.h"

namespace scrivet {
namespace {

using namespace test;

constexpr uint32_t kFloat002 = 0x3CA3D70A;  // 0.02f, the "low" preset

Bytes Header(uint16_t count, uint16_t version) { return Cat({U16(count), U16(version)}); }

Bytes Values(std::initializer_list<uint16_t> values) {
  Bytes out;
  for (uint16_t v : values) out = Cat({out, U16(v)});
  return out;
}

// A fixed-width record of versions 6 and later.
Bytes FixedRecord(uint16_t action, uint16_t check, uint32_t motives, uint32_t flags, uint32_t text,
                  uint32_t code, uint32_t value, uint32_t threshold, int32_t join) {
  Bytes out = Cat({U16(action), U16(check), U32(motives), U32(flags), U32(text), U32(code), U32(value),
                   U32(threshold), U32(uint32_t(join))});
  for (uint32_t i = 0; i < motives; ++i) out = Cat({out, Values({uint16_t(i), uint16_t(100 + i), uint16_t(i % 23)})});
  return out;
}

TEST(ResourceTtab, Version0And1Pairs) {
  // Pairs for motives 16 and 20 name no advertisement and are skipped.
  Bytes v0 = Cat({Header(1, 0), Values({0x1001, 3, 3, 50, 16, 7, 20, 7})});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, v0));
  ASSERT_EQ(ttab.interactions.size(), 1u);
  const Interaction& in = ttab.interactions[0];
  EXPECT_EQ(in.actionFunction, 0x1001);
  EXPECT_EQ(in.checkFunction, 0);
  EXPECT_EQ(in.advertisements[3].max, 50);
  EXPECT_EQ(in.attenuationCode, 1u);
  EXPECT_EQ(in.joinIndex, -1);
  EXPECT_EQ(in, [] {
    Interaction expected;
    expected.actionFunction = 0x1001;
    expected.advertisements[3].max = 50;
    return expected;
  }());
  FeedPrefixes<ResourceTtab>(v0, kLE, true);

  Bytes v1 = Cat({Header(2, 1), Values({0x1001, 0x1002, 1, 15, 9}), Values({0x1003, 0, 0})});
  ASSERT_TRUE(DecodeBytes(ttab, v1));
  ASSERT_EQ(ttab.interactions.size(), 2u);
  EXPECT_EQ(ttab.interactions[0].checkFunction, 0x1002);
  EXPECT_EQ(ttab.interactions[0].advertisements[15].max, 9);
  EXPECT_EQ(ttab.interactions[1].actionFunction, 0x1003);
  FeedPrefixes<ResourceTtab>(v1, kLE, true);
}

TEST(ResourceTtab, Version2HasTheUnusedWordBeforeTheFloat) {
  Bytes v2 = Cat({Header(1, 2), Values({0x1001, 0x1002, 2}), {0xA3, 0xA3}, U32(kFloat002), Values({40, 60})});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, v2));
  const Interaction& in = ttab.interactions.at(0);
  EXPECT_EQ(in.attenuationValue, kFloat002);
  EXPECT_EQ(in.attenuationCode, 0u);
  EXPECT_EQ(in.motiveCount, 0u);
  EXPECT_EQ(in.advertisements[0].max, 40);
  EXPECT_EQ(in.advertisements[1].max, 60);
  FeedPrefixes<ResourceTtab>(v2, kLE, true);
}

TEST(ResourceTtab, Versions3And4) {
  Bytes v3 = Cat({Header(1, 3), Values({1, 2, 1, 0x8001}), U32(kFloat002), Values({7})});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, v3));
  EXPECT_EQ(ttab.interactions.at(0).flags, 0x8001u);  // widened without sign
  EXPECT_EQ(ttab.interactions[0].attenuationValue, kFloat002);
  EXPECT_EQ(ttab.interactions[0].advertisements[0].max, 7);
  FeedPrefixes<ResourceTtab>(v3, kLE, true);

  Bytes v4 = Cat({Header(1, 4), Values({1, 2, 17, 0x0003, 0xFFFF}), U32(kFloat002),
                  Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17})});
  ASSERT_TRUE(DecodeBytes(ttab, v4));
  const Interaction& in = ttab.interactions.at(0);
  EXPECT_EQ(in.textIndex, 0xFFFFu);
  EXPECT_EQ(in.advertisements[15].max, 16);  // the 17th value is dropped
  FeedPrefixes<ResourceTtab>(v4, kLE, true);
}

TEST(ResourceTtab, Version5RealLayout) {
  // One interaction with sixteen values: 64 bytes in all.
  Bytes v5 = Cat({Header(1, 5), Values({0x1010, 0x1011}), U32(16), U32(0x0209), U32(3), U32(kFloat002),
                  U32(5), U32(uint32_t(-1)),
                  Values({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})});
  ASSERT_EQ(v5.size(), 64u);
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, v5));
  const Interaction& in = ttab.interactions.at(0);
  EXPECT_EQ(in.actionFunction, 0x1010);
  EXPECT_EQ(in.checkFunction, 0x1011);
  EXPECT_EQ(in.flags, 0x0209u);
  EXPECT_EQ(in.textIndex, 3u);
  EXPECT_EQ(in.attenuationValue, kFloat002);
  EXPECT_EQ(in.attenuationThreshold, 5u);
  EXPECT_EQ(in.joinIndex, -1);
  EXPECT_EQ(in.attenuationCode, 0u);
  EXPECT_EQ(in.advertisements[15].max, 15);
  FeedPrefixes<ResourceTtab>(v5, kLE, true);
}

TEST(ResourceTtab, FixedWidthVersions) {
  for (uint16_t version : {6, 8, 9}) {
    SCOPED_TRACE(version);
    Bytes bytes = Cat({Header(2, version), version >= 9 ? Bytes{0} : Bytes{},
                       FixedRecord(0x1001, 0x1002, 18, 0x0401, 4, 2, kFloat002, 7, 0),
                       FixedRecord(0x1003, 0, 0, 0, 0, 1, 0, 0, -1)});
    ResourceTtab ttab;
    ASSERT_TRUE(DecodeBytes(ttab, bytes));
    EXPECT_EQ(ttab.version, version);
    ASSERT_EQ(ttab.interactions.size(), 2u);
    const Interaction& in = ttab.interactions[0];
    EXPECT_EQ(in.motiveCount, 18u);
    EXPECT_EQ(in.flags, 0x0401u);
    EXPECT_EQ(in.attenuationCode, 2u);
    EXPECT_EQ(in.joinIndex, 0);
    EXPECT_EQ(in.advertisements[15].min, 15);
    EXPECT_EQ(in.advertisements[15].max, 115);
    EXPECT_EQ(in.advertisements[15].personality, 15);
    EXPECT_EQ(ttab.interactions[1].joinIndex, -1);
    FeedPrefixes<ResourceTtab>(bytes, kLE, true);
  }
}

TEST(ResourceTtab, Version7NamesArePaddedToEvenPositions) {
  // Header 4 + record 32 + "ab\0" ends at 39, so a pad byte follows.
  Bytes bytes = Cat({Header(2, 7), FixedRecord(1, 0, 0, 0, 0, 1, 0, 0, -1), Text("ab"), {0xA3},
                     FixedRecord(2, 0, 0, 0, 0, 1, 0, 0, -1), Text("xyz")});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, bytes));
  ASSERT_EQ(ttab.interactions.size(), 2u);
  EXPECT_EQ(ttab.interactions[0].name, "ab");
  EXPECT_EQ(ttab.interactions[1].actionFunction, 2);
  EXPECT_EQ(ttab.interactions[1].name, "xyz");
  FeedPrefixes<ResourceTtab>(bytes, kLE, true);
}

TEST(ResourceTtab, SavedAsFieldEncodedVersion9) {
  Bytes v7 = Cat({Header(1, 7), FixedRecord(0x1001, 0x1002, 3, 0x0401, 4, 0, kFloat002, 7, 2), Text("n")});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, v7));
  Bytes out = EncodeBytes(ttab);
  EXPECT_EQ(ttab.version, 9);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), (Bytes{1, 0, 9, 0, 1}));

  ResourceTtab back;
  ASSERT_TRUE(DecodeBytes(back, out));
  Interaction expected = ttab.interactions[0];
  expected.name.clear();
  expected.motiveCount = 16;
  ASSERT_EQ(back.interactions.size(), 1u);
  EXPECT_EQ(back.interactions[0], expected);
  ExpectCanonical<ResourceTtab>(out);
  FeedPrefixes<ResourceTtab>(out, kLE, false);
}

TEST(ResourceTtab, FieldEncodedStreamCutShortReadsZeros) {
  std::vector<uint8_t> sink;
  FieldEncoder bits(sink);
  bits.WriteValue16(0x1001);
  bits.WriteValue16(0x1002);
  bits.WriteValue32(1000000);  // motive count far beyond the stream
  bits.Flush();
  Bytes bytes = Cat({Header(3, 10), {1}, sink});
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, bytes));
  ASSERT_EQ(ttab.interactions.size(), 1u);  // the stream ran out inside the first record
  const Interaction& in = ttab.interactions[0];
  EXPECT_EQ(in.actionFunction, 0x1001);
  EXPECT_EQ(in.checkFunction, 0x1002);
  EXPECT_EQ(in.motiveCount, 1000000u);
  EXPECT_EQ(in.flags, 0u);
  EXPECT_EQ(in.joinIndex, 0);
}

TEST(ResourceTtab, RefusedInput) {
  ResourceTtab ttab;
  EXPECT_FALSE(DecodeBytes(ttab, Header(0, 6), kBE));
  EXPECT_FALSE(DecodeBytes(ttab, Header(0, 9)));  // no compression code
  EXPECT_TRUE(DecodeBytes(ttab, Header(0, 8)));
  // A fixed-width motive count larger than the data.
  EXPECT_FALSE(DecodeBytes(ttab, Cat({Header(1, 6), U16(1), U16(0), U32(0x40000000), Bytes(24, 0)})));
}

}  // namespace
}  // namespace scrivet
