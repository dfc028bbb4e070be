#include "editors/canvas_view.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace scrivet {

namespace {

QColor ToQColor(uint32_t rgb) { return QColor(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF); }

}  // namespace

CanvasView::CanvasView(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted each time; nothing of the widget behind needs drawing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(64, 64);
}

void CanvasView::SetBackground(uint32_t rgb) {
  background_ = rgb & 0xFFFFFF;
  update();
}

void CanvasView::SetFixedDepth(int bits) {
  depth_ = SpriteCanvas::IsSupportedDepth(bits) ? bits : 0;
  update();
}

bool CanvasView::SetPicture(const SpriteCanvas& canvas, CanvasPlane plane) {
  QImage image(std::max(canvas.width, 0), std::max(canvas.height, 0), QImage::Format_RGB32);
  if (!image.isNull() && !CanvasToRgb32(canvas, plane, reinterpret_cast<uint32_t*>(image.bits()),
                                        size_t(image.bytesPerLine()) / 4)) {
    ClearPicture();
    return false;
  }
  SetPicture(image);
  return true;
}

void CanvasView::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void CanvasView::ClearPicture() { SetPicture(QImage()); }

void CanvasView::CenterOnBounds(const DgrpRect& bounds) {
  centring_ = Centring::Bounds;
  centredBounds_ = bounds;
  Recenter();
}

void CanvasView::CenterPicture() {
  centring_ = Centring::Picture;
  Recenter();
}

void CanvasView::Recenter() {
  if (centring_ == Centring::Bounds)
    placement_.CenterOnBounds(width(), height(), centredBounds_);
  else if (centring_ == Centring::Picture)
    placement_.CenterBitmap(width(), height(), picture_.width(), picture_.height());
  centreWhenShown_ = !isVisible();
  update();
  ReportPosition();
}

void CanvasView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centreWhenShown_) Recenter();
}

void CanvasView::DragBy(int dx, int dy) {
  placement_.DragBy(dx, dy);
  update();
  ReportPosition();
}

void CanvasView::ReportPosition() {
  const PreviewPlacement::Offset d = placement_.Displacement();
  Q_EMIT positionChanged(d.x, d.y);
}

bool CanvasView::Compose(SpriteCanvas&, GraphicsFailure&) { return true; }

QImage CanvasView::Render() {
  const DrawPosition at = placement_.Position();
  if (!Composes()) {
    QImage out(size(), QImage::Format_RGB32);
    out.fill(ToQColor(background_));
    if (!picture_.isNull()) QPainter(&out).drawImage(QPoint(at.x, at.y), picture_);
    return out;
  }
  GraphicsFailure failure;
  bool ok = PreparePreviewCanvas(canvas_, width(), height(), Depth(), background_, at, &failure);
  if (ok) ok = Compose(canvas_, failure);
  failed_ = !ok;
  lastFailure_ = failure;
  // What was drawn before a failure still shows; without a canvas, the bare background.
  if (frame_.size() != size() || frame_.format() != QImage::Format_RGB32) frame_ = QImage(size(), QImage::Format_RGB32);
  const bool shown = canvas_.width == width() && canvas_.height == height() && !frame_.isNull() &&
                     CanvasToRgb32(canvas_, CanvasPlane::Color, reinterpret_cast<uint32_t*>(frame_.bits()),
                                   size_t(frame_.bytesPerLine()) / 4);
  if (!shown) frame_.fill(ToQColor(background_));
  if (!ok && reportErrors_)
    QMetaObject::invokeMethod(this, [this] { Q_EMIT drawFailed(); }, Qt::QueuedConnection);
  return frame_;
}

void CanvasView::paintEvent(QPaintEvent*) {
  const QImage image = Render();
  QPainter(this).drawImage(0, 0, image);
}

void CanvasView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  lastMouse_ = event->position().toPoint();
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
  const QPoint now = event->position().toPoint();
  const QPoint delta = now - lastMouse_;
  lastMouse_ = now;
  if (!delta.isNull()) DragBy(delta.x(), delta.y());
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

}  // namespace scrivet
