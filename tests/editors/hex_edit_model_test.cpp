#include <gtest/gtest.h>

#include <string>
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

// A model with `data`, 4 bytes per line and `lines` whole lines in the window.
HexEditModel Make(Bytes data, int lines = 100) {
  HexEditModel m;
  m.SetData(std::move(data));
  m.SetGeometry(4, lines);
  return m;
}

void TypeText(HexEditModel& m, const std::string& text) {
  for (char c : text) m.Type(static_cast<uint8_t>(c));
}

void PlaceCaret(HexEditModel& m, size_t offset, P part) { m.Click(HexHit{offset, part}, false); }

TEST(HexEditModel, EmptyDataShowsOneLineAndTypedDigitsAppend) {
  HexEditModel m = Make({});
  EXPECT_EQ(m.TotalLines(), 1u);
  EXPECT_EQ(m.VisibleLines(), 1);
  EXPECT_EQ(m.MaxTopLine(), 0u);
  TypeText(m, "41");
  EXPECT_EQ(m.Data(), (Bytes{0x41}));
  TypeText(m, "7f");
  EXPECT_EQ(m.Data(), (Bytes{0x41, 0x7F}));
  EXPECT_EQ(m.Caret(), 2u);
  EXPECT_EQ(m.Part(), P::HighNibble);
}

TEST(HexEditModel, TypingAtEndPositionAppendsInOverwriteMode) {
  HexEditModel m = Make({0x10, 0x20});
  PlaceCaret(m, 2, P::HighNibble);
  m.Type('4');
  EXPECT_EQ(m.Data(), (Bytes{0x10, 0x20, 0x40}));
  EXPECT_EQ(m.Part(), P::LowNibble);
  m.Type('1');
  EXPECT_EQ(m.Data(), (Bytes{0x10, 0x20, 0x41}));
  EXPECT_EQ(m.Caret(), 3u);
}

TEST(HexEditModel, OverwriteChangesOnlyTheNibbleUnderTheCaret) {
  HexEditModel m = Make({0x12, 0x34});
  m.Type('f');
  EXPECT_EQ(m.Data(), (Bytes{0xF2, 0x34}));
  EXPECT_EQ(m.Caret(), 0u);
  EXPECT_EQ(m.Part(), P::LowNibble);
  m.MoveCaret(1, 0, false);  // to byte 1, high nibble
  m.MoveCaret(1, 0, false);  // its low nibble
  m.Type('0');
  EXPECT_EQ(m.Data(), (Bytes{0xF2, 0x30}));
  EXPECT_EQ(m.Caret(), 2u);
}

