#include "edit/string_table_editor.h"

#include <algorithm>

#include "edit/list_edit.h"

namespace scrivet {

namespace {

// The basic layout's count word must stay below the three words that name the other layouts.
constexpr size_t kBasicCountLimit = 0xFFFC;

size_t WrittenLanguages(const ResourceStr& table) {
  return table.basicMode || !table.useDescriptions || !table.useLanguages ? 1 : kLanguageCount;
}

bool LanguageHasText(const ResourceStr& table, size_t language) {
  return std::any_of(table.items.begin(), table.items.end(), [language](const StringItem& item) {
    const StringSlot& slot = item.slots[language];
    return !slot.value.empty() || !slot.description.empty();
  });
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool Contains(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

// The first line break of a text, or CR LF for a text without one.
std::string_view LineBreakOf(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') return "\n";
    if (text[i] == '\r') return i + 1 < text.size() && text[i + 1] == '\n' ? "\r\n" : "\r";
  }
  return "\r\n";
}

// Item number of the first basic-layout value that is too long, or kNoRow.
size_t FirstTooLong(const ResourceStr& table) {
  for (size_t i = 0; i < table.items.size(); ++i)
    if (table.items[i].slots[0].value.size() > StringTableEditor::kBasicTextLimit) return i;
  return kNoRow;
}

EditFailure Refused(EditError error, std::string detail = {}) { return EditFailure{error, std::move(detail)}; }

}  // namespace

size_t WrittenStringCount(const ResourceStr& table) {
  size_t total = 0;
  for (size_t language = 0; language < WrittenLanguages(table); ++language)
    if (LanguageHasText(table, language)) total += table.items.size();
  return total;
}

size_t StringCountLimit(const ResourceStr& table) {
  return table.basicMode ? kBasicCountLimit : ResourceStr::kMaxStrings;
}

bool StringCountFits(const ResourceStr& table) {
  // Most tables are far below the limit whatever their texts; count only near it.
  if (table.items.size() * WrittenLanguages(table) <= StringCountLimit(table)) return true;
  return WrittenStringCount(table) <= StringCountLimit(table);
}

std::string BoxText(std::string_view stored) {
  std::string text;
  text.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\r') {
      text.push_back('\n');
      if (i + 1 < stored.size() && stored[i + 1] == '\n') ++i;
    } else {
      text.push_back(stored[i]);
    }
  }
  return text;
}

std::string StoredText(std::string_view original, std::string_view edited) {
  if (BoxText(original) == edited) return std::string(original);
  const std::string_view lineBreak = LineBreakOf(original);
  std::string bytes;
  bytes.reserve(edited.size());
  for (char c : edited) {
    if (c == '\n') bytes.append(lineBreak);
    else if (c != '\0') bytes.push_back(c);
  }
  return bytes;
}

StringTableEditor::StringTableEditor(const ResourceStr& table) { state_.table = table; }

EditFailure StringTableEditor::SetLayout(const char* label, bool ResourceStr::*flag, bool on) {
  EditFailure failure;
  history_.Apply(state_, label, [&](State& s) {
    if (s.table.*flag == on) return false;
    const bool old = s.table.*flag;
    s.table.*flag = on;
    if (s.table.basicMode) {
      if (const size_t item = FirstTooLong(s.table); item != kNoRow)
        failure = Refused(EditError::TextTooLong, std::to_string(item));
    }
    if (failure.error == EditError::None && !StringCountFits(s.table)) failure = Refused(EditError::TooManyStrings);
    if (failure.error != EditError::None) {
      s.table.*flag = old;
      return false;
    }
    s.language = 0;
    return true;
  });
  return failure;
}

EditFailure StringTableEditor::SetBasicMode(bool on) { return SetLayout("Basic mode", &ResourceStr::basicMode, on); }
EditFailure StringTableEditor::SetUseLanguages(bool on) {
  return SetLayout("Use different languages", &ResourceStr::useLanguages, on);
}
EditFailure StringTableEditor::SetUseDescriptions(bool on) {
  return SetLayout("Use descriptions", &ResourceStr::useDescriptions, on);
}

