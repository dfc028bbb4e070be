#include "editors/hex_edit_control.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <string>

#include "core/text_codec.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kDragScrollInterval = 50;  // ms between lines while dragging outside the window

QFont EditorFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(11);
  // Lines are drawn as whole runs on a grid of whole pixels: round the advance to a pixel.
  const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  font.setLetterSpacing(QFont::AbsoluteSpacing, qRound(advance) - advance);
  return font;
}

}  // namespace

HexEditControl::HexEditControl(Platform& platform, QWidget* parent)
    : QAbstractScrollArea(parent), platform_(platform), font_(EditorFont()) {
  viewport()->setFont(font_);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalScrollBar()->setSingleStep(1);

  const QFontMetrics metrics(font_);
  ascent_ = metrics.ascent();
  layout_ = HexLayout::Compute(0, 0, metrics.horizontalAdvance(QLatin1Char('0')), metrics.height());
  // Never narrower than one byte per line.
  setMinimumWidth(layout_.MinimumWidth() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());

  dragScrollTimer_.setInterval(kDragScrollInterval);
  connect(&dragScrollTimer_, &QTimer::timeout, this, [this] { DragToPointer(); });
  Relayout();
}

void HexEditControl::SetData(const uint8_t* bytes, size_t size) {
  model_.SetData(bytes, size);
  Refresh();
}

size_t HexEditControl::GetData(uint8_t* buffer, size_t capacity) const {
  return model_.GetData(buffer, capacity);
}

QPoint HexEditControl::CellPosition(size_t offset, HexCaretPart part) const {
  const size_t bpl = static_cast<size_t>(layout_.bytesPerLine);
  const long long line = static_cast<long long>(offset / bpl) - static_cast<long long>(model_.TopLine());
  const int column = static_cast<int>(offset % bpl);
  const int c = layout_.charWidth;
  int x = layout_.charX + column * c;
  if (part == HexCaretPart::HighNibble) x = layout_.hexX + column * 3 * c;
  if (part == HexCaretPart::LowNibble) x = layout_.hexX + (column * 3 + 1) * c;
  return QPoint(x, static_cast<int>(std::clamp<long long>(line, INT_MIN / 2, INT_MAX / 2)) * layout_.lineHeight);
}

void HexEditControl::Relayout() {
  layout_ = HexLayout::Compute(viewport()->width(), viewport()->height(), layout_.charWidth,
                               layout_.lineHeight);
  model_.SetGeometry(layout_.bytesPerLine, layout_.fullLines);
  Refresh();
}

void HexEditControl::Refresh() {
  syncingScrollBar_ = true;
  QScrollBar* bar = verticalScrollBar();
  const size_t maxLine = std::min<size_t>(model_.MaxTopLine(), INT_MAX);
  bar->setRange(0, static_cast<int>(maxLine));
  bar->setPageStep(layout_.fullLines);
  bar->setValue(static_cast<int>(std::min<size_t>(model_.TopLine(), INT_MAX)));
  bar->setEnabled(maxLine > 0);
  syncingScrollBar_ = false;
  viewport()->update();
}

void HexEditControl::scrollContentsBy(int, int) {
  if (syncingScrollBar_) return;
  model_.ScrollToLine(static_cast<size_t>(std::max(0, verticalScrollBar()->value())));
  viewport()->update();
}

void HexEditControl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Relayout();
}