TEST(HexEditModel, HexColumnAcceptsOnlyDigitsAndLowerCaseLetters) {
  for (char c : std::string("AFGg xZ/:`{")) {
    HexEditModel m = Make({0x12});
    EXPECT_FALSE(m.Type(static_cast<uint8_t>(c))) << c;
    EXPECT_EQ(m.Data(), (Bytes{0x12})) << c;
    EXPECT_EQ(m.Part(), P::HighNibble) << c;
  }
  HexEditModel m = Make({0, 0, 0, 0, 0, 0, 0, 0});
  TypeText(m, "0123456789abcdef");
  EXPECT_EQ(m.Data(), (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
}

TEST(HexEditModel, InsertModeInsertsAZeroByteBeforeTheHighNibble) {
  HexEditModel m = Make({0xAA, 0xBB});
  m.ToggleInsertMode();
  PlaceCaret(m, 1, P::HighNibble);
  m.Type('5');
  EXPECT_EQ(m.Data(), (Bytes{0xAA, 0x50, 0xBB}));
  m.Type('6');  // low nibble of the inserted byte, no second insert
  EXPECT_EQ(m.Data(), (Bytes{0xAA, 0x56, 0xBB}));
  EXPECT_EQ(m.Caret(), 2u);
}

TEST(HexEditModel, CharacterColumnTyping) {
  struct Case {
    bool insert;
    size_t caret;
    Bytes expected;
  } cases[] = {
      {false, 0, {'x', 'b'}},
      {false, 2, {'a', 'b', 'x'}},  // end position appends
      {true, 0, {'x', 'a', 'b'}},
      {true, 1, {'a', 'x', 'b'}},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make({'a', 'b'});
    if (c.insert) m.ToggleInsertMode();
    PlaceCaret(m, c.caret, P::Character);
    EXPECT_TRUE(m.Type('x'));
    EXPECT_EQ(m.Data(), c.expected) << c.insert << " " << c.caret;
    EXPECT_EQ(m.Caret(), c.caret + 1);
    EXPECT_EQ(m.Part(), P::Character);
  }
  // Upper-case letters and high bytes are ordinary characters here.
  HexEditModel m = Make({});
  m.ToggleColumn();
  TypeText(m, "A\xE9");
  EXPECT_EQ(m.Data(), (Bytes{'A', 0xE9}));
}

TEST(HexEditModel, CaretMovement) {
  // 10 bytes, 4 per line: lines start at 0, 4, 8; the end position is 10.
  struct Case {
    size_t caret;
    P part;
    int dx, dy;
    size_t wantCaret;
    P wantPart;
  } cases[] = {
      {0, P::HighNibble, -1, 0, 0, P::HighNibble},  // clamped at the start
      {1, P::HighNibble, -1, 0, 0, P::LowNibble},   // previous byte's low nibble
      {0, P::HighNibble, 1, 0, 0, P::LowNibble},
      {0, P::LowNibble, -1, 0, 0, P::HighNibble},
      {0, P::LowNibble, 1, 0, 1, P::HighNibble},
      {3, P::LowNibble, 1, 0, 4, P::HighNibble},   // wraps to the next line
      {4, P::HighNibble, -1, 0, 3, P::LowNibble},  // and back
      {9, P::LowNibble, 1, 0, 10, P::HighNibble},  // onto the end position
      {10, P::HighNibble, 1, 0, 10, P::HighNibble},  // the end position has no low nibble
      {5, P::LowNibble, 0, -1, 1, P::LowNibble},
      {5, P::LowNibble, 0, 1, 9, P::LowNibble},
      {6, P::LowNibble, 0, 1, 10, P::HighNibble},
      {8, P::LowNibble, 0, 1, 10, P::HighNibble},  // clamped
      {2, P::LowNibble, 0, -1, 0, P::HighNibble},  // clamped
      {3, P::Character, 1, 0, 4, P::Character},
      {10, P::Character, 1, 0, 10, P::Character},
      {0, P::Character, -1, 0, 0, P::Character},
      {7, P::Character, 0, 1, 10, P::Character},
      {7, P::Character, 0, -1, 3, P::Character},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(10));
    PlaceCaret(m, c.caret, c.part);
    m.MoveCaret(c.dx, c.dy, false);
    EXPECT_EQ(m.Caret(), c.wantCaret) << "from " << c.caret << " by " << c.dx << "," << c.dy;
    EXPECT_EQ(m.Part(), c.wantPart) << "from " << c.caret << " by " << c.dx << "," << c.dy;
  }
}

TEST(HexEditModel, HomeAndEnd) {
  struct Case {
    size_t size;
    size_t caret;
    bool end, wholeData;
    size_t want;
  } cases[] = {
      {10, 6, false, false, 4}, {10, 6, true, false, 7},  {10, 9, true, false, 9},
      {10, 10, true, false, 9},  // at most the last byte
      {10, 6, false, true, 0},  {10, 2, true, true, 9},   {0, 0, true, false, 0},
      {0, 0, true, true, 0},    {8, 8, false, false, 8},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(c.size));
    PlaceCaret(m, c.caret, P::LowNibble);
    if (c.end)
      m.End(c.wholeData, false);
    else
      m.Home(c.wholeData, false);
    EXPECT_EQ(m.Caret(), c.want) << c.size << " " << c.caret << " " << c.end << c.wholeData;
    EXPECT_EQ(m.Part(), P::HighNibble);
  }
}

