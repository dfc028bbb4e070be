#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "edit/hex_edit_model.h"

namespace scrivet {
namespace {

using Bytes = std::vector<uint8_t>;
using P = HexCaretPart;

Bytes Count(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
  return b;
}

// A model with `data`, 4 bytes per line and `lines` whole lines in the window, caret placed.
HexEditModel Make(Bytes data, int lines = 100, size_t caret = 0, P part = P::HighNibble) {
  HexEditModel m;
  m.SetData(std::move(data));
  m.SetGeometry(4, lines);
  m.Click(HexHit{caret, part}, false);
  return m;
}

void TypeText(HexEditModel& m, const std::string& text) {
  for (char c : text) m.Type(static_cast<uint8_t>(c));
}

// The caret and the selection (0, 0 without one); undo brings all of it back.
struct View {
  size_t caret;
  P part;
  size_t start, end;
  bool operator==(const View&) const = default;
};

View ViewOf(const HexEditModel& m) {
  const bool sel = m.HasSelection();
  return {m.Caret(), m.Part(), sel ? m.SelectionStart() : 0, sel ? m.SelectionEnd() : 0};
}

// One undo step takes `m` back to `data` and `view`, and redo forward again.
void ExpectUndoRedo(HexEditModel& m, const Bytes& data, const View& view) {
  const Bytes edited = m.Data();
  const View after = ViewOf(m);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.Data(), data);
  EXPECT_EQ(ViewOf(m), view);
  EXPECT_TRUE(m.IsClean());
  ASSERT_TRUE(m.Redo());
  EXPECT_EQ(m.Data(), edited);
  EXPECT_EQ(ViewOf(m), after);
}

TEST(HexEditModel, TypingIsOneUndoStep) {
  struct Case { Bytes data; bool insert; size_t caret; P part; const char* keys; Bytes expected; size_t caretAfter;
      P partAfter; } cases[] = {
      {{}, false, 0, P::HighNibble, "417f", {0x41, 0x7F}, 2, P::HighNibble},
      {{0x10, 0x20}, false, 2, P::HighNibble, "4", {0x10, 0x20, 0x40}, 2, P::LowNibble},
      {Bytes(8), false, 0, P::HighNibble, "0123456789abcdef", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}, 8,
       P::HighNibble},
      {{0xAA, 0xBB}, true, 1, P::HighNibble, "56", {0xAA, 0x56, 0xBB}, 2, P::HighNibble},
      {{0x12}, false, 0, P::HighNibble, "AFGg xZ/:`{", {0x12}, 0, P::HighNibble},  // not digits
      {{'a', 'b'}, false, 0, P::Character, "x", {'x', 'b'}, 1, P::Character},
      {{'a', 'b'}, false, 2, P::Character, "x", {'a', 'b', 'x'}, 3, P::Character},
      {{'a', 'b'}, true, 1, P::Character, "xy", {'a', 'x', 'y', 'b'}, 3, P::Character},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    HexEditModel m = Make(c.data, 100, c.caret, c.part);
    if (c.insert) m.ToggleInsertMode();
    const View before = ViewOf(m);
    TypeText(m, c.keys);
    EXPECT_EQ(m.Data(), c.expected);
    EXPECT_EQ(ViewOf(m), (View{c.caretAfter, c.partAfter, 0, 0}));
    if (c.expected != c.data) {
      ExpectUndoRedo(m, c.data, before);
      m.Undo();
    }
    EXPECT_FALSE(m.CanUndo());
  }
}

TEST(HexEditModel, EditCommandsAndTheirUndo) {
  enum class C { DeleteKey, Backspace, DeleteSelection, Cut, Paste };
  const Bytes block{'H', 'i'};
  // dragTo == caret: no selection; expected from 0 1 2 3 4 5, empty when the command does nothing
  struct Case { const char* name; C command; size_t caret; P part; size_t dragTo; Bytes expected; size_t caretAfter;
  } cases[] = {
      {"delete key", C::DeleteKey, 1, P::HighNibble, 1, {0, 2, 3, 4, 5}, 1},
      {"delete key at the end", C::DeleteKey, 6, P::HighNibble, 6, {}, 6},
      {"backspace", C::Backspace, 2, P::HighNibble, 2, {0, 2, 3, 4, 5}, 1},
      {"backspace at the start", C::Backspace, 0, P::HighNibble, 0, {}, 0},
      {"backspace drops the selection", C::Backspace, 6, P::Character, 4, {0, 1, 2, 4, 5}, 3},
      {"delete a backwards drag", C::DeleteSelection, 4, P::HighNibble, 1, {0, 5}, 1},
      {"delete nothing selected", C::DeleteSelection, 2, P::HighNibble, 2, {}, 2},
      {"cut", C::Cut, 1, P::Character, 3, {0, 3, 4, 5}, 1},
      {"paste after a low nibble's byte", C::Paste, 1, P::LowNibble, 1, {0, 1, 'H', 'i', 2, 3, 4, 5}, 1},
      {"paste at the end position", C::Paste, 6, P::HighNibble, 6, {0, 1, 2, 3, 4, 5, 'H', 'i'}, 6},
      {"paste over a selection", C::Paste, 1, P::Character, 3, {0, 'H', 'i', 3, 4, 5}, 3},
      {"paste over everything", C::Paste, 0, P::Character, 6, {'H', 'i'}, 2},
  };
  for (bool insertMode : {false, true}) {  // no command here depends on the mode
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      HexEditModel m = Make(Count(6), 100, c.caret, c.part);
      if (insertMode) m.ToggleInsertMode();
      if (c.dragTo != c.caret) m.DragTo(HexHit{c.dragTo, c.part});
      const View before = ViewOf(m);
      HexClipboardBlock cut;
      bool done = false;
      switch (c.command) {
        case C::DeleteKey: done = m.DeleteKey(); break;
        case C::Backspace: done = m.Backspace(); break;
        case C::DeleteSelection: done = m.DeleteSelection(); break;
        case C::Cut: done = m.Cut(cut) && cut.binary == Bytes{1, 2}; break;
        case C::Paste: done = m.Paste(block.data(), block.size()); break;
      }
      EXPECT_EQ(done, !c.expected.empty());
      EXPECT_EQ(m.Data(), done ? c.expected : Count(6));
      EXPECT_EQ(m.Caret(), c.caretAfter);
      EXPECT_EQ(m.CanUndo(), done);
      if (!done) continue;
      EXPECT_FALSE(m.HasSelection());
      ExpectUndoRedo(m, Count(6), before);
    }
  }
  EXPECT_FALSE(Make(Count(2)).Paste(nullptr, 0));
}

