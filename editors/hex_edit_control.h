#pragma once
// The hex editor's view: paints the offset, hex and character columns of the visible lines of
// a HexEditModel and turns keys, clicks and menu commands into model commands.

#include <QAbstractScrollArea>
#include <QFont>
#include <QPoint>
#include <QTimer>

#include "edit/hex_edit_model.h"

class QMenu;

namespace scrivet {

class Platform;

class HexEditControl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit HexEditControl(Platform& platform, QWidget* parent = nullptr);

  // Replaces the data with a copy; caret 0 on the high nibble, top 0, no selection.
  void SetData(const uint8_t* bytes, size_t size);
  // Copies up to `capacity` bytes out and returns the control's size.
  size_t GetData(uint8_t* buffer, size_t capacity) const;

  HexEditModel& Model() { return model_; }
  const HexEditModel& Model() const { return model_; }
  const HexLayout& Layout() const { return layout_; }

  // Viewport position of a byte's cell in the given column.
  QPoint CellPosition(size_t offset, HexCaretPart part) const;

  void Cut();
  void Copy();
  void Paste();
  void Delete();
  void SelectAll();
  void Undo();
  void Redo();
  bool CanPaste() const;

  // Fills `menu` with the context menu's commands, greyed as the state requires.
  void BuildContextMenu(QMenu& menu);

 Q_SIGNALS:
  // Character code 11 (Ctrl+K): end the dialog with OK.
  void acceptRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  // Tab switches columns instead of moving the focus.
  bool focusNextPrevChild(bool next) override;

 private:
  void Relayout();
  // Brings the scroll bar and the picture up to date after a command.
  void Refresh();
  // Extends a drag selection to the pointer, scrolling a line when it is outside the window.
  void DragToPointer();

  Platform& platform_;
  HexEditModel model_;
  QFont font_;
  HexLayout layout_;
  int ascent_ = 0;
  bool syncingScrollBar_ = false;
  bool dragging_ = false;
  QPoint pointer_;
  QTimer dragScrollTimer_;
};

}  // namespace scrivet