TEST(HexEditModel, ScrollingFollowsTheCaretAndPagesKeepIt) {
  HexEditModel m = Make(Count(20), 2);  // 6 lines of which 2 are shown
  EXPECT_EQ(m.TotalLines(), 6u);
  EXPECT_EQ(m.MaxTopLine(), 4u);
  m.MoveCaret(0, 1, false);
  EXPECT_EQ(m.TopLine(), 0u);
  m.MoveCaret(0, 1, false);  // below the last visible line: one line down
  EXPECT_EQ(m.TopLine(), 1u);
  m.MoveCaret(0, -1, false);
  m.MoveCaret(0, -1, false);  // above the top: one line up
  EXPECT_EQ(m.TopLine(), 0u);
  EXPECT_EQ(m.Caret(), 0u);

  m.PageDown(false);
  EXPECT_EQ(m.TopLine(), 2u);
  EXPECT_EQ(m.Caret(), 0u);
  m.PageDown(false);
  m.PageDown(false);
  EXPECT_EQ(m.TopLine(), 4u);
  m.PageUp(false);
  EXPECT_EQ(m.TopLine(), 2u);

  m.End(true, false);
  EXPECT_EQ(m.TopLine(), 4u);
  EXPECT_EQ(m.Caret(), 19u);
  m.Home(true, false);
  EXPECT_EQ(m.TopLine(), 0u);

  // A caret far out of view comes back into view with the next move.
  m.PageDown(false);
  m.PageDown(false);
  m.MoveCaret(1, 0, false);
  EXPECT_EQ(m.TopLine(), 0u);

  // A new width keeps the top on a line start and within range.
  m.ScrollToLine(4);
  m.SetGeometry(3, 2);
  EXPECT_EQ(m.Top() % 3, 0u);
  EXPECT_LE(m.TopLine(), m.MaxTopLine());
  m.SetGeometry(16, 2);
  EXPECT_EQ(m.Top(), 0u);
  EXPECT_EQ(m.VisibleLines(), 2);
  m.SetGeometry(16, 50);
  EXPECT_EQ(m.VisibleLines(), 2);  // cut down to the lines the data needs
}

TEST(HexEditModel, ShiftExtendsFromTheOldCaretAndPlainMovesClear) {
  HexEditModel m = Make(Count(10));
  PlaceCaret(m, 2, P::Character);
  m.MoveCaret(1, 0, true);
  m.MoveCaret(1, 0, true);
  EXPECT_TRUE(m.HasSelection());
  EXPECT_EQ(m.SelectionStart(), 2u);
  EXPECT_EQ(m.SelectionEnd(), 4u);
  m.MoveCaret(0, -1, true);  // past the anchor: 0..2
  EXPECT_EQ(m.SelectionStart(), 0u);
  EXPECT_EQ(m.SelectionEnd(), 2u);
  m.End(false, true);
  EXPECT_EQ(m.SelectionStart(), 2u);
  EXPECT_EQ(m.SelectionEnd(), 3u);
  m.MoveCaret(1, 0, false);
  EXPECT_FALSE(m.HasSelection());
}

TEST(HexEditModel, MouseSelection) {
  struct Case {
    P part;
    size_t from, to;
    size_t start, end;
  } cases[] = {
      {P::HighNibble, 2, 5, 2, 6},  // forward: the byte under the pointer is included
      {P::LowNibble, 2, 5, 2, 6},
      {P::HighNibble, 5, 2, 2, 6},  // backward: the byte where the drag began is included
      {P::HighNibble, 8, 10, 8, 10},  // onto the end position
      {P::Character, 2, 5, 2, 5},
      {P::Character, 5, 2, 2, 5},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(10));
    m.Click(HexHit{c.from, c.part}, false);
    EXPECT_FALSE(m.HasSelection());
    m.DragTo(HexHit{c.to, c.part});
    EXPECT_EQ(m.SelectionStart(), c.start) << c.from << "->" << c.to;
    EXPECT_EQ(m.SelectionEnd(), c.end) << c.from << "->" << c.to;
    EXPECT_EQ(m.Caret(), c.to);
  }
}

