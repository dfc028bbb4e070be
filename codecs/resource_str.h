#pragma once
// String tables (`STR#`, `TTAs`, `CTSS`, `FAMs`): items of up to 20 languages, each a value and a
// description. Texts are bytes in the game's code page, stored without conversion.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

inline constexpr size_t kLanguageCount = 20;

// Display names by language index; the file code of a language is its index + 1.
extern const std::array<const char*, kLanguageCount> kLanguageNames;

struct StringSlot {
  std::string value;
  std::string description;
  bool operator==(const StringSlot&) const = default;
};

struct StringItem {
  std::array<StringSlot, kLanguageCount> slots;
  bool operator==(const StringItem&) const = default;
};

class ResourceStr : public ResourceOf<ResourceStr> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("STR#");
  static constexpr int kPartValue = 0;
  static constexpr int kPartDescription = 1;
  // The count word is 16 bits.
  static constexpr size_t kMaxStrings = 65535;

  TypeCode GetType() const override { return kType; }
  // Header words in the byte order the flags give; a table that only reads in the other order,
  // all of it to the last byte, is taken in that order.
  bool Decode() override;
  // False (and the data untouched) when the table cannot be written faithfully: more strings
  // than the count word holds.
  bool Encode() override;

  bool GetString(size_t item, size_t language, int part, std::string& text) const;
  // item == count appends a new empty item first.
  bool SetString(size_t item, size_t language, int part, std::string_view text);

  bool ModelEquals(const ResourceStr& other) const;

  std::vector<StringItem> items;
  bool basicMode = false;
  bool useLanguages = true;
  bool useDescriptions = true;

 private:
  // Reads the table with its header words in the given byte order.
  bool DecodeInOrder(bool little);
};

}  // namespace scrivet