TEST(HexEditModel, CaretKeys) {
  // 10 bytes: lines at 0, 4, 8, the end position 10. Keys: the arrows L R U D, Home h, End e, Ctrl H E.
  struct Case { size_t size, caret; P part; char key; size_t want; P wantPart; } cases[] = {
      {10, 0, P::HighNibble, 'L', 0, P::HighNibble},    {10, 1, P::HighNibble, 'L', 0, P::LowNibble},
      {10, 0, P::HighNibble, 'R', 0, P::LowNibble},    {10, 3, P::LowNibble, 'R', 4, P::HighNibble},
      {10, 10, P::HighNibble, 'R', 10, P::HighNibble}, {10, 5, P::LowNibble, 'U', 1, P::LowNibble},
      {10, 6, P::LowNibble, 'D', 10, P::HighNibble},    {10, 2, P::LowNibble, 'U', 0, P::HighNibble},
      {10, 6, P::LowNibble, 'h', 4, P::HighNibble},     {10, 6, P::LowNibble, 'e', 7, P::HighNibble},
      {10, 10, P::HighNibble, 'e', 9, P::HighNibble},    {10, 6, P::Character, 'H', 0, P::Character},
      {10, 2, P::LowNibble, 'E', 9, P::HighNibble},  {0, 0, P::HighNibble, 'E', 0, P::HighNibble},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(c.size), 100, c.caret, c.part);
    if (c.key == 'h' || c.key == 'H')
      m.Home(c.key == 'H', false);
    else if (c.key == 'e' || c.key == 'E')
      m.End(c.key == 'E', false);
    else
      m.MoveCaret((c.key == 'R') - (c.key == 'L'), (c.key == 'D') - (c.key == 'U'), false);
    EXPECT_EQ(ViewOf(m), (View{c.want, c.wantPart, 0, 0})) << c.caret << " key " << c.key;
  }
}

TEST(HexEditModel, ScrollingFollowsTheCaretAndPagesKeepIt) {
  HexEditModel m = Make(Count(20), 2);  // 6 lines of which 2 are shown
  EXPECT_EQ(m.MaxTopLine(), 4u);
  std::vector<size_t> tops;
  m.MoveCaret(0, 1, false), tops.push_back(m.TopLine());
  m.MoveCaret(0, 1, false), tops.push_back(m.TopLine());  // below the last visible line: one line down
  m.MoveCaret(0, -2, false), tops.push_back(m.TopLine());
  m.PageDown(false), tops.push_back(m.TopLine() + 10 * m.Caret());  // pages keep the caret
  m.PageDown(false), m.PageDown(false), tops.push_back(m.TopLine());
  m.PageUp(false), tops.push_back(m.TopLine());
  m.MoveCaret(1, 0, false), tops.push_back(m.TopLine());  // a caret out of view comes back into view
  m.End(true, false), tops.push_back(m.TopLine());
  EXPECT_EQ(tops, (std::vector<size_t>{0, 1, 0, 2, 4, 2, 0, 4}));
  // A new width keeps the top on a line start and within range.
  m.SetGeometry(3, 2);
  EXPECT_TRUE(m.Top() % 3 == 0 && m.TopLine() <= m.MaxTopLine());
  m.SetGeometry(16, 50);
  EXPECT_EQ(m.Top(), 0u);
  EXPECT_EQ(m.VisibleLines(), 2);  // cut down to the lines the data needs
}

