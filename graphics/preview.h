#pragma once
// What the editors' previews show, without a window: where the picture sits in the client area
// (centred, then dragged by the mouse), a draw-group image composed at the client size, and a
// canvas plane turned into the 32-bit pixels that screens and PNG files take.

#include <cstddef>
#include <cstdint>

#include "graphics/draw_group.h"
#include "graphics/graphics_error.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

// The picture's position in client pixels, and where it was after the last centring: the
// editors show the displacement between the two ("Position = {dx, dy}").
class PreviewPlacement {
 public:
  struct Offset {
    int64_t x = 0;
    int64_t y = 0;
    bool operator==(const Offset&) const = default;
  };

  // Centres a draw-group image's box; the empty box puts the picture at the middle of the client
  // area, rounded up.
  void CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds);
  // Centres a bitmap; without one (0 x 0) the client size alone is halved.
  void CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight);
  // Moves by one mouse movement; the position stops at the ends of the int range.
  void DragBy(int dx, int dy);
  // Places the picture without changing where centring put it.
  void MoveTo(DrawPosition position) { position_ = position; }

  DrawPosition Position() const { return position_; }
  DrawPosition Origin() const { return origin_; }
  Offset Displacement() const {
    return {int64_t(position_.x) - origin_.x, int64_t(position_.y) - origin_.y};
  }

 private:
  void Centered(DrawPosition position) { position_ = origin_ = position; }

  DrawPosition position_;
  DrawPosition origin_;
};

// Readies a preview's canvas for a paint: the client size at `depth` bits (planes reallocated
// only when those change, so repainting allocates nothing), cleared to `background` (0x00RRGGBB),
// depth 255, drawX/drawY at `at`, no depth offset, not mirrored. A client area without pixels
// gives a canvas without planes and succeeds. Fails on an unsupported depth or without memory.
bool PreparePreviewCanvas(SpriteCanvas& canvas, int width, int height, int depth, uint32_t background,
                          DrawPosition at, GraphicsFailure* failure = nullptr);

// The draw-group preview's picture on a prepared canvas. An image without sprites, or a canvas
// without pixels, shows the bare background and succeeds; otherwise as DrawImage.
bool DrawPreviewImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas,
                      GraphicsFailure* failure = nullptr);

// Which plane of a canvas a picture is made from: the colour plane (at the canvas depth) or the
// 24-bit display plane that ToDisplay fills from the plane the view mode names.
enum class CanvasPlane { Color, Display };

// Writes the plane as opaque 32-bit pixels 0xFFRRGGBB, top row first, rows `stride` pixels apart
// (the layout of a 32-bit screen image). 15- and 16-bit channels come out as stored, shifted up
// (white is 0xF8F8F8 at 15 bits). False when the plane is missing or shorter than the canvas.
bool CanvasToRgb32(const SpriteCanvas& canvas, CanvasPlane plane, uint32_t* out, size_t stride);

// The colour plane with the mask plane as alpha, premultiplied: 0xAARRGGBB with no channel above
// its alpha. Drawn on black, the colour plane holds colour x coverage and the mask the coverage,
// which is exactly this form. False when a plane is missing.
bool CanvasToPremultipliedArgb(const SpriteCanvas& canvas, uint32_t* out, size_t stride);

}  // namespace scrivet
