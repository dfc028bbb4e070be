#pragma once
// Four-character resource type codes: the first character is the most significant byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivet {

using TypeCode = uint32_t;

constexpr TypeCode MakeTypeCode(char a, char b, char c, char d) {
  return (TypeCode(uint8_t(a)) << 24) | (TypeCode(uint8_t(b)) << 16) | (TypeCode(uint8_t(c)) << 8) |
         TypeCode(uint8_t(d));
}

// "STR#"_type style helper for literals of exactly four characters.
constexpr TypeCode MakeTypeCode(const char (&s)[5]) { return MakeTypeCode(s[0], s[1], s[2], s[3]); }

// The four bytes in reading order (may hold any byte values, NUL included).
std::string TypeCodeToString(TypeCode type);

// Parses exactly four bytes; false for any other length.
bool ParseTypeCode(std::string_view text, TypeCode& type);

// The four characters made safe for a file name: '%', path separators, control bytes, bytes above
// 0x7E and characters Windows forbids become %XX (upper-case hex), so the name maps back to the type.
std::string TypeCodeToFileName(TypeCode type);

}  // namespace scrivet