TEST(HexEditModel, DeletingABackwardsDragRemovesUpToTheDragStart) {
  HexEditModel m = Make(Count(10));
  m.Click(HexHit{5, P::HighNibble}, false);
  m.DragTo(HexHit{2, P::HighNibble});
  EXPECT_TRUE(m.DeleteSelection());
  EXPECT_EQ(m.Data(), (Bytes{0, 1, 6, 7, 8, 9}));
  EXPECT_EQ(m.Caret(), 2u);
  EXPECT_FALSE(m.HasSelection());
}

TEST(HexEditModel, ShiftClickExtendsFromTheCaret) {
  HexEditModel m = Make(Count(10));
  PlaceCaret(m, 7, P::Character);
  m.Click(HexHit{3, P::Character}, true);
  EXPECT_EQ(m.SelectionStart(), 3u);
  EXPECT_EQ(m.SelectionEnd(), 7u);
  m.Click(HexHit{9, P::Character}, true);  // the anchor stays
  EXPECT_EQ(m.SelectionStart(), 7u);
  EXPECT_EQ(m.SelectionEnd(), 9u);
}

TEST(HexEditModel, CopyFormatsDependOnTheCaretColumn) {
  HexEditModel m = Make({0x41, 0x00, 0x42, 0x7F});
  HexClipboardBlock block;
  EXPECT_FALSE(m.Copy(block));  // nothing selected

  m.Click(HexHit{0, P::HighNibble}, false);
  m.DragTo(HexHit{2, P::HighNibble});
  ASSERT_TRUE(m.Copy(block));
  EXPECT_EQ(block.binary, (Bytes{0x41, 0x00, 0x42}));
  EXPECT_EQ(block.text, "41 00 42 ");

  m.ToggleColumn();
  ASSERT_TRUE(m.Copy(block));
  EXPECT_EQ(block.binary, (Bytes{0x41, 0x00, 0x42}));
  EXPECT_EQ(block.text, "A.B");

  m.SelectAll();
  ASSERT_TRUE(m.Copy(block));
  EXPECT_EQ(block.text, "A.B.");
}

TEST(HexEditModel, CutCopiesThenDeletes) {
  HexEditModel m = Make(Count(6));
  m.Click(HexHit{1, P::Character}, false);
  m.DragTo(HexHit{3, P::Character});
  HexClipboardBlock block;
  ASSERT_TRUE(m.Cut(block));
  EXPECT_EQ(block.binary, (Bytes{1, 2}));
  EXPECT_EQ(m.Data(), (Bytes{0, 3, 4, 5}));
  EXPECT_EQ(m.Caret(), 1u);
  EXPECT_FALSE(m.Cut(block));
}

