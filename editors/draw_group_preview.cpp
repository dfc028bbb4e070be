#include "editors/draw_group_preview.h"

#include <QScreen>
#include <string>

namespace scrivet {

DrawGroupPreview::DrawGroupPreview(QWidget* parent) : CanvasView(parent) {}

void DrawGroupPreview::SetImage(IffFile& file, const DgrpImage& image) {
  file_ = &file;
  image_ = image;
  update();
}

void DrawGroupPreview::Center() {
  CenterOnBounds(file_ ? GetBounds(*file_, image_) : DgrpRect{});
}

void DrawGroupPreview::MatchWindow(const QWidget& window) {
  SetBackground(window.palette().color(QPalette::Button).rgb() & 0xFFFFFF);
  const QScreen* screen = window.screen();
  const int depth = screen ? screen->depth() : 32;
  SetFixedDepth(depth == 15 || depth == 16 ? depth : 0);
}

bool DrawGroupPreview::Compose(SpriteCanvas& canvas, GraphicsFailure& failure) {
  return DrawPreviewImage(*file_, image_, canvas, &failure);
}

}  // namespace scrivet
