#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/stream.h"
#include "core/text_codec.h"
#include "core/type_code.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

// Disk and memory streams must behave alike: readers are written once against Stream.
class Streams : public ::testing::TestWithParam<bool> {
 protected:
  std::unique_ptr<Stream> Make(const Bytes& bytes) {
    if (!GetParam()) return std::make_unique<MemoryStream>(bytes);
    WriteFile(dir_ / "s.bin", bytes);
    return FileStream::Open(dir_ / "s.bin", FileStream::Mode::ReadWrite);
  }
  TempDir dir_;
};

TEST_P(Streams, ReadWriteSeekTruncateAndDuplicate) {
  auto s = Make({1, 2, 3, 4, 5});
  ASSERT_TRUE(s);
  uint8_t b[8] = {};
  ASSERT_TRUE(s->Seek(3));
  EXPECT_EQ(s->Read(b, 8), 2u);
  EXPECT_EQ(b[0], 4);
  EXPECT_EQ(s->Position(), 5u);
  EXPECT_EQ(s->Read(b, 1), 0u);
  ASSERT_TRUE(s->Seek(0));
  EXPECT_FALSE(s->ReadExact(b, 6));
  // Seeking past the end changes nothing until a write, which fills the gap with zeros.
  ASSERT_TRUE(s->Seek(10));
  EXPECT_EQ(s->Read(b, 4), 0u);
  EXPECT_EQ(s->Length(), 5u);
  ASSERT_TRUE(s->Seek(7) && s->Write("\x09", 1));
  Bytes all(8);
  ASSERT_TRUE(s->Seek(0) && s->ReadExact(all.data(), 8));
  EXPECT_EQ(all, (Bytes{1, 2, 3, 4, 5, 0, 0, 9}));
  // Duplicates read the same bytes with their own position.
  ASSERT_TRUE(s->Seek(1));
  auto d = s->Duplicate();
  ASSERT_TRUE(d && d->ReadExact(b, 2));
  EXPECT_EQ(b[0], 2);
  EXPECT_EQ(s->Position(), 1u);

  // Reads see what was just written, whatever was read ahead; truncate pulls the position back.
  s = Make(Bytes(10000, 0x11));
  ASSERT_TRUE(s->Seek(100) && s->ReadExact(b, 4));
  ASSERT_TRUE(s->Seek(101) && s->Write("\x22\x33", 2));
  ASSERT_TRUE(s->Seek(100) && s->ReadExact(b, 4));
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0x11, 0x22, 0x33, 0x11}));
  ASSERT_TRUE(s->Seek(8000) && s->Truncate(5000));
  EXPECT_EQ(s->Length(), 5000u);
  EXPECT_EQ(s->Position(), 5000u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Streams, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST(TextCodec, EveryByteSurvivesBothRoundTripsAndWindowsCharactersMap) {
  std::string bytes, back;
  for (int b = 0; b < 256; ++b) bytes.push_back(char(b));
  EXPECT_TRUE(Utf16ToCp1252(Cp1252ToUtf16(bytes), back));
  EXPECT_EQ(back, bytes);
  EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(bytes), back));
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
  for (unsigned char unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(Cp1252ToUnicode(unassigned), unassigned);
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
}

TEST(TextCodec, UnmappableOrBrokenInputBecomesQuestionMarks) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\xE4\xB8\x80z", "a?z"},  // CJK
      {"a\x80z", "a?z"},          // lone continuation
      {"a\xE2\x82", "a?"},        // cut sequence
      {"\xFFz", "?z"},            // bad lead byte
      {"a\xC0\x80z", "a?z"},      // overlong NUL
      {"\xE0\x83\xA9", "?"},      // overlong e acute
      {"\xED\xA0\x80", "?"},      // surrogate
  };
  std::string bytes;
  for (const auto& [utf8, expected] : cases) {
    EXPECT_FALSE(Utf8ToCp1252(utf8, bytes)) << expected;
    EXPECT_EQ(bytes, expected);
  }
  EXPECT_FALSE(Utf16ToCp1252(u"a\u4E00", bytes));
  EXPECT_EQ(bytes, "a?");
}

TEST(TypeCode, FirstCharacterIsTheMostSignificantByteAndSwapsReverse) {
  EXPECT_EQ(SwapU16(0x1122), 0x2211);
  EXPECT_EQ(SwapU32(0x11223344u), 0x44332211u);
  EXPECT_EQ(MakeTypeCode("STR#"), 0x53545223u);
  EXPECT_EQ(TypeCodeToString(0x81000023u), std::string("\x81\0\0#", 4));
  TypeCode type = 0;
  EXPECT_TRUE(ParseTypeCode(std::string("OB\0f", 4), type));
  EXPECT_EQ(type, 0x4F420066u);
  for (const char* bad : {"", "STR", "STR##"}) EXPECT_FALSE(ParseTypeCode(bad, type)) << bad;
}

}  // namespace
