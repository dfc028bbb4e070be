// The hex editor driven through its widgets.
#include <gtest/gtest.h>

#include <tuple>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "core/iff_resource.h"
#include "editors/hex_edit_control.h"
#include "editors/hex_editor_dialog.h"
#include "editors/qt_platform.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

using Bytes = std::vector<uint8_t>;
using P = HexCaretPart;

Bytes Sequence(uint8_t first, size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(first + i);
  return b;
}

class HexEditorWidget : public ::testing::Test {
 protected:
  void Open(Bytes bytes) {
    resource_.bytes = std::move(bytes);
    dialog_ = std::make_unique<HexEditorDialog>(resource_, platform_);
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    Control().setFocus();
  }
  HexEditControl& Control() { return dialog_->Control(); }
  const HexEditModel& Model() { return Control().Model(); }
  QWidget* Viewport() { return Control().viewport(); }
  // Centre of a byte's cell (or nibble) in viewport coordinates.
  QPoint Cell(size_t offset, P part) {
    return Control().CellPosition(offset, part) +
           QPoint(Control().Layout().charWidth / 2, Control().Layout().lineHeight / 2);
  }
  void Drag(size_t from, P fromPart, size_t to, P toPart) {
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, Cell(from, fromPart));
    QTest::mouseMove(Viewport(), Cell(to, toPart));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, Cell(to, toPart));
  }

  QtPlatform platform_;
  ResourceData resource_;
  std::unique_ptr<HexEditorDialog> dialog_;
};

