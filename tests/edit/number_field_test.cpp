#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "edit/number_field.h"

namespace scrivet {
namespace {

using B = NumberBase;
using E = EditError;

TEST(NumberField, RangeCheckedBoxes) {
  // Ranged boxes (skills, motives, hours) are checked through the career editor.
  const NumberField byte = NumberField::Unsigned(1), word = NumberField::Signed(2), uword = NumberField::Unsigned(2),
                    dword = NumberField::Unsigned(4);
  struct Case { const char* text; NumberField field; B base; E error; int64_t value; } cases[] = {
      {"42", byte, B::Decimal, E::None, 42},          {" +7\t", byte, B::Decimal, E::None, 7},
      {"255", byte, B::Decimal, E::None, 255},        {"256", byte, B::Decimal, E::OutOfRange, 0},
      {"-32768", word, B::Decimal, E::None, -32768},  {"-32769", word, B::Decimal, E::OutOfRange, 0},
      {"32767", word, B::Decimal, E::None, 32767},    {"32768", word, B::Decimal, E::OutOfRange, 0},
      {"-1", uword, B::Decimal, E::OutOfRange, 0},    {"65535", uword, B::Decimal, E::None, 65535},
      {"4294967295", dword, B::Decimal, E::None, 4294967295}, {"  ", byte, B::Decimal, E::Empty, 0},
      {"99999999999999999999999", dword, B::Decimal, E::OutOfRange, 0}, {"0x10", byte, B::Decimal, E::NotANumber, 0},
      {"12a", byte, B::Decimal, E::NotANumber, 0},    {"-", word, B::Decimal, E::NotANumber, 0},
      {"ff", byte, B::Hex, E::None, 255},             {"0x1F", byte, B::Hex, E::None, 31},
      {"FFFF", word, B::Hex, E::None, -1},            {"8000", word, B::Hex, E::None, -32768},
      {"10000", uword, B::Hex, E::OutOfRange, 0},     {"0x", byte, B::Hex, E::NotANumber, 0},
      {"-1", word, B::Hex, E::NotANumber, 0},         {"g", byte, B::Hex, E::NotANumber, 0},
      {"101", byte, B::Binary, E::None, 5},           {"100000000", byte, B::Binary, E::OutOfRange, 0},
      {"11111111", NumberField::Signed(1), B::Binary, E::None, -1}, {"102", byte, B::Binary, E::NotANumber, 0},
      {"100", NumberField::Signed(1), B::Hex, E::OutOfRange, 0},
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

// Values are shown in the box's width: negative ones as their two's complement bits.
TEST(NumberField, FormattingByWidthAndBase) {
  struct Case { int64_t value; NumberField field; B base; const char* text; } cases[] = {
      {-1, NumberField::Signed(1), B::Hex, "FF"},        {5, NumberField::Unsigned(1), B::Hex, "05"},
      {5, NumberField::Unsigned(1), B::Binary, "00000101"}, {-2, NumberField::Signed(1), B::Decimal, "-2"},
      {-1, NumberField::Signed(2), B::Binary, "1111111111111111"}, {0x1234, NumberField::Unsigned(2), B::Hex, "1234"},
      {-32768, NumberField::Signed(2), B::Hex, "8000"},  {-1, NumberField::Signed(4), B::Hex, "FFFFFFFF"},
      {4294967295, NumberField::Unsigned(4), B::Decimal, "4294967295"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.field, c.base), c.text) << c.value;
}

}  // namespace
}  // namespace scrivet
