#pragma once
// Number boxes: reading and showing a value of 1, 2 or 4 bytes, signed or not, in binary,
// decimal or hexadecimal. Two ways of reading exist because the editors need both: range-checked
// boxes refuse a bad text and keep the old value (ParseNumber, with the reason and the allowed
// range for the dialog's message), while the object definition's three synchronised boxes and a
// routine's hex bytes take whatever number the text starts with, 0 for none (ScanNumber).

#include <cstdint>
#include <string>
#include <string_view>

#include "edit/edit_error.h"

namespace scrivet {

enum class NumberBase : uint8_t { Binary, Decimal, Hex };

// How a value is stored (width in bytes, signedness) and which values its box accepts.
struct NumberField {
  int width = 2;  // 1, 2 or 4
  bool isSigned = false;
  int64_t min = 0;
  int64_t max = 0xFFFF;

  // The values `width` bytes hold.
  static constexpr int64_t Lowest(int width, bool isSigned) {
    return isSigned ? -(int64_t{1} << (8 * Clamp(width) - 1)) : 0;
  }
  static constexpr int64_t Highest(int width, bool isSigned) {
    return isSigned ? (int64_t{1} << (8 * Clamp(width) - 1)) - 1 : (int64_t{1} << (8 * Clamp(width))) - 1;
  }
  static constexpr NumberField Unsigned(int width) { return Range(width, 0, Highest(width, false)); }
  static constexpr NumberField Signed(int width) { return Range(width, Lowest(width, true), Highest(width, true)); }
  // A narrower range; signed when `min` is negative. The range is cut to what the width holds.
  static constexpr NumberField Range(int width, int64_t min, int64_t max) {
    NumberField field;
    field.width = Clamp(width);
    field.isSigned = min < 0;
    const int64_t lowest = Lowest(field.width, field.isSigned);
    const int64_t highest = Highest(field.width, field.isSigned);
    field.min = min < lowest ? lowest : min;
    field.max = max > highest ? highest : max;
    return field;
  }

  // The value stored in the low `width` bytes of `bits` (sign-extended for a signed field).
  int64_t FromBits(uint32_t bits) const;
  // The low `width` bytes of `value` (two's complement for negative values).
  uint32_t ToBits(int64_t value) const;

 private:
  static constexpr int Clamp(int width) { return width < 1 ? 1 : width > 4 ? 4 : width; }
};

// A box's verdict: the value, or why it was refused (Empty, NotANumber, OutOfRange) with the
// range the message names.
struct NumberParse {
  EditError error = EditError::None;
  int64_t value = 0;  // when accepted: the field's value (negative for signed fields)
  int64_t min = 0;    // the accepted range
  int64_t max = 0;
  std::string detail;  // the text without surrounding blanks

  bool ok() const { return error == EditError::None; }
};

// A range-checked box. The whole text, blanks around it aside, must be the number: decimal with
// an optional sign; binary or hexadecimal (optional "0x") as the field's bit pattern, so "FFFF"
// in a signed 2-byte field is -1.
NumberParse ParseNumber(std::string_view text, const NumberField& field, NumberBase base = NumberBase::Decimal);

// A box that never refuses. Decimal and hexadecimal read the number the text starts with (after
// blanks, with an optional sign, hexadecimal with an optional "0x"): "12a" gives 12, "zz" 0.
// Binary reads every character, "1" as a one bit and anything else as a zero bit. The result is
// the low 32 bits (a negative number in two's complement); the caller keeps the bytes it stores.
uint32_t ScanNumber(std::string_view text, NumberBase base);

// A field's value as its box shows it: decimal with a sign for signed fields, binary as all
// 8 x width bits, hexadecimal as 2 x width upper-case digits. The value is first reduced to what
// the field stores (a signed 2-byte field shows 65535 as -1 and FFFF).
std::string FormatNumber(int64_t value, const NumberField& field, NumberBase base);

// The pieces, for boxes whose display does not follow their width (the object definition shows
// 1- and 2-byte fields with at least four hex digits, and a negative word as eight).
std::string FormatDecimal(int64_t value);
// Upper-case digits, at least `minDigits` of them (zero-padded), like "%N.NX".
std::string FormatHex(uint32_t bits, int minDigits);
// Bits `bitCount - 1` down to 0 as "1" and "0".
std::string FormatBinary(uint32_t bits, int bitCount);

// Real-number boxes. The shortest text that reads back to the same float.
std::string FormatReal(float value);
// A real number (sign, digits, fraction, exponent), blanks around it aside; `value` is set only
// when it reads. Empty, NotANumber or OutOfRange otherwise.
NumberParse ParseReal(std::string_view text, float& value);
// A decimal number with an optional fraction, truncated toward zero, within the field's range.
NumberParse ParseTruncated(std::string_view text, const NumberField& field);

}  // namespace scrivet