TEST(HexEditModel, SelectionsAndCopies) {
  // shiftClick, else a drag
  struct Case { P part; size_t from, to; bool shiftClick; size_t start, end; } cases[] = {
      {P::HighNibble, 2, 5, false, 2, 6},  {P::LowNibble, 2, 5, false, 2, 6},
      {P::HighNibble, 5, 2, false, 2, 6},  // backward: the byte where the drag began is included
      {P::HighNibble, 8, 10, false, 8, 10}, {P::Character, 2, 5, false, 2, 5},
      {P::Character, 5, 2, false, 2, 5},   {P::Character, 7, 3, true, 3, 7},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(10), 100, c.from, c.part);
    if (c.shiftClick)
      m.Click(HexHit{c.to, c.part}, true);
    else
      m.DragTo(HexHit{c.to, c.part});
    EXPECT_EQ(ViewOf(m), (View{c.to, c.part, c.start, c.end})) << c.from << "->" << c.to;
  }

  // Shift extends from the caret's old position; the anchor stays; a plain move clears.
  HexEditModel m = Make(Count(10), 100, 2, P::Character);
  m.MoveCaret(2, 0, true);
  EXPECT_EQ(ViewOf(m), (View{4, P::Character, 2, 4}));
  m.MoveCaret(0, -1, true);
  EXPECT_EQ(ViewOf(m), (View{0, P::Character, 0, 2}));
  m.Click(HexHit{9, P::Character}, true);
  EXPECT_EQ(ViewOf(m), (View{9, P::Character, 2, 9}));
  m.MoveCaret(1, 0, false);
  EXPECT_FALSE(m.HasSelection());

  // The copied text follows the caret's column.
  HexEditModel copy = Make({0x41, 0x00, 0x42, 0x7F});
  HexClipboardBlock block;
  EXPECT_FALSE(copy.Copy(block));  // nothing selected
  copy.DragTo(HexHit{2, P::HighNibble});
  ASSERT_TRUE(copy.Copy(block));
  EXPECT_EQ(std::pair(block.binary, block.text), std::pair(Bytes{0x41, 0x00, 0x42}, std::string("41 00 42 ")));
  copy.ToggleColumn();
  ASSERT_TRUE(copy.Copy(block));
  EXPECT_EQ(block.text, "A.B");
}

TEST(HexEditModel, SelectAllAndDeleteEverything) {
  HexEditModel m = Make(Count(9), 2);
  m.End(true, false);
  m.SelectAll();
  EXPECT_TRUE(m.CaretHidden() && ViewOf(m).end == 9u);  // hidden until the caret is placed again
  EXPECT_TRUE(m.DeleteSelection());
  EXPECT_TRUE(m.Size() == 0u && m.Top() == 0u && !m.CaretHidden());
  m.SelectAll();
  EXPECT_FALSE(m.HasSelection());
  TypeText(m, "ab");
  EXPECT_EQ(m.Data(), (Bytes{0xAB}));
}

TEST(HexLayout, ColumnsAndHits) {
  // Offsets (9 cells), a gap of 10 pixels, then 4 cells a byte for 16 bytes at most.
  const std::pair<int, int> widths[] = {{9 * 8 + 10 + 4 * 8 * 16, 16}, {9 * 8 + 10 + 4 * 8 * 16 - 1, 15},
                                        {9 * 8 + 10 + 4 * 8, 1}, {9 * 8 + 10 + 4 * 8 - 1, 0}, {0, 0}};
  for (const auto& [width, bytes] : widths) {
    const HexLayout l = HexLayout::Compute(width, 100, 8, 13);
    EXPECT_EQ(l.bytesPerLine, std::max(bytes, 1)) << width;
    EXPECT_EQ(l.tooNarrow, bytes == 0) << width;
  }
  EXPECT_EQ(HexLayout::Compute(100, 5, 8, 13).fullLines, 1);

  // c = 10, h = 20, 4 bytes per line: hex column at 96, characters at 3*10*7+10 = 220.
  const HexLayout l = HexLayout::Compute(9 * 10 + 10 + 4 * 10 * 4, 200, 10, 20);
  ASSERT_EQ(std::tuple(l.bytesPerLine, l.hexX, l.charX), std::tuple(4, 96, 220));
  struct Case { int x, y; size_t top, size; HexHit want; } cases[] = {
      {5, 25, 0, 10, {4, P::HighNibble}},     // offset column: first byte of the line
      {106, 5, 0, 10, {0, P::LowNibble}},     {126, 5, 0, 10, {1, P::HighNibble}},
      {218, 5, 0, 10, {3, P::LowNibble}},     // gap before the character column
      {220, 45, 0, 10, {8, P::Character}},    {500, 5, 0, 10, {3, P::Character}},
      {240, 45, 0, 10, {10, P::Character}},   // past the last byte: the end position
      {166, 45, 0, 10, {10, P::HighNibble}},  // the end position has no low nibble
      {106, 150, 0, 10, {10, P::HighNibble}}, {96, -30, 0, 10, {0, P::HighNibble}},
      {96, 5, 8, 10, {8, P::HighNibble}},  // scrolled
  };
  for (const Case& c : cases) EXPECT_EQ(l.HitTest(c.x, c.y, c.top, c.size), c.want) << c.x << "," << c.y;
}

}  // namespace
}  // namespace scrivet
