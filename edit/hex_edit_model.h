#pragma once
// Everything the hex editor does, without a window: the byte buffer, the caret, the selection,
// the scroll position and every editing command with its undo. HexEditControl paints this state
// and turns keys and clicks into calls here; tests drive it directly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edit/edit_history.h"

namespace scrivet {

enum class HexCaretPart { HighNibble, LowNibble, Character };

// A position the pointer points at: a byte offset (0 to size) and the part of it.
struct HexHit {
  size_t offset = 0;
  HexCaretPart part = HexCaretPart::HighNibble;
  bool operator==(const HexHit&) const = default;
};

// Pixel layout of the offset, hex and character columns for one client size and font.
struct HexLayout {
  int charWidth = 1;
  int lineHeight = 1;
  int bytesPerLine = 1;
  int fullLines = 1;      // whole lines that fit into the client height (at least 1)
  int hexX = 0;           // left edge of the hex column
  int charX = 0;          // left edge of the character column
  bool tooNarrow = false;  // the width leaves no room for one byte per line

  static HexLayout Compute(int clientWidth, int clientHeight, int charWidth, int lineHeight);
  // Width that shows exactly one byte per line.
  int MinimumWidth() const { return 13 * charWidth + 10; }
  // The position under the client point (x, y), for a view whose first byte is `top`.
  HexHit HitTest(int x, int y, size_t top, size_t size) const;
};

// A copied block in both clipboard formats.
struct HexClipboardBlock {
  std::vector<uint8_t> binary;
  std::string text;  // bytes in the resource code page
};

class HexEditModel {
 public:
  static bool IsPrintable(uint8_t byte) { return byte >= 0x20 && byte < 0x7F; }

  // Replaces the data; caret 0 on the high nibble, top 0, no selection.
  void SetData(const uint8_t* bytes, size_t size);
  void SetData(std::vector<uint8_t> bytes);
  // Copies up to `capacity` bytes out and returns the full size.
  size_t GetData(uint8_t* buffer, size_t capacity) const;
  const std::vector<uint8_t>& Data() const { return data_; }
  size_t Size() const { return data_.size(); }

  // View geometry, set by the control after each resize.
  void SetGeometry(int bytesPerLine, int fullLines);
  int BytesPerLine() const { return static_cast<int>(bytesPerLine_); }
  // Lines the window shows, cut down to the lines the data needs.
  int VisibleLines() const;
  int FullLines() const { return static_cast<int>(fullLines_); }
  // Lines of size + 1 positions (the end position included).
  size_t TotalLines() const { return data_.size() / bytesPerLine_ + 1; }
  size_t MaxTopLine() const;
  size_t Top() const { return top_; }
  size_t TopLine() const { return top_ / bytesPerLine_; }
  void ScrollToLine(size_t line);
  void ScrollLines(long long delta);

  size_t Caret() const { return caret_; }
  HexCaretPart Part() const { return part_; }
  bool InCharacterColumn() const { return part_ == HexCaretPart::Character; }
  bool CaretHidden() const { return caretHidden_; }
  bool InsertMode() const { return insertMode_; }
  void ToggleInsertMode() { insertMode_ = !insertMode_; }

  // A selection with at least one byte.
  bool HasSelection() const { return selecting_ && anchor_ != end_; }
  size_t SelectionStart() const;
  size_t SelectionEnd() const;  // excluded

  // Keys. `extend` is Shift: it extends the selection from the caret's old position; without it
  // the selection is cleared.
  void MoveCaret(int dx, int dy, bool extend);
  void PageUp(bool extend);
  void PageDown(bool extend);
  void Home(bool wholeData, bool extend);
  void End(bool wholeData, bool extend);
  void ToggleColumn();
  // Delete key: the selection if any, else the byte at the caret.
  bool DeleteKey();
  bool Backspace();
  // A typed character (its byte in the resource code page). False when it was ignored.
  bool Type(uint8_t code);

  // Mouse: a click (Shift+click extends), then DragTo while the button is held.
  void Click(const HexHit& hit, bool extend);
  void DragTo(const HexHit& hit);

  void SelectAll();
  bool Copy(HexClipboardBlock& block) const;
  bool Cut(HexClipboardBlock& block);
  // Delete command: removes the selection, caret to its start.
  bool DeleteSelection();
  // Inserts the block (in either mode), replacing the selection if there is one.
  bool Paste(const uint8_t* bytes, size_t size);

  // Every command above that changes bytes is one step (a run of typing without other commands
  // in between is one step). Undo and Redo bring back the bytes, the caret and the selection.
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  std::string_view UndoLabel() const { return history_.UndoLabel(); }
  // The bytes are those SetData gave (edits since then undone).
  bool IsClean() const { return history_.IsClean(); }

 private:
  // Where the caret and the selection stood, to go back to with an undo step.
  struct CaretState {
    size_t caret = 0;
    HexCaretPart part = HexCaretPart::HighNibble;
    bool caretHidden = false;
    bool selecting = false;
    size_t anchor = 0;
    size_t end = 0;
    size_t origin = 0;
    bool operator==(const CaretState&) const = default;
  };
  // One edit: `removed` was replaced by `inserted` at `pos`. Only those bytes are kept, never the
  // whole buffer. Applying it (Revert) swaps both sides, so the step then redoes the edit.
  struct ByteEdit {
    size_t pos = 0;
    std::vector<uint8_t> removed;
    std::vector<uint8_t> inserted;
    CaretState before;
    CaretState after;
  };

  CaretState SaveCaret() const;
  void RestoreCaret(const CaretState& state);
  // Replaces [pos, pos + removed) by `count` bytes (zeros when `bytes` is null) and hands back
  // the bytes it removed, for Record.
  std::vector<uint8_t> Replace(size_t pos, size_t removed, const uint8_t* bytes, size_t count);
  // Makes the edit just done at `pos` (caret already moved) an undo step; typing continues the
  // last typing step when it goes on where that one stopped.
  void Record(const char* label, size_t pos, std::vector<uint8_t> removed, size_t inserted,
              const CaretState& before, bool typing);
  void Revert(ByteEdit& edit);
  bool DeleteSelectionAs(const char* label);

  void ClearSelection() { selecting_ = false; }
  void BeginSelectionIfNone(size_t origin);
  void FinishMove(size_t oldCaret, bool extend);
  void Normalize();
  void ClampTop();
  void EnsureCaretVisible();
  // Replaces [pos, pos + removed) by `count` bytes from `bytes` (zeros when null) with one move.
  void Splice(size_t pos, size_t removed, const uint8_t* bytes, size_t count);

  std::vector<uint8_t> data_;
  size_t bytesPerLine_ = 16;
  size_t fullLines_ = 1;
  size_t top_ = 0;
  size_t caret_ = 0;
  HexCaretPart part_ = HexCaretPart::HighNibble;
  bool insertMode_ = false;
  bool caretHidden_ = false;
  bool selecting_ = false;
  size_t anchor_ = 0;
  size_t end_ = 0;
  size_t origin_ = 0;  // where the current selection began (press position or old caret)
  UndoStack<ByteEdit> history_;
};

}  // namespace scrivet
