#include "codecs/resource_ttab.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/field_codec.h"

namespace scrivet {
namespace {

using namespace test;

constexpr uint32_t kFloat002 = 0x3CA3D70A;  // 0.02f, the "low" preset
using Ads = std::array<Advertisement, Interaction::kAdvertisementCount>;

Bytes Header(uint16_t count, uint16_t version) { return Cat({U16(count), U16(version)}); }

Bytes Values(std::initializer_list<uint16_t> values) {
  Bytes out;
  for (uint16_t v : values) out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
  return out;
}

// Advertisements whose maxima are `maxes` from the first on.
Ads Maxes(std::vector<int16_t> maxes) {
  Ads ads{};
  for (size_t i = 0; i < maxes.size() && i < ads.size(); ++i) ads[i].max = maxes[i];
  return ads;
}

// A fixed-width record of versions 6 and later, and the advertisements it holds.
Bytes FixedRecord(uint16_t action, uint16_t check, uint32_t motives, uint32_t flags, uint32_t text,
                  uint32_t code, uint32_t value, uint32_t threshold, int32_t join) {
  Bytes out = Cat({U16(action), U16(check), U32(motives), U32(flags), U32(text), U32(code), U32(value),
                   U32(threshold), U32(uint32_t(join))});
  for (uint32_t i = 0; i < motives; ++i) out = Cat({out, Values({uint16_t(i), uint16_t(100 + i), uint16_t(i % 23)})});
  return out;
}
Ads FixedAds(size_t motives) {
  Ads ads{};
  for (size_t i = 0; i < motives && i < ads.size(); ++i) ads[i] = {int16_t(i), int16_t(100 + i), int16_t(i % 23)};
  return ads;
}

// Every layout the game's versions used, each read whole and every prefix refused.
TEST(ResourceTtab, EveryVersionDecodes) {
  const Interaction fixed0{.actionFunction = 0x1001, .checkFunction = 0x1002, .motiveCount = 18, .flags = 0x0401,
                           .textIndex = 4, .attenuationCode = 2, .attenuationValue = kFloat002,
                           .attenuationThreshold = 7, .joinIndex = 0, .advertisements = FixedAds(18), .name = {}};
  const Interaction fixed1{.actionFunction = 0x1003, .name = {}};
  const Interaction v7a{.actionFunction = 1, .name = "ab"}, v7b{.actionFunction = 2, .name = "xyz"};
  const auto fixed = [](uint16_t version) {
    return Cat({Header(2, version), version >= 9 ? Bytes{0} : Bytes{},
                FixedRecord(0x1001, 0x1002, 18, 0x0401, 4, 2, kFloat002, 7, 0),
                FixedRecord(0x1003, 0, 0, 0, 0, 1, 0, 0, -1)});
  };
  const std::vector<std::tuple<const char*, Bytes, std::vector<Interaction>>> cases{
      // Pairs for motives 16 and 20 name no advertisement and are skipped.
      {"v0", Cat({Header(1, 0), Values({0x1001, 3, 3, 50, 16, 7, 20, 7})}),
       {{.actionFunction = 0x1001, .advertisements = Maxes({0, 0, 0, 50}), .name = {}}}},
      {"v1", Cat({Header(2, 1), Values({0x1001, 0x1002, 1, 15, 9}), Values({0x1003, 0, 0})}),
       {{.actionFunction = 0x1001, .checkFunction = 0x1002,
         .advertisements = Maxes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}), .name = {}},
        {.actionFunction = 0x1003, .name = {}}}},
      // The unused word sits before the float.
      {"v2", Cat({Header(1, 2), Values({0x1001, 0x1002, 2}), {0xA3, 0xA3}, U32(kFloat002), Values({40, 60})}),
       {{.actionFunction = 0x1001, .checkFunction = 0x1002, .attenuationCode = 0, .attenuationValue = kFloat002,
         .advertisements = Maxes({40, 60}), .name = {}}}},
      {"v3, flags widened without sign", Cat({Header(1, 3), Values({1, 2, 1, 0x8001}), U32(kFloat002), Values({7})}),
       {{.actionFunction = 1, .checkFunction = 2, .flags = 0x8001, .attenuationCode = 0,
         .attenuationValue = kFloat002, .advertisements = Maxes({7}), .name = {}}}},
      {"v4, the 17th value dropped",
       Cat({Header(1, 4), Values({1, 2, 17, 0x0003, 0xFFFF}), U32(kFloat002),
            Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17})}),
       {{.actionFunction = 1, .checkFunction = 2, .flags = 3, .textIndex = 0xFFFF, .attenuationCode = 0,
         .attenuationValue = kFloat002, .advertisements = Maxes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), .name = {}}}},
      {"v5, all fields 32-bit",
       Cat({Header(1, 5), Values({0x1010, 0x1011}), U32(16), U32(0x0209), U32(3), U32(kFloat002), U32(5),
            U32(uint32_t(-1)), Values({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})}),
       {{.actionFunction = 0x1010, .checkFunction = 0x1011, .flags = 0x0209, .textIndex = 3, .attenuationCode = 0,
         .attenuationValue = kFloat002, .attenuationThreshold = 5,
         .advertisements = Maxes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), .name = {}}}},
      {"v6", fixed(6), {fixed0, fixed1}},
      {"v9 uncompressed", fixed(9), {fixed0, fixed1}},
      // Header 4 + record 32 + "ab\0" ends at 39, so a pad byte follows.
      {"v7 names padded to even positions",
       Cat({Header(2, 7), FixedRecord(1, 0, 0, 0, 0, 1, 0, 0, -1), Text("ab"), {0xA3},
            FixedRecord(2, 0, 0, 0, 0, 1, 0, 0, -1), Text("xyz")}),
       {v7a, v7b}},
  };
  for (const auto& [name, bytes, expected] : cases) {
    SCOPED_TRACE(name);
    ResourceTtab ttab;
    ASSERT_TRUE(DecodeBytes(ttab, bytes));
    EXPECT_TRUE(ttab.interactions == expected);
    FeedPrefixes<ResourceTtab>(bytes, kLE, true);
  }
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
  EXPECT_TRUE(back.interactions == std::vector<Interaction>{expected});
  ExpectCanonical<ResourceTtab>(out);
  FeedPrefixes<ResourceTtab>(out, kLE, false);
}

