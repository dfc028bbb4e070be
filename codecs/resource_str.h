#pragma once
// String tables (`STR#`, `TTAs`, `CTSS`, `FAMs`): items of up to 20 languages, each a value and a
// description. Texts are bytes in the game's code page, stored without conversion.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

inline constexpr size_t kLanguageCount = 20;

// Display names by language index; the file code of a language is its index + 1.
extern const std::array<const char*, kLanguageCount> kLanguageNames;

// One text of a string table: bytes in the game's code page. A decoded text views its item's
// copy of the table bytes, so that decoding a table allocates once instead of once per text; every
// other text owns its bytes. A text copied or moved on its own always owns its bytes, so it never
// outlives what it views; only its item (LanguageSlots) copies and moves it as a view.
class SlotText {
 public:
  SlotText() = default;
  SlotText(std::string_view text) { Own(text); }
  SlotText(const char* text) : SlotText(std::string_view(text)) {}
  SlotText(const std::string& text) : SlotText(std::string_view(text)) {}
  SlotText(const SlotText& other) : SlotText(other.view()) {}
  SlotText(SlotText&& other) noexcept { Take(other); }
  SlotText& operator=(const SlotText& other) { return *this = other.view(); }
  SlotText& operator=(SlotText&& other) noexcept {
    if (this != &other) {
      Release();
      Take(other);
    }
    return *this;
  }
  SlotText& operator=(std::string_view text) {
    SlotText copy(text);  // text may lie in this one's bytes
    Release();
    Take(copy);
    return *this;
  }
  SlotText& operator=(const std::string& text) { return *this = std::string_view(text); }
  SlotText& operator=(const char* text) { return *this = std::string_view(text); }
  ~SlotText() { Release(); }

  std::string_view view() const { return {data_, size_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  const char* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  friend bool operator==(const SlotText& a, const SlotText& b) { return a.view() == b.view(); }
  friend bool operator==(const SlotText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const SlotText& a, const char* b) { return a.view() == b; }
  friend bool operator==(const SlotText& a, const std::string& b) { return a.view() == b; }

 private:
  friend class LanguageSlots;
  // A view of bytes that its item keeps alive.
  void SetView(std::string_view text) {
    Release();
    if (text.empty()) return;
    data_ = text.data();
    size_ = text.size();
  }
  // As copy and move, but a view stays a view: for the item that keeps its bytes alive.
  void CopyKeepingView(const SlotText& other) {
    if (other.owned_) *this = other.view();
    else SetView(other.view());
  }
  void MoveKeepingView(SlotText& other) {
    Release();
    data_ = other.data_;
    size_ = other.size_;
    owned_ = other.owned_;
    other.data_ = "";
    other.size_ = 0;
    other.owned_ = false;
  }
  void Own(std::string_view text) {
    if (text.empty()) return;
    char* bytes = new char[text.size()];
    std::memcpy(bytes, text.data(), text.size());
    data_ = bytes;
    size_ = text.size();
    owned_ = true;
  }
  void Take(SlotText& other) {
    if (other.owned_) MoveKeepingView(other);
    else Own(other.view());
  }
  void Release() {
    if (owned_) delete[] data_;
    data_ = "";
    size_ = 0;
    owned_ = false;
  }

  const char* data_ = "";
  size_t size_ = 0;
  bool owned_ = false;
};

struct StringSlot {
  SlotText value;
  SlotText description;
  bool operator==(const StringSlot&) const = default;
};

// The kLanguageCount slots of an item. Most tables hold one language, so the first slot lives in
// place and the others are allocated only once one of them is written; a slot never written reads
// as empty. Decoded texts view `bytes_`, shared by the items of one table and their copies.
class LanguageSlots {
 public:
  LanguageSlots() = default;
  LanguageSlots(const LanguageSlots& other) { CopyFrom(other); }
  LanguageSlots(LanguageSlots&& other) noexcept { MoveFrom(other); }
  LanguageSlots& operator=(const LanguageSlots& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  LanguageSlots& operator=(LanguageSlots&& other) noexcept {
    if (this != &other) MoveFrom(other);
    return *this;
  }

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
    const StringSlot copy = slot;  // slot may be one of these
    first_ = copy;
    rest_.assign(kLanguageCount - 1, copy);
  }
  // Sets a language's texts as views of `bytes`, which they must lie in.
  void SetDecoded(size_t language, std::string_view value, std::string_view description,
                  const std::shared_ptr<const std::string>& bytes) {
    StringSlot& slot = (*this)[language];
    if (bytes_ && bytes_ != bytes) {  // an item views one table's bytes only
      slot = {value, description};
      return;
    }
    bytes_ = bytes;
    slot.value.SetView(value);
    slot.description.SetView(description);
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
  static void CopySlot(StringSlot& to, const StringSlot& from) {
    to.value.CopyKeepingView(from.value);
    to.description.CopyKeepingView(from.description);
  }
  void CopyFrom(const LanguageSlots& other) {
    CopySlot(first_, other.first_);
    rest_.resize(other.rest_.size());
    for (size_t i = 0; i < rest_.size(); ++i) CopySlot(rest_[i], other.rest_[i]);
    bytes_ = other.bytes_;
  }
  void MoveFrom(LanguageSlots& other) {
    first_.value.MoveKeepingView(other.first_.value);
    first_.description.MoveKeepingView(other.first_.description);
    rest_ = std::move(other.rest_);
    bytes_ = std::move(other.bytes_);
  }

  StringSlot first_;
  std::vector<StringSlot> rest_;
  std::shared_ptr<const std::string> bytes_;
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
