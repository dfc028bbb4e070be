#include "editors/draw_group_preview.h"

#include <QScreen>
#include <string>

namespace scrivet {

DrawGroupPreview::DrawGroupPreview(QWidget* parent) : CanvasView(parent) {}

void DrawGroupPreview::SetImage(IffFile& file, const DgrpImage& image) {
  file_ = &file;
  image_ = image;
  noSuchImage_ = false;
  update();
}

bool DrawGroupPreview::SetImageByIndex(IffFile& file, const ResourceDgrp& group, int index) {
  if (index >= 0 && size_t(index) < group.images.size()) {
    SetImage(file, group.images[size_t(index)]);
    return true;
  }
  SetImage(file, DgrpImage{});
  noSuchImage_ = true;
  return false;
}

void DrawGroupPreview::Center() {
  CenterOnBounds(file_ && !noSuchImage_ ? GetBounds(*file_, image_) : DgrpRect{});
}

void DrawGroupPreview::MatchWindow(const QWidget& window) {
  SetBackground(window.palette().color(QPalette::Button).rgb() & 0xFFFFFF);
  const QScreen* screen = window.screen();
  const int depth = screen ? screen->depth() : 32;
  SetFixedDepth(depth == 15 || depth == 16 ? depth : 0);
}

bool DrawGroupPreview::Compose(SpriteCanvas& canvas, GraphicsFailure& failure) {
  if (noSuchImage_) return ReportFailure(&failure, GraphicsError::CannotDraw, "no such image");
  return DrawPreviewImage(*file_, image_, canvas, &failure);
}

}  // namespace scrivet
