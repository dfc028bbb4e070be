#include "edit/hex_edit_model.h"

#include <algorithm>
#include <cstring>

namespace scrivet {

namespace {

// Typing steps share this key; any other command breaks a run of typing.
constexpr std::string_view kTypingKey = "type";

int HexDigitValue(uint8_t code) {
  // Only lower-case letters are digits here; upper-case ones are ignored like any other key.
  if (code >= '0' && code <= '9') return code - '0';
  if (code >= 'a' && code <= 'f') return code - 'a' + 10;
  return -1;
}

}  // namespace

HexLayout HexLayout::Compute(int clientWidth, int clientHeight, int charWidth, int lineHeight) {
  HexLayout layout;
  layout.charWidth = std::max(1, charWidth);
  layout.lineHeight = std::max(1, lineHeight);
  const int c = layout.charWidth;
  const int room = clientWidth - 9 * c - 10;
  layout.tooNarrow = room < 4 * c;
  layout.bytesPerLine = layout.tooNarrow ? 1 : room / (4 * c);
  layout.fullLines = std::max(1, clientHeight / layout.lineHeight);
  layout.hexX = 9 * c + 6;
  layout.charX = 3 * c * (layout.bytesPerLine + 3) + 10;
  return layout;
}

HexHit HexLayout::HitTest(int x, int y, size_t top, size_t size) const {
  const size_t line = static_cast<size_t>(std::max(0, y) / lineHeight);
  const size_t lineStart = top + line * static_cast<size_t>(bytesPerLine);
  HexHit hit;
  size_t column = 0;
  if (x < hexX) {
    hit.part = HexCaretPart::HighNibble;
  } else if (x < charX) {
    const int cell = (x - hexX) / charWidth;
    column = static_cast<size_t>(cell / 3);
    hit.part = cell % 3 == 0 ? HexCaretPart::HighNibble : HexCaretPart::LowNibble;
    if (column >= static_cast<size_t>(bytesPerLine)) {  // the gap before the character column
      column = static_cast<size_t>(bytesPerLine) - 1;
      hit.part = HexCaretPart::LowNibble;
    }
  } else {
    column = std::min(static_cast<size_t>((x - charX) / charWidth), static_cast<size_t>(bytesPerLine) - 1);
    hit.part = HexCaretPart::Character;
  }
  hit.offset = lineStart + column;
  if (lineStart > size || hit.offset >= size) {
    hit.offset = size;
    if (hit.part == HexCaretPart::LowNibble) hit.part = HexCaretPart::HighNibble;
  }
  return hit;
}

void HexEditModel::SetData(const uint8_t* bytes, size_t size) {
  SetData(size ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>());
}

void HexEditModel::SetData(std::vector<uint8_t> bytes) {
  data_ = std::move(bytes);
  caret_ = 0;
  part_ = HexCaretPart::HighNibble;
  top_ = 0;
  caretHidden_ = false;
  ClearSelection();
  history_.Clear();
}

size_t HexEditModel::GetData(uint8_t* buffer, size_t capacity) const {
  const size_t n = std::min(capacity, data_.size());
  if (n) std::memcpy(buffer, data_.data(), n);
  return data_.size();
}

void HexEditModel::SetGeometry(int bytesPerLine, int fullLines) {
  bytesPerLine_ = static_cast<size_t>(std::max(1, bytesPerLine));
  fullLines_ = static_cast<size_t>(std::max(1, fullLines));
  top_ -= top_ % bytesPerLine_;
  ClampTop();
}

int HexEditModel::VisibleLines() const {
  return static_cast<int>(std::min(fullLines_, TotalLines()));
}

size_t HexEditModel::MaxTopLine() const {
  const size_t total = TotalLines();
  return total > fullLines_ ? total - fullLines_ : 0;
}

void HexEditModel::ScrollToLine(size_t line) { top_ = std::min(line, MaxTopLine()) * bytesPerLine_; }

void HexEditModel::ScrollLines(long long delta) {
  const long long line = static_cast<long long>(TopLine()) + delta;
  ScrollToLine(line < 0 ? 0 : static_cast<size_t>(line));
}

void HexEditModel::ClampTop() { ScrollToLine(TopLine()); }

void HexEditModel::EnsureCaretVisible() {
  const size_t caretLine = caret_ / bytesPerLine_;
  const size_t topLine = TopLine();
  if (caretLine < topLine)
    ScrollToLine(caretLine);
  else if (caretLine >= topLine + fullLines_)
    ScrollToLine(caretLine - fullLines_ + 1);
}

void HexEditModel::Normalize() {
  caret_ = std::min(caret_, data_.size());
  // The end position has no byte, so it has no low nibble either.
  if (caret_ == data_.size() && part_ == HexCaretPart::LowNibble) part_ = HexCaretPart::HighNibble;
}

size_t HexEditModel::SelectionStart() const { return std::min({anchor_, end_, data_.size()}); }

size_t HexEditModel::SelectionEnd() const { return std::min(std::max(anchor_, end_), data_.size()); }

void HexEditModel::BeginSelectionIfNone(size_t origin) {
  if (selecting_) return;
  selecting_ = true;
  anchor_ = end_ = origin_ = origin;
}

void HexEditModel::FinishMove(size_t oldCaret, bool extend) {
  if (!extend) {
    ClearSelection();
    return;
  }
  BeginSelectionIfNone(oldCaret);
  end_ = caret_;
}

void HexEditModel::MoveCaret(int dx, int dy, bool extend) {
  const size_t old = caret_;
  const bool hex = part_ != HexCaretPart::Character;
  long long target = static_cast<long long>(caret_);
  if (!hex) {
    target += dx;
  } else if (dx != 0 && part_ == HexCaretPart::HighNibble) {
    if (dx < 0) --target;
    part_ = HexCaretPart::LowNibble;
  } else if (dx != 0) {
    if (dx > 0) ++target;
    part_ = HexCaretPart::HighNibble;
  }
  target += static_cast<long long>(dy) * static_cast<long long>(bytesPerLine_);
  if (target < 0 || target > static_cast<long long>(data_.size())) {
    target = target < 0 ? 0 : static_cast<long long>(data_.size());
    if (hex) part_ = HexCaretPart::HighNibble;
  }
  caret_ = static_cast<size_t>(target);
  caretHidden_ = false;
  Normalize();
  EnsureCaretVisible();
  FinishMove(old, extend);
}

void HexEditModel::PageUp(bool extend) {
  ScrollLines(-static_cast<long long>(fullLines_));
  FinishMove(caret_, extend);
}

void HexEditModel::PageDown(bool extend) {
  ScrollLines(static_cast<long long>(fullLines_));
  FinishMove(caret_, extend);
}

void HexEditModel::Home(bool wholeData, bool extend) {
  const size_t old = caret_;
  caret_ = wholeData ? 0 : caret_ - caret_ % bytesPerLine_;
  if (part_ != HexCaretPart::Character) part_ = HexCaretPart::HighNibble;
  caretHidden_ = false;
  if (wholeData)
    ScrollToLine(0);
  else
    EnsureCaretVisible();
  FinishMove(old, extend);
}

void HexEditModel::End(bool wholeData, bool extend) {
  const size_t old = caret_;
  const size_t last = data_.empty() ? 0 : data_.size() - 1;
  caret_ = wholeData ? last : std::min(caret_ - caret_ % bytesPerLine_ + bytesPerLine_ - 1, last);
  if (part_ != HexCaretPart::Character) part_ = HexCaretPart::HighNibble;
  caretHidden_ = false;
  if (wholeData)
    ScrollToLine(MaxTopLine());
  else
    EnsureCaretVisible();
  FinishMove(old, extend);
}

void HexEditModel::ToggleColumn() {
  part_ = part_ == HexCaretPart::Character ? HexCaretPart::HighNibble : HexCaretPart::Character;
  caretHidden_ = false;
}

void HexEditModel::Splice(size_t pos, size_t removed, const uint8_t* bytes, size_t count) {
  if (count > removed) {
    data_.insert(data_.begin() + static_cast<std::ptrdiff_t>(pos + removed), count - removed, uint8_t{0});
  } else if (count < removed) {
    data_.erase(data_.begin() + static_cast<std::ptrdiff_t>(pos + count),
                data_.begin() + static_cast<std::ptrdiff_t>(pos + removed));
  }
  if (bytes && count)
    std::memcpy(data_.data() + pos, bytes, count);
  else if (count)
    std::memset(data_.data() + pos, 0, count);
}

bool HexEditModel::DeleteKey() {
  if (HasSelection()) return DeleteSelectionAs("Delete");
  const CaretState before = SaveCaret();
  ClearSelection();
  if (caret_ >= data_.size()) return false;
  const size_t pos = caret_;
  std::vector<uint8_t> removed = Replace(pos, 1, nullptr, 0);
  caretHidden_ = false;
  Normalize();
  ClampTop();
  Record("Delete", pos, std::move(removed), 0, before, false);
  return true;
}

bool HexEditModel::Backspace() {
  if (caret_ == 0) return false;
  const CaretState before = SaveCaret();
  // Offsets of a selection would no longer fit the data.
  ClearSelection();
  const size_t pos = caret_ - 1;
  std::vector<uint8_t> removed = Replace(pos, 1, nullptr, 0);
  --caret_;
  caretHidden_ = false;
  Normalize();
  ClampTop();
  EnsureCaretVisible();
  Record("Backspace", pos, std::move(removed), 0, before, false);
  return true;
}

bool HexEditModel::Type(uint8_t code) {
  const CaretState before = SaveCaret();
  ClearSelection();
  const bool atEnd = caret_ >= data_.size();
  if (part_ == HexCaretPart::LowNibble && atEnd) return false;  // the end position has no low nibble
  // A low nibble always completes the byte under the caret; otherwise insert mode and the end
  // position insert a new byte.
  const bool inserting = (insertMode_ || atEnd) && part_ != HexCaretPart::LowNibble;
  const size_t pos = caret_;
  uint8_t byte = code;
  if (part_ != HexCaretPart::Character) {
    const int digit = HexDigitValue(code);
    if (digit < 0) return false;
    const uint8_t old = inserting ? 0 : data_[pos];
    byte = part_ == HexCaretPart::HighNibble ? static_cast<uint8_t>((digit << 4) | (old & 0x0F))
                                             : static_cast<uint8_t>((old & 0xF0) | digit);
  }
  std::vector<uint8_t> removed = Replace(pos, inserting ? 0 : 1, &byte, 1);
  if (part_ == HexCaretPart::HighNibble) {
    part_ = HexCaretPart::LowNibble;
  } else {
    ++caret_;
    if (part_ == HexCaretPart::LowNibble) part_ = HexCaretPart::HighNibble;
  }
  caretHidden_ = false;
  EnsureCaretVisible();
  Record("Typing", pos, std::move(removed), 1, before, true);
  return true;
}

void HexEditModel::Click(const HexHit& hit, bool extend) {
  const size_t old = caret_;
  caret_ = hit.offset;
  part_ = hit.part;
  caretHidden_ = false;
  Normalize();
  if (!extend) {
    ClearSelection();
    origin_ = caret_;
    return;
  }
  BeginSelectionIfNone(old);
  DragTo(hit);
}

void HexEditModel::DragTo(const HexHit& hit) {
  caret_ = hit.offset;
  part_ = hit.part;
  caretHidden_ = false;
  Normalize();
  selecting_ = true;
  const size_t size = data_.size();
  if (part_ == HexCaretPart::Character) {
    anchor_ = origin_;
    end_ = caret_;
  } else if (caret_ >= origin_) {
    // In the hex column the byte under the pointer belongs to the selection, and so does the
    // byte where the drag began when dragging backwards.
    anchor_ = origin_;
    end_ = std::min(caret_ + 1, size);
  } else {
    anchor_ = std::min(origin_ + 1, size);
    end_ = caret_;
  }
}

void HexEditModel::SelectAll() {
  selecting_ = true;
  anchor_ = origin_ = 0;
  end_ = data_.size();
  caretHidden_ = true;
}

bool HexEditModel::Copy(HexClipboardBlock& block) const {
  if (!HasSelection()) return false;
  const auto first = data_.begin() + static_cast<std::ptrdiff_t>(SelectionStart());
  const auto last = data_.begin() + static_cast<std::ptrdiff_t>(SelectionEnd());
  block.binary.assign(first, last);
  block.text.clear();
  if (part_ == HexCaretPart::Character) {
    block.text.reserve(block.binary.size());
    for (uint8_t b : block.binary) block.text.push_back(IsPrintable(b) ? static_cast<char>(b) : '.');
  } else {
    static const char kDigits[] = "0123456789ABCDEF";
    block.text.reserve(block.binary.size() * 3);
    for (uint8_t b : block.binary) {
      block.text.push_back(kDigits[b >> 4]);
      block.text.push_back(kDigits[b & 0x0F]);
      block.text.push_back(' ');
    }
  }
  return true;
}

bool HexEditModel::Cut(HexClipboardBlock& block) { return Copy(block) && DeleteSelectionAs("Cut"); }

bool HexEditModel::DeleteSelection() { return DeleteSelectionAs("Delete"); }

bool HexEditModel::DeleteSelectionAs(const char* label) {
  if (!HasSelection()) return false;
  const CaretState before = SaveCaret();
  const size_t start = SelectionStart();
  std::vector<uint8_t> removed = Replace(start, SelectionEnd() - start, nullptr, 0);
  ClearSelection();
  caret_ = start;
  if (part_ == HexCaretPart::LowNibble) part_ = HexCaretPart::HighNibble;
  caretHidden_ = false;
  Normalize();
  ClampTop();
  EnsureCaretVisible();
  Record(label, start, std::move(removed), 0, before, false);
  return true;
}

bool HexEditModel::Paste(const uint8_t* bytes, size_t size) {
  if (!bytes || size == 0) return false;
  const CaretState before = SaveCaret();
  size_t pos = 0;
  std::vector<uint8_t> removed;
  if (HasSelection()) {
    pos = SelectionStart();
    removed = Replace(pos, SelectionEnd() - pos, bytes, size);
  } else {
    const bool afterByte = part_ == HexCaretPart::LowNibble && caret_ < data_.size();
    pos = caret_ + (afterByte ? 1 : 0);
    removed = Replace(pos, 0, bytes, size);
  }
  ClearSelection();
  Normalize();
  ClampTop();
  Record("Paste", pos, std::move(removed), size, before, false);
  return true;
}

HexEditModel::CaretState HexEditModel::SaveCaret() const {
  return CaretState{caret_, part_, caretHidden_, selecting_, anchor_, end_, origin_};
}

void HexEditModel::RestoreCaret(const CaretState& state) {
  caret_ = state.caret;
  part_ = state.part;
  caretHidden_ = state.caretHidden;
  selecting_ = state.selecting;
  anchor_ = state.anchor;
  end_ = state.end;
  origin_ = state.origin;
  Normalize();
  ClampTop();
  EnsureCaretVisible();
}

std::vector<uint8_t> HexEditModel::Replace(size_t pos, size_t removed, const uint8_t* bytes, size_t count) {
  const auto first = data_.begin() + static_cast<std::ptrdiff_t>(pos);
  std::vector<uint8_t> old(first, first + static_cast<std::ptrdiff_t>(removed));
  Splice(pos, removed, bytes, count);
  return old;
}

void HexEditModel::Record(const char* label, size_t pos, std::vector<uint8_t> removed, size_t inserted,
                          const CaretState& before, bool typing) {
  const auto now = data_.begin() + static_cast<std::ptrdiff_t>(pos);
  ByteEdit* last = typing ? history_.MergeTarget(kTypingKey) : nullptr;
  if (last && last->after == before && pos >= last->pos && pos <= last->pos + last->inserted.size()) {
    // Bytes this edit replaced that the last step had put there are not original bytes; the
    // rest lay after the last step's range and join its removed bytes.
    const size_t offset = pos - last->pos;
    const size_t fromLast = std::min(removed.size(), last->inserted.size() - offset);
    last->removed.insert(last->removed.end(), removed.begin() + static_cast<std::ptrdiff_t>(fromLast), removed.end());
    const auto at = last->inserted.begin() + static_cast<std::ptrdiff_t>(offset);
    last->inserted.erase(at, at + static_cast<std::ptrdiff_t>(fromLast));
    last->inserted.insert(last->inserted.begin() + static_cast<std::ptrdiff_t>(offset), now,
                          now + static_cast<std::ptrdiff_t>(inserted));
    last->after = SaveCaret();
    return;
  }
  history_.Push(ByteEdit{pos, std::move(removed), std::vector<uint8_t>(now, now + static_cast<std::ptrdiff_t>(inserted)),
                         before, SaveCaret()},
                label, typing ? std::string(kTypingKey) : std::string());
}

void HexEditModel::Revert(ByteEdit& edit) {
  Splice(edit.pos, edit.inserted.size(), edit.removed.data(), edit.removed.size());
  std::swap(edit.removed, edit.inserted);
  RestoreCaret(edit.before);
  std::swap(edit.before, edit.after);
}

bool HexEditModel::Undo() {
  return history_.Undo([this](ByteEdit& edit) { Revert(edit); });
}

bool HexEditModel::Redo() {
  return history_.Redo([this](ByteEdit& edit) { Revert(edit); });
}

}  // namespace scrivet
