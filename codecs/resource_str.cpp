#include "codecs/resource_str.h"

#include <utility>

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

namespace scrivet {

const std::array<const char*, kLanguageCount> kLanguageNames = {
    "USEnglish",          "UKEnglish",       "French",           "German",
    "Italian",            "Spanian",         "Dutch",            "Danish (Unleashed)",
    "Swedish",            "Norwegian (Unleashed)", "Finnish (Unleashed)", "Hebrew (unused)",
    "Russian (unused)",   "Portuguese",      "Japanese",         "Polish",
    "Traditional Chinese", "Simplified Chinese", "Thai",          "Korean",
};

namespace {

constexpr uint16_t kFormatValues = 0xFFFF;
constexpr uint16_t kFormatDescriptions = 0xFFFE;
constexpr uint16_t kFormatLanguages = 0xFFFD;

// Records in the run of the first language code, read ahead without moving the cursor. Writers
// give every language the same items, so this is how many items the table holds.
size_t FirstLanguageRun(IffChunk& chunk, size_t count) {
  const size_t start = chunk.Cursor();
  size_t n = 0;
  uint8_t first = 0, code;
  std::string_view text;
  while (n < count && chunk.ReadU8(code) && (n == 0 || code == first) && chunk.ReadZStringView(text) &&
         chunk.ReadZStringView(text)) {
    first = code;
    ++n;
  }
  chunk.SetCursor(start);
  return n;
}

bool ReadHeaderWord(IffChunk& chunk, bool little, uint16_t& word) {
  if (!chunk.ReadU16(word)) return false;
  if (!little) word = SwapU16(word);
  return true;
}

}  // namespace

bool ResourceStr::ModelEquals(const ResourceStr& other) const {
  return basicMode == other.basicMode && useLanguages == other.useLanguages &&
         useDescriptions == other.useDescriptions && items == other.items;
}

bool ResourceStr::GetString(size_t item, size_t language, int part, std::string& text) const {
  if (item >= items.size() || language >= kLanguageCount) return false;
  const StringSlot& slot = items[item].slots[language];
  if (part == kPartValue) text = slot.value;
  else if (part == kPartDescription) text = slot.description;
  else return false;
  return true;
}

bool ResourceStr::SetString(size_t item, size_t language, int part, std::string_view text) {
  if (item > items.size() || language >= kLanguageCount) return false;
  if (part != kPartValue && part != kPartDescription) return false;
  if (item == items.size()) {
    if (items.size() >= kMaxStrings) return false;
    items.emplace_back();
  }
  StringSlot& slot = items[item].slots[language];
  (part == kPartValue ? slot.value : slot.description) = text;
  return true;
}

bool ResourceStr::Decode() {
  IffChunk& chunk = Chunk();
  const size_t start = chunk.Cursor();
  const bool little = chunk.IsLittleEndian();
  if (DecodeInOrder(little)) return true;

  // Some tools flag big-endian tables little-endian (and the reverse). The other order is taken
  // only when it reads the whole table and every byte of the data, so that a damaged table is
  // never read as a shorter one; otherwise what the flag's order read stays, as for any failure.
  std::vector<StringItem> partial = std::move(items);
  const bool basic = basicMode, languages = useLanguages, descriptions = useDescriptions;
  if (chunk.SetCursor(start) && DecodeInOrder(!little) && chunk.Remaining() == 0) return true;
  items = std::move(partial);
  basicMode = basic;
  useLanguages = languages;
  useDescriptions = descriptions;
  return false;
}

bool ResourceStr::DecodeInOrder(bool little) {
  IffChunk& chunk = Chunk();
  uint16_t word;
  if (!ReadHeaderWord(chunk, little, word)) return false;
  items.clear();

  const int16_t format = static_cast<int16_t>(word);
  uint16_t count;
  size_t minRecord;
  if (format >= 0 || format <= -4) {
    basicMode = true;
    useLanguages = false;
    useDescriptions = false;
    count = word;
    minRecord = 1;  // the length byte
  } else {
    basicMode = false;
    useDescriptions = format <= -2;
    useLanguages = format == -3;
    if (!ReadHeaderWord(chunk, little, count)) return false;
    minRecord = 1 + (useDescriptions ? 1 : 0) + (useLanguages ? 1 : 0);
  }
  // Every record needs at least its terminators; a count the data cannot hold fails here.
  if (size_t(count) * minRecord > chunk.Remaining()) return false;

  // Every format holds at most one item per record, and the check above bounds the count by
  // the bytes, so a hostile count cannot reserve more than the data accounts for. With languages,
  // the records of all languages share the items.
  items.reserve(useLanguages ? FirstLanguageRun(chunk, count) : count);

  // One copy of the table's bytes, which the decoded texts view.
  const auto bytes = std::make_shared<const std::string>(reinterpret_cast<const char*>(chunk.Data()), chunk.Size());
  const char* const data = reinterpret_cast<const char*>(chunk.Data());
  auto inTable = [&](std::string_view text) {
    return text.empty() ? std::string_view() : std::string_view(bytes->data() + (text.data() - data), text.size());
  };

  size_t language = 0;
  size_t position = 0;
  std::string_view value;
  std::string_view description;
  for (uint32_t i = 0; i < count; ++i) {
    size_t l = 0;
    description = {};
    if (basicMode) {
      uint8_t length;
      const size_t at = chunk.Cursor() + 1;
      if (!chunk.ReadU8(length) || !chunk.Skip(length)) return false;
      // The text ends at a zero inside its length, as a fixed-length text does.
      const char* text = reinterpret_cast<const char*>(chunk.Data() + at);
      const void* zero = std::memchr(text, 0, length);
      value = {text, zero ? size_t(static_cast<const char*>(zero) - text) : length};
    } else {
      if (useLanguages) {
        uint8_t code;
        if (!chunk.ReadU8(code)) return false;
        l = uint8_t(code - 1);
        if (l >= kLanguageCount) return false;
        if (l != language) {
          language = l;
          position = 0;
        }
      }
      if (!chunk.ReadZStringView(value)) return false;
      if (useDescriptions && !chunk.ReadZStringView(description)) return false;
    }
    // As SetString: the record after the last item appends one, within the count word's range.
    if (position == items.size() && items.size() < kMaxStrings) items.emplace_back();
    if (position < items.size()) {
      // An empty record over an empty slot writes nothing (and allocates no language slots).
      const StringSlot& read = std::as_const(items[position].slots)[l];
      if (!value.empty() || !description.empty() || !read.value.empty() || !read.description.empty())
        items[position].slots.SetDecoded(l, inTable(value), inTable(description), bytes);
    }
    ++position;
  }
  return true;
}

bool ResourceStr::Encode() {
  if (basicMode) {
    useLanguages = false;
    useDescriptions = false;
  } else if (!useDescriptions) {
    useLanguages = false;
  }
  const size_t languages = useLanguages ? kLanguageCount : 1;
  const size_t n = items.size();

  auto languageHasText = [&](size_t language) {
    return std::any_of(items.begin(), items.end(), [&](const StringItem& item) {
      const StringSlot& slot = item.slots[language];
      return !slot.value.empty() || !slot.description.empty();
    });
  };
  size_t total = 0;
  for (size_t language = 0; language < languages; ++language)
    if (languageHasText(language)) total += n;
  // A wrapped count word would corrupt the table; in the basic layout the last three counts
  // would also read back as format words.
  const size_t limit = basicMode ? size_t(kFormatLanguages) - 1 : kMaxStrings;
  if (total > limit) return false;

  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  bool ok = true;
  if (basicMode) {
    ok = chunk.WriteU16(uint16_t(total));
  } else {
    uint16_t format = useLanguages ? kFormatLanguages : useDescriptions ? kFormatDescriptions : kFormatValues;
    ok = chunk.WriteU16(format) && chunk.WriteU16(uint16_t(total));
  }
  for (size_t language = 0; ok && language < languages; ++language) {
    if (!languageHasText(language)) continue;
    for (const StringItem& item : items) {
      const StringSlot& slot = item.slots[language];
      if (basicMode) {
        const size_t length = std::min<size_t>(slot.value.size(), 255);
        ok = ok && chunk.WriteU8(uint8_t(length)) && chunk.Write(slot.value.data(), length);
      } else {
        if (useLanguages) ok = ok && chunk.WriteU8(uint8_t(language + 1));
        ok = ok && chunk.WriteZString(slot.value);
        if (useDescriptions) ok = ok && chunk.WriteZString(slot.description);
      }
    }
  }
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
