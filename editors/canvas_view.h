#pragma once
// The picture area both previews build on (DrawGroupPreview for draw groups, SpriteView for
// sprite frames): a background colour, a picture at a position that centring sets and the mouse
// drags, repaint on resize, and a notice when drawing fails. The arithmetic lives in
// graphics/preview.h, where tests reach it without a window.
//
// Two ways to fill it:
// - SetPicture hands it a ready bitmap (a canvas plane, converted once), painted at the position
//   over the background and clipped to the client area. Centre it with CenterPicture.
// - A subclass overrides Composes() and Compose() to draw into a canvas of the client size at
//   Depth() bits, cleared to the background, with drawX/drawY at the position (a draw group
//   image). Centre it with CenterOnBounds. A failing Compose sets DrawFailed() and, while error
//   reporting is on, emits drawFailed() once per failing paint, queued so that the receiver may
//   show a modal message outside the paint.
//
// Dragging with the left button moves the picture by each mouse movement; every move and every
// centring emits positionChanged with the displacement from the position after the last centring
// (the dialogs show "Position = {dx, dy}").

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

#include "graphics/preview.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

class CanvasView : public QWidget {
  Q_OBJECT

 public:
  explicit CanvasView(QWidget* parent = nullptr);

  // 0x00RRGGBB.
  void SetBackground(uint32_t rgb);
  uint32_t Background() const { return background_; }

  // The depth a composing view draws at: 15, 16, 24 or 32; 0 (the default) means 32, which is
  // what Qt paints. Tests fix the others.
  void SetFixedDepth(int bits);
  int Depth() const { return depth_ == 0 ? 32 : depth_; }

  // A ready picture from a canvas plane; false (and no picture) when the plane is missing.
  bool SetPicture(const SpriteCanvas& canvas, CanvasPlane plane);
  void SetPicture(const QImage& picture);
  void ClearPicture();
  const QImage& Picture() const { return picture_; }

  // Centring; both repaint and report the position (0, 0). Centring a view that is not shown
  // yet is done again when it first shows, at the size its layout gave it.
  void CenterOnBounds(const DgrpRect& bounds);
  void CenterPicture();

  DrawPosition Position() const { return placement_.Position(); }
  PreviewPlacement::Offset Displacement() const { return placement_.Displacement(); }
  // Moves the picture as a drag would (reports the new displacement).
  void DragBy(int dx, int dy);

  void SetErrorReporting(bool on) { reportErrors_ = on; }
  bool DrawFailed() const { return failed_; }
  const GraphicsFailure& LastFailure() const { return lastFailure_; }

  // The client area as the next paint shows it: composes (or places the picture) without a
  // window system; paintEvent shows the same image.
  QImage Render();

 Q_SIGNALS:
  void positionChanged(qint64 dx, qint64 dy);
  void drawFailed();

 protected:
  // Composing views draw into `canvas` (client size, cleared, positioned); false on failure.
  virtual bool Composes() const { return false; }
  virtual bool Compose(SpriteCanvas& canvas, GraphicsFailure& failure);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ReportPosition();
  void Recenter();

  uint32_t background_ = 0xC0C0C0;
  int depth_ = 0;
  QImage picture_;
  PreviewPlacement placement_;
  enum class Centring { None, Bounds, Picture } centring_ = Centring::None;
  DgrpRect centredBounds_;
  bool centreWhenShown_ = false;
  SpriteCanvas canvas_;  // kept between paints so that repainting allocates nothing
  QImage frame_;
  bool reportErrors_ = true;
  bool failed_ = false;
  GraphicsFailure lastFailure_;
  bool dragging_ = false;
  QPoint lastMouse_;
};

}  // namespace scrivet
