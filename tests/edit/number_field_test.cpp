#include <gtest/gtest.h>

#include <string>

#include "edit/number_field.h"

namespace scrivet {
namespace {

using B = NumberBase;
using E = EditError;

TEST(NumberField, RangeCheckedBoxes) {
  const NumberField byte = NumberField::Unsigned(1);
  const NumberField word = NumberField::Signed(2);
  const NumberField uword = NumberField::Unsigned(2);
  const NumberField dword = NumberField::Unsigned(4);
  const NumberField skill = NumberField::Range(4, 0, 1000);
  const NumberField motive = NumberField::Range(4, -100, 100);
  const NumberField hour = NumberField::Range(4, 0, 23);
  struct Case {
    const char* text;
    NumberField field;
    B base;
    E error;
    int64_t value;
  } cases[] = {
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
      {"24", hour, B::Decimal, E::OutOfRange, 0},     {"", byte, B::Decimal, E::Empty, 0},
      {"  ", byte, B::Decimal, E::Empty, 0},          {"12a", byte, B::Decimal, E::NotANumber, 0},
      {"zz", byte, B::Decimal, E::NotANumber, 0},     {"-", word, B::Decimal, E::NotANumber, 0},
      {"1 2", byte, B::Decimal, E::NotANumber, 0},    {"0x10", byte, B::Decimal, E::NotANumber, 0},
      {"ff", byte, B::Hex, E::None, 255},             {"0x1F", byte, B::Hex, E::None, 31},
      {"FFFF", word, B::Hex, E::None, -1},            {"8000", word, B::Hex, E::None, -32768},
      {"7FFF", word, B::Hex, E::None, 32767},
      {"10000", uword, B::Hex, E::OutOfRange, 0},     {"FF", NumberField::Range(1, 0, 100), B::Hex, E::OutOfRange, 0},
      {"0x", byte, B::Hex, E::NotANumber, 0},         {"-1", word, B::Hex, E::NotANumber, 0},
      {"g", byte, B::Hex, E::NotANumber, 0},          {"101", byte, B::Binary, E::None, 5},
      {"11111111", NumberField::Signed(1), B::Binary, E::None, -1},
      {"100000000", byte, B::Binary, E::OutOfRange, 0}, {"102", byte, B::Binary, E::NotANumber, 0},
  };
  for (const Case& c : cases) {
    const NumberParse parse = ParseNumber(c.text, c.field, c.base);
    EXPECT_EQ(parse.error, c.error) << '"' << c.text << '"';
    if (c.error == E::None) {
      EXPECT_EQ(parse.value, c.value) << '"' << c.text << '"';
    }
    // The message names the box's range.
    EXPECT_EQ(parse.min, c.field.min) << '"' << c.text << '"';
    EXPECT_EQ(parse.max, c.field.max) << '"' << c.text << '"';
  }
  EXPECT_EQ(ParseNumber(" 12a ", byte).detail, "12a");
  // A range wider than the width holds is cut to it.
  EXPECT_EQ(NumberField::Range(1, -1000, 1000).min, -128);
  EXPECT_EQ(NumberField::Range(1, -1000, 1000).max, 127);
}

TEST(NumberField, BoxesThatNeverRefuse) {
  struct Case {
    const char* text;
    B base;
    uint32_t value;
  } cases[] = {
      {"12a", B::Decimal, 12},   {"zz", B::Decimal, 0},          {"", B::Decimal, 0},
      {"  -1", B::Decimal, 0xFFFFFFFF}, {"+7", B::Decimal, 7},   {"4294967296", B::Decimal, 0},
      {"ff", B::Hex, 0xFF},      {"0x1F", B::Hex, 0x1F},         {"FFFF8000", B::Hex, 0xFFFF8000},
      {"12g", B::Hex, 0x12},     {"zz", B::Hex, 0},              {"-1", B::Hex, 0xFFFFFFFF},
      {"1111111111111111", B::Binary, 0xFFFF},
      {"1x1", B::Binary, 5},  // any character but "1" is a zero bit
      {"", B::Binary, 0},
      {"111111111111111111111111111111111", B::Binary, 0xFFFFFFFF},
  };
  for (const Case& c : cases) EXPECT_EQ(ScanNumber(c.text, c.base), c.value) << '"' << c.text << '"';
}

TEST(NumberField, Formatting) {
  struct Case {
    int64_t value;
    NumberField field;
    B base;
    const char* text;
  } cases[] = {
      {5, NumberField::Unsigned(1), B::Binary, "00000101"},
      {-32768, NumberField::Signed(2), B::Binary, "1000000000000000"},
      {0x80000001, NumberField::Unsigned(4), B::Binary, "10000000000000000000000000000001"},
      {0xAB, NumberField::Unsigned(1), B::Hex, "AB"},
      {0x1234, NumberField::Unsigned(2), B::Hex, "1234"},
      {10, NumberField::Unsigned(4), B::Hex, "0000000A"},
      {-1, NumberField::Signed(2), B::Hex, "FFFF"},
      {-1, NumberField::Signed(2), B::Decimal, "-1"},
      {65535, NumberField::Signed(2), B::Decimal, "-1"},  // reduced to what the field stores
      {0x1FF, NumberField::Unsigned(1), B::Decimal, "255"},
      {-100, NumberField::Range(4, -100, 100), B::Decimal, "-100"},
      {4294967295, NumberField::Unsigned(4), B::Decimal, "4294967295"},
      {0x80000000, NumberField::Signed(4), B::Decimal, "-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.field, c.base), c.text) << c.text;

  EXPECT_EQ(FormatHex(0xFFFF8000, 4), "FFFF8000");  // "%4.4X" of a negative word
  EXPECT_EQ(FormatHex(0x12, 4), "0012");
  EXPECT_EQ(FormatHex(0, 0), "0");
  EXPECT_EQ(FormatBinary(0x12345, 8), "01000101");
}

}  // namespace
}  // namespace scrivet
