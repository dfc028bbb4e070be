#pragma once
// The strings editor without a window: the working table, the current language, the selected
// items, the layout check boxes with what they enable, the item commands and their undo.
// StringTableEditorDialog shows this state and forwards the user's actions.
//
// Also the text rules that every editor writing into a string table shares (the interaction
// menu editor writes its names into one): a text holds no zero byte, the basic layout holds
// 255 bytes per text, and the table never holds more strings than its count word can say.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_str.h"
#include "edit/edit_error.h"
#include "edit/edit_history.h"

namespace scrivet {

// How many strings the table writes (items times the languages that have a text) and how many
// its layout can count.
size_t WrittenStringCount(const ResourceStr& table);
size_t StringCountLimit(const ResourceStr& table);
bool StringCountFits(const ResourceStr& table);

// A text as a box edits it: every line break (CR LF, lone CR, LF) becomes LF.
std::string BoxText(std::string_view stored);
// The bytes to store for a box's text: the original bytes when the text is unchanged; otherwise
// LF becomes the line break the original used first (CR LF when it had none, as the game's texts
// are written on Windows). Zero bytes are dropped: they would end the text in the file.
std::string StoredText(std::string_view original, std::string_view edited);

// Which controls the layout check boxes and the selection leave enabled.
struct StringControls {
  bool itemList = true;
  bool textBox = true;
  bool descriptionBox = false;
  bool languageList = false;
  bool setForAll = false;
  bool basicModeBox = true;
  bool useLanguagesBox = false;
  bool useDescriptionsBox = false;
};

class StringTableEditor {
 public:
  static constexpr size_t kBasicTextLimit = 255;

  explicit StringTableEditor(const ResourceStr& table);

  const ResourceStr& Table() const { return state_.table; }
  size_t ItemCount() const { return state_.table.items.size(); }

  // The layout check boxes. Each sets its flag and makes language 0 current. Basic mode is
  // refused (TextTooLong, detail: the item number) while a text is longer than the basic layout
  // holds, and any layout that would write more strings than it can count (TooManyStrings).
  bool BasicMode() const { return state_.table.basicMode; }
  bool UseLanguages() const { return state_.table.useLanguages; }
  bool UseDescriptions() const { return state_.table.useDescriptions; }
  EditFailure SetBasicMode(bool on);
  EditFailure SetUseLanguages(bool on);
  EditFailure SetUseDescriptions(bool on);
  StringControls Controls() const;

  size_t Language() const { return state_.language; }
  // Not an edit; an index past the list makes language 0 current.
  void SetLanguage(size_t language);

  // Item `item`'s texts in the current language.
  std::string_view Value(size_t item) const;
  std::string_view Description(size_t item) const;

  // Selected items, ascending.
  const std::vector<size_t>& Selection() const { return state_.selection; }
  void Select(std::vector<size_t> items);

  // The boxes edit the selected item (exactly one). `text` is the box's text (LF line breaks,
  // Windows-1252 bytes). False when nothing changed; a refusal leaves the table as it was.
  EditFailure SetSelectedText(int part, std::string_view text);

  // Copies the selected items' texts of the current language into all languages.
  EditFailure SetForAll();
  // Appends "New Item" (value) / "Change this into something more appropriate" (description)
  // in the current language; the filter is cleared so that the new row is seen.
  EditFailure Add();
  bool CanDelete() const { return !state_.selection.empty(); }
  // Removes the selected items; nothing is selected afterwards.
  bool Delete();

  // Items whose text or description in the current language contains `filter` (letters of
  // either case match). Not an edit.
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  const std::string& Filter() const { return filter_; }
  std::vector<size_t> VisibleItems() const;

  // Every edit above is one step; typing in one box is one step until another box or item is
  // chosen. Undo brings back the table, the language and the selection.
  bool Undo() { return history_.Undo(state_); }
  bool Redo() { return history_.Redo(state_); }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  bool IsClean() const { return history_.IsClean(); }

 private:
  struct State {
    ResourceStr table;
    size_t language = 0;
    std::vector<size_t> selection;
  };

  // Applies a layout change; refused when the table could not be written with it.
  EditFailure SetLayout(const char* label, bool ResourceStr::*flag, bool on);

  State state_;
  EditHistory<State> history_;
  std::string filter_;
};

}  // namespace scrivet
