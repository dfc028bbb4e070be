#include "edit/number_field.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace scrivet {

namespace {

// Far beyond any field; digits past it only say "out of range".
constexpr uint64_t kSaturated = uint64_t{1} << 40;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int Radix(NumberBase base) { return base == NumberBase::Binary ? 2 : base == NumberBase::Decimal ? 10 : 16; }

int DigitValue(char c, NumberBase base) {
  int digit = -1;
  if (c >= '0' && c <= '9') digit = c - '0';
  else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < Radix(base) ? digit : -1;
}

bool HasHexPrefix(std::string_view text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// What every box's parse starts with: the text without surrounding blanks, kept as the detail,
// and the range; Empty for a blank box.
NumberParse StartParse(std::string_view& text, int64_t min = 0, int64_t max = 0) {
  NumberParse parse;
  parse.min = min;
  parse.max = max;
  text = Trim(text);
  parse.detail.assign(text);
  if (text.empty()) parse.error = EditError::Empty;
  return parse;
}

uint32_t LowMask(int width) { return width >= 4 ? 0xFFFFFFFFu : (uint32_t{1} << (8 * width)) - 1; }

}  // namespace

int64_t NumberField::FromBits(uint32_t bits) const {
  const uint32_t value = bits & LowMask(width);
  if (isSigned && width < 4 && (value >> (8 * width - 1)) != 0) return int64_t{value} - (int64_t{1} << (8 * width));
  if (isSigned && width >= 4) return static_cast<int32_t>(value);
  return value;
}

uint32_t NumberField::ToBits(int64_t value) const { return static_cast<uint32_t>(value) & LowMask(width); }

NumberParse ParseNumber(std::string_view text, const NumberField& field, NumberBase base) {
  NumberParse result = StartParse(text, field.min, field.max);
  if (!result.ok()) return result;
  bool negative = false;
  if (base == NumberBase::Decimal && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  } else if (base == NumberBase::Hex && HasHexPrefix(text)) {
    text.remove_prefix(2);
  }
  if (text.empty()) {
    result.error = EditError::NotANumber;
    return result;
  }
  uint64_t magnitude = 0;
  for (char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) {
      result.error = EditError::NotANumber;
      return result;
    }
    if (magnitude < kSaturated) magnitude = magnitude * static_cast<uint64_t>(Radix(base)) + static_cast<uint64_t>(digit);
  }
  int64_t value = 0;
  if (base == NumberBase::Decimal) {
    value = magnitude >= kSaturated ? int64_t{1} << 41 : static_cast<int64_t>(magnitude);
    if (negative) value = -value;
  } else if (magnitude > LowMask(field.width)) {
    result.error = EditError::OutOfRange;
    return result;
  } else {
    value = field.FromBits(static_cast<uint32_t>(magnitude));
  }
  if (value < field.min || value > field.max) {
    result.error = EditError::OutOfRange;
    return result;
  }
  result.value = value;
  return result;
}

uint32_t ScanNumber(std::string_view text, NumberBase base) {
  uint32_t value = 0;
  if (base == NumberBase::Binary) {
    for (char c : text) value = value * 2 + (c == '1' ? 1 : 0);
    return value;
  }
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (base == NumberBase::Hex && HasHexPrefix(text)) text.remove_prefix(2);
  const uint32_t radix = static_cast<uint32_t>(Radix(base));
  for (char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) break;
    value = value * radix + static_cast<uint32_t>(digit);  // wraps like the 32-bit box it feeds
  }
  return negative ? 0u - value : value;
}

std::string FormatNumber(int64_t value, const NumberField& field, NumberBase base) {
  const uint32_t bits = field.ToBits(value);
  switch (base) {
    case NumberBase::Binary: return FormatBinary(bits, 8 * field.width);
    case NumberBase::Hex: return FormatHex(bits, 2 * field.width);
    case NumberBase::Decimal: break;
  }
  return FormatDecimal(field.FromBits(bits));
}

std::string FormatDecimal(int64_t value) {
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

std::string FormatHex(uint32_t bits, int minDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4) {
    const uint32_t digit = (bits >> shift) & 0xF;
    if (!text.empty() || digit != 0 || shift < 4 * minDigits || shift == 0) text.push_back(kDigits[digit]);
  }
  return text;
}

std::string FormatBinary(uint32_t bits, int bitCount) {
  std::string text;
  for (int bit = bitCount - 1; bit >= 0; --bit) text.push_back(bit < 32 && ((bits >> bit) & 1) ? '1' : '0');
  return text;
}

std::string FormatReal(float value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

NumberParse ParseReal(std::string_view text, float& value) {
  NumberParse parse = StartParse(text);
  if (!parse.ok()) return parse;
  // from_chars takes no plus sign; a box may.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  float read = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::general);
  if (ec == std::errc::result_out_of_range)
    parse.error = EditError::OutOfRange;
  else if (ec != std::errc() || end != text.data() + text.size())
    parse.error = EditError::NotANumber;
  else
    value = read;
  return parse;
}

NumberParse ParseTruncated(std::string_view text, const NumberField& field) {
  NumberParse result = StartParse(text, field.min, field.max);
  if (!result.ok()) return result;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec == std::errc::invalid_argument || end != text.data() + text.size() || std::isnan(value)) {
    result.error = EditError::NotANumber;
    return result;
  }
  const double whole = std::trunc(value);
  if (ec == std::errc::result_out_of_range || whole < double(field.min) || whole > double(field.max)) {
    result.error = EditError::OutOfRange;
    return result;
  }
  result.value = static_cast<int64_t>(whole);
  return result;
}

}  // namespace scrivet
