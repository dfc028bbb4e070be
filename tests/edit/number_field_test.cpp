#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "edit/number_field.h"

namespace scrivet {
namespace {

using B = NumberBase;
using E = EditError;

TEST(NumberField, RangeCheckedBoxes) {
  const NumberField byte = NumberField::Unsigned(1), word = NumberField::Signed(2), uword = NumberField::Unsigned(2),
                    dword = NumberField::Unsigned(4), skill = NumberField::Range(4, 0, 1000),
                    motive = NumberField::Range(4, -100, 100), hour = NumberField::Range(4, 0, 23);
  struct Case { const char* text; NumberField field; B base; E error; int64_t value; } cases[] = {
      {"42", byte, B::Decimal, E::None, 42},          {" +7\t", byte, B::Decimal, E::None, 7},
      {"255", byte, B::Decimal, E::None, 255},        {"256", byte, B::Decimal, E::OutOfRange, 0},
      {"-32768", word, B::Decimal, E::None, -32768},  {"-32769", word, B::Decimal, E::OutOfRange, 0},
      {"32767", word, B::Decimal, E::None, 32767},    {"32768", word, B::Decimal, E::OutOfRange, 0},
      {"-1", uword, B::Decimal, E::OutOfRange, 0},    {"65535", uword, B::Decimal, E::None, 65535},
      {"4294967295", dword, B::Decimal, E::None, 4294967295},
      {"99999999999999999999999", dword, B::Decimal, E::OutOfRange, 0},
      {"-5", skill, B::Decimal, E::OutOfRange, 0},    {"1000", skill, B::Decimal, E::None, 1000},
      {"1001", skill, B::Decimal, E::OutOfRange, 0},  {"-5", motive, B::Decimal, E::None, -5},
      {"-101", motive, B::Decimal, E::OutOfRange, 0}, {"23", hour, B::Decimal, E::None, 23},
      {"24", hour, B::Decimal, E::OutOfRange, 0},     {"  ", byte, B::Decimal, E::Empty, 0},
      {"12a", byte, B::Decimal, E::NotANumber, 0},    {"-", word, B::Decimal, E::NotANumber, 0},
      {"1 2", byte, B::Decimal, E::NotANumber, 0},    {"0x10", byte, B::Decimal, E::NotANumber, 0},
      {"ff", byte, B::Hex, E::None, 255},             {"0x1F", byte, B::Hex, E::None, 31},
      {"FFFF", word, B::Hex, E::None, -1},            {"8000", word, B::Hex, E::None, -32768},
      {"7FFF", word, B::Hex, E::None, 32767},         {"10000", uword, B::Hex, E::OutOfRange, 0},
      {"FF", NumberField::Range(1, 0, 100), B::Hex, E::OutOfRange, 0},
      {"0x", byte, B::Hex, E::NotANumber, 0},         {"-1", word, B::Hex, E::NotANumber, 0},
      {"g", byte, B::Hex, E::NotANumber, 0},          {"101", byte, B::Binary, E::None, 5},
      {"11111111", NumberField::Signed(1), B::Binary, E::None, -1},
      {"100000000", byte, B::Binary, E::OutOfRange, 0}, {"102", byte, B::Binary, E::NotANumber, 0},
  };
  for (const Case& c : cases) {
    const NumberParse parse = ParseNumber(c.text, c.field, c.base);
    // The message names the box's range.
    EXPECT_EQ(std::tuple(parse.error, parse.error == E::None ? parse.value : 0, parse.min, parse.max),
              std::tuple(c.error, c.value, c.field.min, c.field.max))
        << '"' << c.text << '"';
  }
  EXPECT_EQ(ParseNumber(" 12a ", byte).detail, "12a");
  // A range wider than the width holds is cut to it.
  EXPECT_EQ(NumberField::Range(1, -1000, 1000).min, -128);
  EXPECT_EQ(NumberField::Range(1, -1000, 1000).max, 127);
}

TEST(NumberField, Formatting) {
  EXPECT_EQ(FormatNumber(65535, NumberField::Signed(2), B::Decimal), "-1");  // reduced to what the field stores
  EXPECT_EQ(FormatNumber(0x80000001, NumberField::Unsigned(4), B::Binary), "10000000000000000000000000000001");
  EXPECT_EQ(FormatHex(0xFFFF8000, 4), "FFFF8000");  // "%4.4X" of a negative word
  EXPECT_EQ(FormatBinary(0x12345, 8), "01000101");
}

}  // namespace
}  // namespace scrivet
