#include "editors/sprite_view.h"

#include <algorithm>

namespace scrivet {

SpriteView::SpriteView(QWidget* parent) : CanvasView(parent) { setMinimumSize(160, 160); }

void SpriteView::ShowFrame(const FramePicture& picture, uint32_t background, bool centre) {
  SetBackground(background);
  QImage image;
  if (picture.width > 0 && picture.height > 0 &&
      picture.pixels.size() == size_t(picture.width) * size_t(picture.height)) {
    image = QImage(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height && !image.isNull(); ++y)
      std::copy_n(picture.pixels.data() + size_t(y) * picture.width, picture.width,
                  reinterpret_cast<uint32_t*>(image.scanLine(y)));
  }
  SetPicture(image);
  if (centre) CenterPicture();
}

}  // namespace scrivet
