#pragma once
// Shows one draw-group image composed from the SPR2 frames of its file, on the shared picture
// area: centred on the image's box, dragged with the mouse, redrawn on every paint. A failing
// composition (a missing sprite or frame) shows what was drawn and emits drawFailed().

#include "codecs/resource_dgrp.h"
#include "editors/canvas_view.h"

namespace scrivet {

class IffFile;

class DrawGroupPreview : public CanvasView {
  Q_OBJECT

 public:
  explicit DrawGroupPreview(QWidget* parent = nullptr);

  // Shows a copy of `image`, whose sprites are looked up in `file`.
  void SetImage(IffFile& file, const DgrpImage& image);
  // Centres the image's box (the middle of the area when it has none or a sprite is missing).
  void Center();
  // Takes the look of the editor window: its button-face colour as background, and the screen's
  // depth when Qt reports one of 15 or 16 bits (everything else is drawn at 32).
  void MatchWindow(const QWidget& window);

 protected:
  bool Composes() const override { return file_ != nullptr; }
  bool Compose(SpriteCanvas& canvas, GraphicsFailure& failure) override;

 private:
  IffFile* file_ = nullptr;
  DgrpImage image_;
};

}  // namespace scrivet