void HexEditControl::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect area = viewport()->rect();
  painter.fillRect(area, Qt::white);
  painter.setFont(font_);

  const QPalette& pal = palette();
  const QColor textColor = pal.color(QPalette::Text);
  const QColor highlight = pal.color(QPalette::Highlight);
  const QColor highlightText = pal.color(QPalette::HighlightedText);
  const int c = layout_.charWidth;
  const int h = layout_.lineHeight;
  const size_t bpl = static_cast<size_t>(layout_.bytesPerLine);
  const std::vector<uint8_t>& data = model_.Data();
  const size_t size = data.size();
  const bool selInChars = model_.InCharacterColumn();
  const bool hasSel = model_.HasSelection();
  const size_t selStart = model_.SelectionStart();
  const size_t selEnd = model_.SelectionEnd();

  painter.setPen(textColor);
  painter.drawLine(layout_.hexX - 4, 0, layout_.hexX - 4, area.height());
  painter.drawLine(layout_.charX - 4, 0, layout_.charX - 4, area.height());

  QString hexText;
  QString charText;
  hexText.reserve(static_cast<qsizetype>(bpl * 3));
  charText.reserve(static_cast<qsizetype>(bpl));
  // Whole lines plus the partly visible one below them.
  for (int row = 0; row * h < area.height(); ++row) {
    const size_t lineStart = model_.Top() + static_cast<size_t>(row) * bpl;
    if (lineStart > size) break;  // size + 1 positions in all
    const size_t count = std::min(bpl, size - lineStart);
    const int y = row * h;
    const int baseline = y + ascent_;

    hexText.clear();
    charText.clear();
    for (size_t i = 0; i < count; ++i) {
      const uint8_t b = data[lineStart + i];
      hexText += QLatin1Char(kHexDigits[b >> 4]);
      hexText += QLatin1Char(kHexDigits[b & 0x0F]);
      hexText += QLatin1Char(' ');
      charText += HexEditModel::IsPrintable(b) ? QLatin1Char(static_cast<char>(b)) : QLatin1Char('.');
    }
    if (count < bpl) hexText += QLatin1String("..");  // the end position

    painter.setPen(textColor);
    painter.drawText(0, baseline, QString::asprintf("%08lx:", static_cast<unsigned long>(lineStart)));
    painter.drawText(layout_.hexX, baseline, hexText);
    painter.drawText(layout_.charX, baseline, charText);

    if (hasSel && selStart < lineStart + count && selEnd > lineStart) {
      const int first = static_cast<int>(std::max(selStart, lineStart) - lineStart);
      const int last = static_cast<int>(std::min(selEnd, lineStart + count) - lineStart);
      const int n = last - first;
      painter.setPen(highlightText);
      if (selInChars) {
        painter.fillRect(layout_.charX + first * c, y, n * c, h, highlight);
        painter.drawText(layout_.charX + first * c, baseline, charText.mid(first, n));
      } else {
        painter.fillRect(layout_.hexX + first * 3 * c, y, n * 3 * c, h, highlight);
        painter.drawText(layout_.hexX + first * 3 * c, baseline, hexText.mid(first * 3, n * 3));
      }
    }
  }

  if (hasFocus() && !model_.CaretHidden()) {
    const QPoint at = CellPosition(model_.Caret(), model_.Part());
    if (at.y() >= 0 && at.y() < area.height()) {
      painter.setCompositionMode(QPainter::RasterOp_NotDestination);
      painter.fillRect(at.x(), at.y(), model_.InsertMode() ? 1 : c, h, Qt::black);
    }
  }
}

void HexEditControl::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool shift = mods & Qt::ShiftModifier;
  const bool ctrl = mods & Qt::ControlModifier;
  // Windows reports AltGr as Ctrl+Alt: such keys type characters.
  const bool altGr = ctrl && (mods & Qt::AltModifier);
  switch (event->key()) {
    case Qt::Key_Left: model_.MoveCaret(-1, 0, shift); break;
    case Qt::Key_Right: model_.MoveCaret(1, 0, shift); break;
    case Qt::Key_Up: model_.MoveCaret(0, -1, shift); break;
    case Qt::Key_Down: model_.MoveCaret(0, 1, shift); break;
    case Qt::Key_PageUp: model_.PageUp(shift); break;
    case Qt::Key_PageDown: model_.PageDown(shift); break;
    case Qt::Key_Home: model_.Home(ctrl, shift); break;
    case Qt::Key_End: model_.End(ctrl, shift); break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: model_.ToggleColumn(); break;
    case Qt::Key_Insert: model_.ToggleInsertMode(); break;
    case Qt::Key_Delete: model_.DeleteKey(); break;
    case Qt::Key_Backspace: model_.Backspace(); break;
    default: {
      const QString text = event->text();
      if ((ctrl && event->key() == Qt::Key_K) || text == QStringLiteral("\x0b")) {
        Q_EMIT acceptRequested();
        return;
      }
      if (ctrl && !altGr) {
        switch (event->key()) {
          case Qt::Key_C: Copy(); return;
          case Qt::Key_X: Cut(); return;
          case Qt::Key_V: Paste(); return;
          case Qt::Key_Z:
            if (shift)
              Redo();
            else
              Undo();
            return;
          case Qt::Key_Y: Redo(); return;
          case Qt::Key_A: SelectAll(); return;
          default: event->ignore(); return;
        }
      }
      // Escape, Return and other control characters belong to the dialog.
      if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F ||
          (!altGr && (mods & (Qt::AltModifier | Qt::MetaModifier)))) {
        event->ignore();
        return;
      }
      unsigned char byte = 0;
      if (!UnicodeToCp1252(text.at(0).unicode(), byte)) return;
      model_.Type(byte);
      break;
    }
  }
  event->accept();
  Refresh();
}

void HexEditControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  pointer_ = event->position().toPoint();
  model_.Click(layout_.HitTest(pointer_.x(), pointer_.y(), model_.Top(), model_.Size()),
               event->modifiers() & Qt::ShiftModifier);
  dragging_ = true;
  Refresh();
}

void HexEditControl::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  pointer_ = event->position().toPoint();
  DragToPointer();
  const bool outside = pointer_.y() < 0 || pointer_.y() >= layout_.fullLines * layout_.lineHeight;
  if (outside && !dragScrollTimer_.isActive()) dragScrollTimer_.start();
  if (!outside) dragScrollTimer_.stop();
}

void HexEditControl::DragToPointer() {
  int y = pointer_.y();
  const int bottom = model_.VisibleLines() * layout_.lineHeight;
  if (y < 0) {
    model_.ScrollLines(-1);
    y = 0;
  } else if (pointer_.y() >= layout_.fullLines * layout_.lineHeight) {
    model_.ScrollLines(1);
    y = bottom - 1;
  }
  HexHit hit = layout_.HitTest(pointer_.x(), y, model_.Top(), model_.Size());
  // A drag stays in the column where it began.
  if (model_.InCharacterColumn() != (hit.part == HexCaretPart::Character))
    hit.part = model_.InCharacterColumn() ? HexCaretPart::Character : HexCaretPart::HighNibble;
  // A press without movement selects nothing.
  if (hit.offset != model_.Caret() || hit.part != model_.Part() || model_.HasSelection()) model_.DragTo(hit);
  Refresh();
}

void HexEditControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  dragScrollTimer_.stop();
}

void HexEditControl::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void HexEditControl::BuildContextMenu(QMenu& menu) {
  const bool selection = model_.HasSelection();
  menu.addAction(QStringLiteral("&Undo"), this, &HexEditControl::Undo)->setEnabled(model_.CanUndo());
  menu.addAction(QStringLiteral("&Redo"), this, &HexEditControl::Redo)->setEnabled(model_.CanRedo());
  menu.addSeparator();
  menu.addAction(QStringLiteral("Cu&t"), this, &HexEditControl::Cut)->setEnabled(selection);
  menu.addAction(QStringLiteral("&Copy"), this, &HexEditControl::Copy)->setEnabled(selection);
  menu.addAction(QStringLiteral("&Paste"), this, &HexEditControl::Paste)->setEnabled(CanPaste());
  menu.addAction(QStringLiteral("&Delete"), this, &HexEditControl::Delete)->setEnabled(selection);
  menu.addSeparator();
  menu.addAction(QStringLiteral("Select &All"), this, &HexEditControl::SelectAll);
}

void HexEditControl::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  BuildContextMenu(menu);
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Keyboard)
    at = viewport()->mapToGlobal(CellPosition(model_.Caret(), model_.Part()) + QPoint(0, layout_.lineHeight));
  menu.exec(at);
}

void HexEditControl::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void HexEditControl::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

bool HexEditControl::focusNextPrevChild(bool) { return false; }

void HexEditControl::Copy() {
  HexClipboardBlock block;
  if (!model_.Copy(block)) return;
  platform_.SetClipboard(FromCp1252(block.text),
                         QByteArray(reinterpret_cast<const char*>(block.binary.data()),
                                    static_cast<qsizetype>(block.binary.size())));
}

void HexEditControl::Cut() {
  if (!model_.HasSelection()) return;
  Copy();
  model_.DeleteSelection();
  Refresh();
}

void HexEditControl::Delete() {
  model_.DeleteSelection();
  Refresh();
}

void HexEditControl::Paste() {
  std::string bytes;
  if (platform_.ClipboardHasBinary()) {
    const QByteArray binary = platform_.ClipboardBinary();
    bytes.assign(binary.constData(), static_cast<size_t>(binary.size()));
  } else {
    bytes = ToCp1252(platform_.ClipboardText());
    // A terminator that the platform left at the end of the text is not part of it.
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  }
  model_.Paste(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  Refresh();
}

void HexEditControl::SelectAll() {
  model_.SelectAll();
  Refresh();
}

void HexEditControl::Undo() {
  model_.Undo();
  Refresh();
}

void HexEditControl::Redo() {
  model_.Redo();
  Refresh();
}

bool HexEditControl::CanPaste() const {
  return platform_.ClipboardHasBinary() || !platform_.ClipboardText().isEmpty();
}

}  // namespace scrivet
