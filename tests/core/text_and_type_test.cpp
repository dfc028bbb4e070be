#include <gtest/gtest.h>

#include <string>

#include "core/text_codec.h"
#include "core/type_code.h"

using namespace scrivet;

namespace {

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s.push_back(char(b));
  return s;
}

TEST(TextCodec, EveryByteSurvivesBothRoundTrips) {
  const std::string bytes = AllBytes();
  std::string back;
  EXPECT_TRUE(Utf16ToCp1252(Cp1252ToUtf16(bytes), back));
  EXPECT_EQ(back, bytes);
  EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(bytes), back));
  EXPECT_EQ(back, bytes);
}

TEST(TextCodec, MapsTheWindowsCharactersAndKeepsTheUnassignedOnes) {
  EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
  EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0xE9), u'\u00E9');
  for (unsigned char unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ(Cp1252ToUnicode(unassigned), unassigned);
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
}

TEST(TextCodec, UnmappableOrBrokenInputBecomesQuestionMarks) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string bytes;
  };
  const Case cases[] = {
      {"CJK", "a\xE4\xB8\x80z", "a?z"},
      {"lone continuation", "a\x80z", "a?z"},
      {"cut sequence", "a\xE2\x82", "a?"},
      {"bad lead byte", "\xFFz", "?z"},
      {"overlong NUL", "a\xC0\x80z", "a?z"},
      {"overlong A", "\xC1\x81", "?"},
      {"overlong e acute", "\xE0\x83\xA9", "?"},
      {"surrogate", "\xED\xA0\x80", "?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes;
    EXPECT_FALSE(Utf8ToCp1252(c.utf8, bytes));
    EXPECT_EQ(bytes, c.bytes);
  }
  std::string bytes;
  EXPECT_FALSE(Utf16ToCp1252(u"a\u4E00", bytes));
  EXPECT_EQ(bytes, "a?");
}

TEST(TypeCode, FirstCharacterIsTheMostSignificantByte) {
  EXPECT_EQ(MakeTypeCode("STR#"), 0x53545223u);
  EXPECT_EQ(MakeTypeCode("rsmp"), 0x72736D70u);
  EXPECT_EQ(TypeCodeToString(0x81000023u), std::string("\x81\0\0#", 4));
  TypeCode type = 0;
  EXPECT_TRUE(ParseTypeCode(std::string("OB\0f", 4), type));
  EXPECT_EQ(type, 0x4F420066u);
  for (const char* bad : {"", "STR", "STR##"}) EXPECT_FALSE(ParseTypeCode(bad, type)) << bad;
}

}  // namespace
