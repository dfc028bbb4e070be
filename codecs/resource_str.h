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

// The kLanguageCount slots of an item. Most tables hold one language, so the first slot lives in
// place and the others are allocated only once one of them is written; a slot never written reads
// as empty.
class LanguageSlots {
 public:
  const StringSlot& operator[](size_t language) const {
    if (language == 0) return first_;
    return rest_.empty() ? Empty() : rest_[language - 1];
  }
  StringSlot& operator[](size_t language) {
    if (language == 0) return first_;
    if (rest_.empty()) rest_.resize(kLanguageCount - 1);  // all the other languages at once
    return rest_[language - 1];
  }
  void fill(const StringSlot& slot) {
    first_ = slot;
    rest_.assign(kLanguageCount - 1, slot);
  }
  bool operator==(const LanguageSlots& other) const {
    for (size_t l = 0; l < kLanguageCount; ++l)
      if (!((*this)[l] == other[l])) return false;
    return true;
  }

  // Visits all kLanguageCount slots, the unwritten ones as empty.
  class const_iterator {
   public:
    const_iterator(const LanguageSlots* slots, size_t language) : slots_(slots), language_(language) {}
    const StringSlot& operator*() const { return (*slots_)[language_]; }
    const_iterator& operator++() {
      ++language_;
      return *this;
    }
    bool operator==(const const_iterator& other) const { return language_ == other.language_; }

   private:
    const LanguageSlots* slots_;
    size_t language_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, kLanguageCount}; }

 private:
  static const StringSlot& Empty() {
    static const StringSlot empty;
    return empty;
  }
  StringSlot first_;
  std::vector<StringSlot> rest_;
};

struct StringItem {
  LanguageSlots slots;
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
