#pragma once
// "SpriteView": one frame of a sprite editor, a ready picture on the view's background, centred
// and dragged as every preview is (CanvasView); positionChanged carries the displacement the
// editors show as "Position = {dx, dy}".

#include "edit/sprite_editor.h"
#include "editors/canvas_view.h"

namespace scrivet {

class SpriteView : public CanvasView {
 public:
  explicit SpriteView(QWidget* parent = nullptr);

  // The picture on `background` (0x00RRGGBB); centred when asked, else left where it is. A
  // picture without pixels shows the background alone.
  void ShowFrame(const FramePicture& picture, uint32_t background, bool centre);
};

}  // namespace scrivet
