#include "core/type_code.h"

namespace scrivet {

std::string TypeCodeToString(TypeCode type) {
  std::string s(4, '\0');
  s[0] = char(type >> 24);
  s[1] = char(type >> 16);
  s[2] = char(type >> 8);
  s[3] = char(type);
  return s;
}

bool ParseTypeCode(std::string_view text, TypeCode& type) {
  if (text.size() != 4) return false;
  type = MakeTypeCode(text[0], text[1], text[2], text[3]);
  return true;
}

std::string TypeCodeToFileName(TypeCode type) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr std::string_view kUnsafe = "%/\\:*?\"<>|";
  std::string name;
  for (char c : TypeCodeToString(type)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || kUnsafe.find(c) != std::string_view::npos) {
      name += '%';
      name += kHex[byte >> 4];
      name += kHex[byte & 0xF];
    } else {
      name += c;
    }
  }
  return name;
}

}  // namespace scrivet