TEST(HexEditModel, Paste) {
  const Bytes block{'H', 'i'};
  struct Case {
    const char* name;
    size_t caret;
    P part;
    size_t selFrom, selTo;  // equal: no selection
    bool insertMode;
    Bytes expected;
    size_t caretAfter;
  } cases[] = {
      {"at caret", 1, P::HighNibble, 0, 0, false, {0, 'H', 'i', 1, 2, 3}, 1},
      {"after the low nibble's byte", 1, P::LowNibble, 0, 0, false, {0, 1, 'H', 'i', 2, 3}, 1},
      {"character column", 1, P::Character, 0, 0, false, {0, 'H', 'i', 1, 2, 3}, 1},
      {"insert mode", 1, P::HighNibble, 0, 0, true, {0, 'H', 'i', 1, 2, 3}, 1},
      {"at the end position", 4, P::HighNibble, 0, 0, false, {0, 1, 2, 3, 'H', 'i'}, 4},
      {"over a selection", 3, P::Character, 1, 3, false, {0, 'H', 'i', 3}, 3},
      {"over a longer selection", 4, P::Character, 0, 4, false, {'H', 'i'}, 2},
  };
  for (const Case& c : cases) {
    HexEditModel m = Make(Count(4));
    if (c.insertMode) m.ToggleInsertMode();
    if (c.selFrom != c.selTo) {
      m.Click(HexHit{c.selFrom, P::Character}, false);
      m.DragTo(HexHit{c.selTo, P::Character});
    }
    if (c.selFrom == c.selTo || c.part != P::Character) PlaceCaret(m, c.caret, c.part);
    ASSERT_TRUE(m.Paste(block.data(), block.size())) << c.name;
    EXPECT_EQ(m.Data(), c.expected) << c.name;
    EXPECT_EQ(m.Caret(), c.caretAfter) << c.name;
    EXPECT_FALSE(m.HasSelection()) << c.name;
  }
  HexEditModel m = Make(Count(2));
  EXPECT_FALSE(m.Paste(nullptr, 0));
  EXPECT_EQ(m.Data(), Count(2));
}

TEST(HexEditModel, DeleteKeyAndBackspace) {
  HexEditModel m = Make(Count(4));
  PlaceCaret(m, 1, P::HighNibble);
  EXPECT_TRUE(m.DeleteKey());
  EXPECT_EQ(m.Data(), (Bytes{0, 2, 3}));
  EXPECT_EQ(m.Caret(), 1u);
  EXPECT_TRUE(m.Backspace());
  EXPECT_EQ(m.Data(), (Bytes{2, 3}));
  EXPECT_EQ(m.Caret(), 0u);
  EXPECT_FALSE(m.Backspace());
  PlaceCaret(m, 1, P::LowNibble);
  EXPECT_TRUE(m.DeleteKey());  // the last byte: the caret ends on the end position's high nibble
  EXPECT_EQ(m.Caret(), 1u);
  EXPECT_EQ(m.Part(), P::HighNibble);
  EXPECT_FALSE(m.DeleteKey());
  EXPECT_EQ(m.Data(), (Bytes{2}));
}

TEST(HexEditModel, EditsNeverLeaveAStaleSelection) {
  // Backspace and typing with a selection must not keep offsets past the shrunk data.
  HexEditModel m = Make(Count(8));
  m.SelectAll();
  PlaceCaret(m, 8, P::Character);
  m.MoveCaret(-4, 0, true);  // select 4..8
  ASSERT_TRUE(m.HasSelection());
  EXPECT_TRUE(m.Backspace());
  EXPECT_FALSE(m.HasSelection());
  EXPECT_EQ(m.Size(), 7u);
  HexClipboardBlock block;
  EXPECT_FALSE(m.Copy(block));

  m.SelectAll();
  m.Type('z');
  EXPECT_FALSE(m.HasSelection());
}

TEST(HexEditModel, SelectAllHidesTheCaretUntilItIsPlaced) {
  HexEditModel m = Make(Count(5));
  m.SelectAll();
  EXPECT_TRUE(m.CaretHidden());
  EXPECT_EQ(m.SelectionStart(), 0u);
  EXPECT_EQ(m.SelectionEnd(), 5u);
  m.PageDown(true);
  EXPECT_TRUE(m.CaretHidden());
  m.MoveCaret(1, 0, false);
  EXPECT_FALSE(m.CaretHidden());

  HexEditModel empty = Make({});
  empty.SelectAll();
  EXPECT_FALSE(empty.HasSelection());
}

