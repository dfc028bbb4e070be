#include "core/text_codec.h"

namespace scrivet {

namespace {
// 0x80..0x9F; unassigned bytes map to themselves.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

char16_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return char16_t(byte);
}

bool UnicodeToCp1252(char32_t cp, unsigned char& byte) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    byte = static_cast<unsigned char>(cp);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == cp) {
      byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::u16string Cp1252ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

bool Utf16ToCp1252(std::u16string_view text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(text.size());
  bool ok = true;
  for (char16_t c : text) {
    unsigned char b;
    if (!UnicodeToCp1252(c, b)) {
      b = '?';
      ok = false;
    }
    bytes.push_back(static_cast<char>(b));
  }
  return ok;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    char16_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out.push_back(char(u));
    } else if (u < 0x800) {
      out.push_back(char(0xC0 | (u >> 6)));
      out.push_back(char(0x80 | (u & 0x3F)));
    } else {
      out.push_back(char(0xE0 | (u >> 12)));
      out.push_back(char(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(char(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& bytes) {
  bytes.clear();
  bool ok = true;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    else { bytes.push_back('?'); ok = false; ++i; continue; }
    if (i + len > utf8.size()) { bytes.push_back('?'); ok = false; break; }
    bool valid = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) { valid = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms are invalid: "\xC0\x80" must not sneak a zero byte into a name.
    static constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    unsigned char b;
    if (!valid || cp < kShortest[len] || !UnicodeToCp1252(cp, b)) {
      bytes.push_back('?');
      ok = false;
      i += valid ? len : 1;
      continue;
    }
    bytes.push_back(static_cast<char>(b));
    i += len;
  }
  return ok;
}

}  // namespace scrivet