StringControls StringTableEditor::Controls() const {
  StringControls c;
  const ResourceStr& t = state_.table;
  if (!t.basicMode) {
    c.useLanguagesBox = t.useDescriptions;
    c.useDescriptionsBox = true;
    c.descriptionBox = t.useDescriptions;
    c.languageList = c.setForAll = t.useDescriptions && t.useLanguages;
  }
  if (state_.selection.size() != 1) c.textBox = c.descriptionBox = false;
  return c;
}

void StringTableEditor::SetLanguage(size_t language) {
  state_.language = language < kLanguageCount ? language : 0;
  history_.BreakMerge();
}

std::string_view StringTableEditor::Value(size_t item) const {
  return item < ItemCount() ? state_.table.items[item].slots[state_.language].value.view() : std::string_view();
}

std::string_view StringTableEditor::Description(size_t item) const {
  return item < ItemCount() ? state_.table.items[item].slots[state_.language].description.view() : std::string_view();
}

void StringTableEditor::Select(std::vector<size_t> items) {
  std::sort(items.begin(), items.end());
  items.erase(std::unique(items.begin(), items.end()), items.end());
  items.erase(std::lower_bound(items.begin(), items.end(), ItemCount()), items.end());
  if (items != state_.selection) history_.BreakMerge();
  state_.selection = std::move(items);
}

EditFailure StringTableEditor::SetSelectedText(int part, std::string_view text) {
  if (state_.selection.size() != 1) return {};
  const size_t item = state_.selection.front();
  StringSlot& slot = state_.table.items[item].slots[state_.language];
  const SlotText& target = part == ResourceStr::kPartValue ? slot.value : slot.description;
  const std::string bytes = StoredText(target, text);
  if (bytes == target) return {};
  if (state_.table.basicMode && part == ResourceStr::kPartValue && bytes.size() > kBasicTextLimit)
    return Refused(EditError::TextTooLong, std::to_string(item));

  EditFailure failure;
  const std::string key = "text " + std::to_string(part) + ' ' + std::to_string(item) + ' ' +
                          std::to_string(state_.language);
  history_.Apply(
      state_, part == ResourceStr::kPartValue ? "Text" : "Description",
      [&](State& s) {
        StringSlot& edited = s.table.items[item].slots[s.language];
        SlotText& field = part == ResourceStr::kPartValue ? edited.value : edited.description;
        SlotText before = std::move(field);
        field = bytes;
        if (StringCountFits(s.table)) return true;
        field = std::move(before);
        failure = Refused(EditError::TooManyStrings);
        return false;
      },
      key);
  return failure;
}

EditFailure StringTableEditor::SetForAll() {
  EditFailure failure;
  history_.Apply(state_, "Set for all", [&](State& s) {
    if (s.selection.empty()) return false;
    std::vector<StringItem> before;
    for (size_t item : s.selection) before.push_back(s.table.items[item]);
    for (size_t item : s.selection) {
      StringItem& entry = s.table.items[item];
      const StringSlot source = entry.slots[s.language];
      entry.slots.fill(source);
    }
    if (StringCountFits(s.table)) return true;
    for (size_t i = 0; i < s.selection.size(); ++i) s.table.items[s.selection[i]] = std::move(before[i]);
    failure = Refused(EditError::TooManyStrings);
    return false;
  });
  return failure;
}

EditFailure StringTableEditor::Add() {
  EditFailure failure;
  history_.Apply(state_, "Add", [&](State& s) {
    StringItem item;
    item.slots[s.language] = {"New Item", "Change this into something more appropriate"};
    s.table.items.push_back(std::move(item));
    if (s.table.items.size() > ResourceStr::kMaxStrings || !StringCountFits(s.table)) {
      s.table.items.pop_back();
      failure = Refused(EditError::TooManyStrings);
      return false;
    }
    s.selection.clear();
    return true;
  });
  if (failure.error == EditError::None) filter_.clear();
  return failure;
}

bool StringTableEditor::Delete() {
  return history_.Apply(state_, "Delete", [](State& s) {
    if (!RemoveRows(s.table.items, s.selection)) return false;
    s.selection.clear();
    return true;
  });
}

std::vector<size_t> StringTableEditor::VisibleItems() const {
  std::vector<size_t> items;
  items.reserve(ItemCount());
  for (size_t i = 0; i < ItemCount(); ++i)
    if (filter_.empty() || Contains(Value(i), filter_) || Contains(Description(i), filter_)) items.push_back(i);
  return items;
}

}  // namespace scrivet
