#pragma once
// Lossless Windows-1252 <-> Unicode mapping for resource texts.
// The five bytes that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// code points of the same value, so every byte string survives a round trip unchanged.

#include <string>
#include <string_view>

namespace scrivet {

char16_t Cp1252ToUnicode(unsigned char byte);
// False when the code point has no byte in the mapping.
bool UnicodeToCp1252(char32_t codePoint, unsigned char& byte);

std::u16string Cp1252ToUtf16(std::string_view bytes);
// Replaces unmappable characters by '?' and returns false when any was met.
bool Utf16ToCp1252(std::u16string_view text, std::string& bytes);

std::string Cp1252ToUtf8(std::string_view bytes);
bool Utf8ToCp1252(std::string_view utf8, std::string& bytes);

}  // namespace scrivet