TEST(ResourceTtab, FieldEncodedStreamCutShortReadsZerosAndBadInputIsRefused) {
  std::vector<uint8_t> sink;
  FieldEncoder bits(sink);
  bits.WriteValue16(0x1001);
  bits.WriteValue16(0x1002);
  bits.WriteValue32(1000000);  // motive count far beyond the stream
  bits.Flush();
  ResourceTtab ttab;
  ASSERT_TRUE(DecodeBytes(ttab, Cat({Header(3, 10), {1}, sink})));
  // The stream ran out inside the first record.
  const Interaction cut{.actionFunction = 0x1001, .checkFunction = 0x1002, .motiveCount = 1000000,
                        .attenuationCode = 0, .joinIndex = 0, .name = {}};
  EXPECT_TRUE(ttab.interactions == std::vector<Interaction>{cut});

  EXPECT_FALSE(DecodeBytes(ttab, Header(0, 6), kBE));
  EXPECT_FALSE(DecodeBytes(ttab, Header(0, 9)));  // no compression code
  EXPECT_TRUE(DecodeBytes(ttab, Header(0, 8)));
  // A fixed-width motive count larger than the data.
  EXPECT_FALSE(DecodeBytes(ttab, Cat({Header(1, 6), U16(1), U16(0), U32(0x40000000), Bytes(24, 0)})));
}

}  // namespace
}  // namespace scrivet
