#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>
#include <string>

#include "codec_test_util.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"

namespace scrivet {
namespace {

using namespace test;

TEST(ResourceObjd, ShortAndLongData) {
  ResourceObjd objd;
  objd.block.fill(0x11);
  ASSERT_TRUE(DecodeBytes(objd, Bytes(100, 0x22)));
  EXPECT_EQ(EncodeBytes(objd), Cat({Bytes(100, 0x22), Bytes(116, 0x11)}));  // beyond the data: kept

  Bytes longer(300, 0x33);
  ASSERT_TRUE(DecodeBytes(objd, longer));
  EXPECT_EQ(EncodeBytes(objd), Bytes(216, 0x33));

  Bytes exact(216);
  for (size_t i = 0; i < exact.size(); ++i) exact[i] = uint8_t(i * 7);
  ExpectCanonical<ResourceObjd>(exact);
  EXPECT_FALSE(DecodeBytes(objd, exact, kBE));
}

TEST(ResourceObjd, DisplayModes) {
  ResourceObjd objd;
  const ObjdField price{"Price", 36, 2, ObjdDisplay::kDecimal};
  const ObjdField guid{"Global Unique ID", 28, 4, ObjdDisplay::kHex};
  const ObjdField room{"Room flags", 78, 1, ObjdDisplay::kDecimal};
  const ObjdField hexWord{"w", 36, 2, ObjdDisplay::kHex};
  objd.SetFieldValue(price, -5);
  EXPECT_EQ(objd.FormatField(price), "-5");
  EXPECT_EQ(objd.FormatField(hexWord), "FFFFFFFB");  // "%4.4X" of the signed number
  objd.SetFieldValue(price, 0x1A);
  EXPECT_EQ(objd.FormatField(hexWord), "001A");
  objd.SetFieldValue(guid, 0x0012ABCD);
  EXPECT_EQ(objd.FormatField(guid), "0012ABCD");
  objd.block[79] = 0x01;
  objd.SetFieldValue(room, 0x1FF);  // only the low byte is written
  EXPECT_EQ(objd.block[78], 0xFF);
  EXPECT_EQ(objd.FieldValue(room), 0x01FF);
  uint32_t v;
  EXPECT_FALSE(objd.ReadField(214, 4, v));
  EXPECT_TRUE(objd.ReadField(212, 4, v));
  EXPECT_FALSE(objd.ReadField(0, 3, v));
}

// Every word of the first 194 bytes but the one at 46 has exactly one row, which starts at the word
// (the two one-byte rows read the low byte of theirs); a row typed one byte off breaks the tiling.
TEST(ResourceObjd, CatalogueRowsTileTheWords) {
  std::vector<int> rowsAt(194, 0);
  for (const ObjdField& field : ObjdFieldCatalogue()) {
    if (field.IsHeading()) continue;
    SCOPED_TRACE(field.label);
    ASSERT_TRUE(field.offset % 2 == 0 && field.offset + field.size <= 194);
    for (size_t at = field.offset; at < field.offset + std::max<size_t>(field.size, 2); at += 2) ++rowsAt[at];
  }
  for (size_t at = 0; at < rowsAt.size(); at += 2) EXPECT_EQ(rowsAt[at], at == 46 ? 0 : 1) << "word at " << at;
}

Bytes ObjfBytes(uint32_t count, uint32_t entries, uint32_t first = 0, uint32_t second = 0) {
  Bytes out = Cat({U32(first), U32(second), {0x66, 0x4A, 0x42, 0x4F}, U32(count)});
  for (uint32_t i = 0; i < entries; ++i) out = Cat({out, U16(uint16_t(0x1000 + i)), U16(uint16_t(0x2000 + i))});
  return out;
}

TEST(ResourceObjf, EntryCounts) {
  // Fewer entries are written as all 31, the missing ones zero; more are cut to 31.
  ResourceObjf objf;
  ASSERT_TRUE(DecodeBytes(objf, ObjfBytes(20, 20)));
  EXPECT_EQ(EncodeBytes(objf), Cat({ObjfBytes(31, 20), Bytes(44, 0)}));
  FeedPrefixes<ResourceObjf>(ObjfBytes(20, 20), kLE, true);

  ASSERT_TRUE(DecodeBytes(objf, ObjfBytes(40, 40)));
  EXPECT_EQ(EncodeBytes(objf), ObjfBytes(31, 31));

  ExpectCanonical<ResourceObjf>(ObjfBytes(31, 31));
  ExpectCanonical<ResourceObjf>(ObjfBytes(31, 31), kBE);  // the flag bit is not consulted
}

TEST(ResourceObjf, RefusedInput) {
  ResourceObjf objf;
  Bytes badMagic = ObjfBytes(0, 0);
  badMagic[8] = 'F';
  for (const Bytes& bytes : {ObjfBytes(3, 3, 1, 0), ObjfBytes(3, 3, 0, 1), ObjfBytes(3, 2),
                             ObjfBytes(0xFFFFFFFF, 31) /* negative count */, badMagic})
    EXPECT_FALSE(DecodeBytes(objf, bytes));
}

}  // namespace
}  // namespace scrivet