TEST_F(HexEditorWidget, TypesSelectsWithTheMouseCopiesAndPastesThroughTheClipboard) {
  Open(Sequence(0x10, 16));
  QTest::keyClicks(&Control(), "41");
  EXPECT_EQ(Model().Caret(), 1u);
  Drag(7, P::HighNibble, 7, P::HighNibble);  // a press without movement selects nothing
  EXPECT_EQ(std::tuple(Model().Caret(), Model().HasSelection()), std::tuple(size_t{7}, false));
  Drag(2, P::HighNibble, 4, P::HighNibble);
  EXPECT_EQ(Model().SelectionStart(), 2u);
  EXPECT_EQ(Model().SelectionEnd(), 5u);

  QTest::keyClick(&Control(), Qt::Key_C, Qt::ControlModifier);
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_EQ(mime->data(BinaryDataMimeType()), QByteArray("\x12\x13\x14", 3));
  EXPECT_EQ(mime->text(), QStringLiteral("12 13 14 "));
  // Past the last byte: the end position; the block is appended there.
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Cell(16, P::HighNibble) + QPoint(40, 0));
  EXPECT_EQ(Model().Caret(), 16u);
  QTest::keyClick(&Control(), Qt::Key_V, Qt::ControlModifier);
  Bytes expected = Sequence(0x10, 16);
  expected[0] = 0x41;
  expected.insert(expected.end(), {0x12, 0x13, 0x14});
  EXPECT_EQ(Model().Data(), expected);
  // Ctrl+Z takes the paste back, Ctrl+Y brings it again.
  QTest::keyClick(&Control(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Model().Size(), 16u);
  QTest::keyClick(&Control(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Model().Data(), expected);
  QTest::keyClick(&Control(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(&Control(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // redo too
  EXPECT_EQ(Model().Data(), expected);
}

TEST_F(HexEditorWidget, CharacterColumnCopyAndPlainTextPaste) {
  Open({0x41, 0x00, 0x42});
  QTest::keyClick(&Control(), Qt::Key_Tab);
  EXPECT_EQ(Model().Part(), P::Character);
  EXPECT_TRUE(Control().hasFocus());  // Tab stays in the control
  QTest::keyClick(&Control(), Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(&Control(), Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&Control(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("A.B"));
  // Text is pasted as its own bytes, not read as hex, and a trailing terminator is dropped.
  QGuiApplication::clipboard()->setText(QStringLiteral("4F\u00e9") + QChar(0));
  QTest::keyClick(&Control(), Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(&Control(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Model().Data(), (Bytes{'4', 'F', 0xE9, 0x41, 0x00, 0x42}));
  // Typed characters go in as their code page bytes, AltGr ones (Ctrl+Alt on Windows) too.
  QTest::keyClicks(&Control(), "x");
  QTest::keyClick(&Control(), 'v', Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Model().Data()[0], 'x');
  EXPECT_EQ(Model().Data()[1], 'v');
}

TEST_F(HexEditorWidget, OkAndCtrlKTakeTheEditsCancelAndEscapeDropThem) {
  for (int end = 0; end < 4; ++end) {
    SCOPED_TRACE(end);
    Open({0x00, 0x00});
    QTest::keyClicks(&Control(), "ab");
    if (end == 0) QTest::keyClick(&Control(), Qt::Key_K, Qt::ControlModifier);
    if (end == 1) QTest::mouseClick(&dialog_->OkButton(), Qt::LeftButton);
    if (end == 2) QTest::keyClick(&Control(), Qt::Key_Escape);
    if (end == 3) QTest::mouseClick(&dialog_->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog_->result(), end < 2 ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(resource_.bytes, end < 2 ? (Bytes{0xAB, 0x00}) : (Bytes{0x00, 0x00}));
  }
  // Deleting everything stores an empty resource.
  Open(Sequence(0, 300));
  QTest::keyClick(&Control(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&Control(), Qt::Key_Delete);
  EXPECT_FALSE(Control().verticalScrollBar()->isEnabled());
  QTest::mouseClick(&dialog_->OkButton(), Qt::LeftButton);
  EXPECT_TRUE(resource_.bytes.empty());
}

TEST_F(HexEditorWidget, ADragStaysInItsColumnAndBelowTheWindowScrollsAndSelects) {
  Open(Sequence(0x30, 4000));
  const HexEditModel& m = Model();
  Drag(1, P::Character, 3, P::HighNibble);
  EXPECT_EQ(m.Part(), P::Character);
  EXPECT_EQ(m.SelectionStart(), 1u);
  EXPECT_EQ(m.SelectionEnd(), 3u);
  // A click without movement selects nothing; a double-click does nothing.
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Cell(5, P::LowNibble));
  EXPECT_FALSE(m.HasSelection());
  EXPECT_EQ(m.Caret(), 5u);
  EXPECT_EQ(m.Part(), P::LowNibble);
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, Cell(5, P::LowNibble));
  EXPECT_FALSE(m.HasSelection());
  EXPECT_EQ(m.Data(), Sequence(0x30, 4000));

  ASSERT_GT(m.MaxTopLine(), 0u);
  EXPECT_EQ(Control().verticalScrollBar()->maximum(), static_cast<int>(m.MaxTopLine()));
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, Cell(0, P::Character));
  const QPoint below(Cell(0, P::Character).x(), Viewport()->height() + 20);
  QTest::mouseMove(Viewport(), below);
  QTest::mouseMove(Viewport(), below + QPoint(0, 1));
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, below);
  EXPECT_GE(m.TopLine(), 2u);
  EXPECT_EQ(Control().verticalScrollBar()->value(), static_cast<int>(m.TopLine()));
  EXPECT_EQ(m.SelectionStart(), 0u);
  EXPECT_GT(m.SelectionEnd(), static_cast<size_t>(m.FullLines() * m.BytesPerLine()));
  // The scroll bar moves the view.
  Control().verticalScrollBar()->setValue(10);
  EXPECT_EQ(m.TopLine(), 10u);
}

TEST(HexEditControlMenu, GreysCommandsByState) {
  ScriptedPlatform platform;
  HexEditControl control(platform);
  control.SetData(Sequence(0, 8).data(), 8);
  // Undo, Redo, Cut, Copy, Paste, Delete, Select All: 1 where enabled.
  auto enabled = [&] {
    QMenu menu;
    control.BuildContextMenu(menu);
    QString result;
    for (QAction* action : menu.actions())
      if (!action->isSeparator()) result += action->isEnabled() ? '1' : '0';
    return result;
  };
  EXPECT_EQ(enabled(), "0000001");
  control.SelectAll();
  platform.SetClipboard(QStringLiteral("x"), QByteArray());
  EXPECT_EQ(enabled(), "0011111");
  // Binary data wins over the text beside it.
  platform.SetClipboard(QStringLiteral("zz"), QByteArray("\x01\x02", 2));
  control.Model().Click(HexHit{8, P::HighNibble}, false);
  control.Paste();
  EXPECT_EQ(control.Model().Data(), (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 1, 2}));
  EXPECT_EQ(enabled().left(2), "10");
  control.Undo();
  EXPECT_EQ(enabled().left(2), "01");
  control.Redo();
  // Cut puts the bytes on the clipboard and removes them.
  control.SelectAll();
  control.Cut();
  EXPECT_EQ(control.Model().Size(), 0u);
  EXPECT_EQ(platform.ClipboardBinary().size(), 10);
  EXPECT_EQ(platform.ClipboardText(), QStringLiteral("00 01 02 03 04 05 06 07 01 02 "));
}

TEST(HexEditControlLarge, SixteenMebibytesScrollAndType) {
  ScriptedPlatform platform;
  HexEditControl control(platform);
  control.resize(600, 400);
  const Bytes big(16u << 20, 0x5A);
  control.SetData(big.data(), big.size());
  QTest::keyClick(&control, Qt::Key_End, Qt::ControlModifier);
  const HexEditModel& m = control.Model();
  EXPECT_EQ(m.Caret(), big.size() - 1);
  EXPECT_EQ(control.verticalScrollBar()->value(), static_cast<int>(m.MaxTopLine()));
  QTest::keyClick(&control, Qt::Key_Insert);
  QTest::keyClicks(&control, "12");
  EXPECT_EQ(m.Size(), big.size() + 1);
  EXPECT_EQ(m.Data()[big.size() - 1], 0x12);
  EXPECT_FALSE(control.grab().isNull());
}

}  // namespace
}  // namespace scrivet