TEST(HexEditModel, DeletingEverythingLeavesAWorkingEmptyModel) {
  HexEditModel m = Make(Count(9), 2);
  m.End(true, false);
  m.SelectAll();
  EXPECT_TRUE(m.DeleteSelection());
  EXPECT_EQ(m.Size(), 0u);
  EXPECT_EQ(m.Caret(), 0u);
  EXPECT_EQ(m.Top(), 0u);
  uint8_t out[4] = {};
  EXPECT_EQ(m.GetData(out, sizeof out), 0u);
  TypeText(m, "ab");
  EXPECT_EQ(m.Data(), (Bytes{0xAB}));
}

TEST(HexLayout, ColumnsFromTheWindowSize) {
  struct Case {
    int width;
    int bytesPerLine;
    bool tooNarrow;
  } cases[] = {
      {9 * 8 + 10 + 4 * 8 * 16, 16, false},
      {9 * 8 + 10 + 4 * 8 * 16 - 1, 15, false},
      {9 * 8 + 10 + 4 * 8, 1, false},
      {9 * 8 + 10 + 4 * 8 - 1, 1, true},
      {0, 1, true},
  };
  for (const Case& c : cases) {
    const HexLayout l = HexLayout::Compute(c.width, 100, 8, 13);
    EXPECT_EQ(l.bytesPerLine, c.bytesPerLine) << c.width;
    EXPECT_EQ(l.tooNarrow, c.tooNarrow) << c.width;
    EXPECT_EQ(l.hexX, 9 * 8 + 6);
    EXPECT_EQ(l.charX, 3 * 8 * (c.bytesPerLine + 3) + 10);
    EXPECT_EQ(l.fullLines, 7);
  }
  EXPECT_EQ(HexLayout::Compute(100, 5, 8, 13).fullLines, 1);
  EXPECT_EQ(HexLayout::Compute(100, 5, 8, 13).MinimumWidth(), 13 * 8 + 10);
}

TEST(HexLayout, HitTest) {
  // c = 10, h = 20, 4 bytes per line: hex column at 96, characters at 3*10*7+10 = 220.
  const HexLayout l = HexLayout::Compute(9 * 10 + 10 + 4 * 10 * 4, 200, 10, 20);
  ASSERT_EQ(l.bytesPerLine, 4);
  ASSERT_EQ(l.hexX, 96);
  ASSERT_EQ(l.charX, 220);
  struct Case {
    int x, y;
    size_t top, size;
    HexHit want;
  } cases[] = {
      {5, 25, 0, 10, {4, P::HighNibble}},     // offset column: first byte of the line
      {96, 5, 0, 10, {0, P::HighNibble}},     // first cell of a byte
      {106, 5, 0, 10, {0, P::LowNibble}},     // second cell
      {116, 5, 0, 10, {0, P::LowNibble}},     // the blank
      {126, 5, 0, 10, {1, P::HighNibble}},
      {215, 5, 0, 10, {3, P::LowNibble}},     // the last byte's blank
      {218, 5, 0, 10, {3, P::LowNibble}},     // gap before the character column
      {220, 45, 0, 10, {8, P::Character}},
      {259, 5, 0, 10, {3, P::Character}},
      {500, 5, 0, 10, {3, P::Character}},     // right of everything: last byte of the line
      {230, 45, 0, 10, {9, P::Character}},
      {240, 45, 0, 10, {10, P::Character}},   // past the last byte: the end position
      {106, 45, 0, 10, {8, P::LowNibble}},
      {166, 45, 0, 10, {10, P::HighNibble}},  // end position has no low nibble
      {106, 150, 0, 10, {10, P::HighNibble}},  // below the data
      {96, -30, 0, 10, {0, P::HighNibble}},
      {96, 5, 8, 10, {8, P::HighNibble}},     // scrolled
      {106, 5, 0, 0, {0, P::HighNibble}},
  };
  for (const Case& c : cases) {
    const HexHit hit = l.HitTest(c.x, c.y, c.top, c.size);
    EXPECT_EQ(hit.offset, c.want.offset) << c.x << "," << c.y;
    EXPECT_EQ(hit.part, c.want.part) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace scrivet
