#include <gtest/gtest.h>

#include <algorithm>

#include "codec_test_util.h"
#include "codecs/resource_bcon.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"

namespace scrivet {
namespace {

using namespace test;

TEST(ResourceBcon, Layouts) {
  ResourceBcon bcon;
  Bytes editable = {0x03, 0x80, 1, 0, 2, 0, 0xFF, 0x7F};
  ASSERT_TRUE(DecodeBytes(bcon, editable));
  EXPECT_TRUE(bcon.editable);
  EXPECT_EQ(bcon.values, (std::vector<int16_t>{1, 2, 32767}));
  ExpectCanonical<ResourceBcon>(editable);
  FeedPrefixes<ResourceBcon>(editable, kLE, true);

  Bytes big = {0x00, 0x02, 0x00, 0x05, 0xFF, 0xFF};
  ASSERT_TRUE(DecodeBytes(bcon, big, kBE));
  EXPECT_FALSE(bcon.editable);
  EXPECT_EQ(bcon.values, (std::vector<int16_t>{5, -1}));
  EXPECT_EQ(EncodeBytes(bcon), (Bytes{0x02, 0x00, 0x05, 0x00, 0xFF, 0xFF}));
  FeedPrefixes<ResourceBcon>(big, kBE, true);

  EXPECT_FALSE(DecodeBytes(bcon, {0x03, 0x00, 1, 0}));
}

TEST(ResourceBcon, ValueEditing) {
  ResourceBcon bcon;
  bcon.values = {1, 2};
  ASSERT_TRUE(bcon.SetValue(5, 7));
  EXPECT_EQ(bcon.values, (std::vector<int16_t>{1, 2, 0, 0, 0, 7}));
  int16_t v;
  EXPECT_TRUE(bcon.GetValue(5, v) && v == 7);
  EXPECT_FALSE(bcon.GetValue(6, v));
  EXPECT_TRUE(bcon.RemoveValue(0) && bcon.values.front() == 2);
  EXPECT_FALSE(bcon.RemoveValue(5));
  // The count has 15 bits: a longer list would spill into the editable bit.
  EXPECT_FALSE(bcon.SetValue(0x7FFF, 1));
  bcon.values.resize(0x7FFF);  // the most the count holds
  EXPECT_TRUE(bcon.Encode());
  bcon.values.resize(0x8000);
  EXPECT_FALSE(bcon.Encode());
}

TEST(ResourceGlob, TerminatedAndLengthPrefixedNames) {
  ResourceGlob glob;
  ASSERT_TRUE(DecodeBytes(glob, Text("ChairGlobals")));
  EXPECT_EQ(glob.fileName, "ChairGlobals");
  ExpectCanonical<ResourceGlob>(Text("ChairGlobals"));
  FeedPrefixes<ResourceGlob>(Text("ChairGlobals"), kLE, true);

  Bytes block(256, 0xA3);
  block[0] = 6;
  std::copy_n("Global", 6, block.begin() + 1);
  ASSERT_TRUE(DecodeBytes(glob, block, kBE));
  EXPECT_EQ(glob.fileName, "Global");
  EXPECT_EQ(EncodeBytes(glob), Text("Global"));

  block[0] = 255;
  block[3] = 0;  // a zero inside ends the name
  ASSERT_TRUE(DecodeBytes(glob, block));
  EXPECT_EQ(glob.fileName, "Gl");
  // A 255-byte name is lengthened so that it does not read back as a prefixed block.
  glob.fileName = std::string(255, 'n');
  const Bytes out = EncodeBytes(glob);
  EXPECT_EQ(out.size(), 257u);
  ExpectCanonical<ResourceGlob>(out);
}

}  // namespace
}  // namespace scrivet
