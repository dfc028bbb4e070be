#include "editors/draw_group_preview.h"

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

bool DrawGroupPreview::Compose(SpriteCanvas& canvas, GraphicsFailure& failure) {
  if (noSuchImage_) return ReportFailure(&failure, GraphicsError::CannotDraw, "no such image");
  return DrawPreviewImage(*file_, image_, canvas, &failure);
}

}  // namespace scrivet
