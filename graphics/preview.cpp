#include "graphics/preview.h"

#include <algorithm>
#include <limits>
#include <string>

namespace scrivet {

namespace {

int ClampToInt(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

void PreviewPlacement::CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds) {
  if (std::optional<DrawPosition> centre = scrivet::CenterOnBounds(clientWidth, clientHeight, bounds)) {
    Centered(*centre);
    return;
  }
  // Only a box at the very ends of the range centres one step past it.
  Centered({ClampToInt((int64_t(clientWidth) - (int64_t(bounds.left) + bounds.right)) / 2),
            ClampToInt((int64_t(clientHeight) - (int64_t(bounds.top) + bounds.bottom)) / 2)});
}

void PreviewPlacement::CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight) {
  Centered(scrivet::CenterBitmap(clientWidth, clientHeight, bitmapWidth, bitmapHeight));
}

void PreviewPlacement::DragBy(int dx, int dy) {
  position_ = {ClampToInt(int64_t(position_.x) + dx), ClampToInt(int64_t(position_.y) + dy)};
}

bool PreparePreviewCanvas(SpriteCanvas& canvas, int width, int height, int depth, uint32_t background,
                          DrawPosition at, GraphicsFailure* failure) {
  if (!SpriteCanvas::IsSupportedDepth(depth))
    return ReportFailure(failure, GraphicsError::CannotDraw, std::to_string(depth) + " bits per pixel");
  if (width <= 0 || height <= 0) {
    canvas = SpriteCanvas(std::max(height, 0), std::max(width, 0), depth);
  } else if (canvas.width != width || canvas.height != height || canvas.bitsPerPixel != depth ||
             !canvas.HasColor() || !canvas.HasDepth() || !canvas.HasMask()) {
    canvas = SpriteCanvas(height, width, depth);
    // The rasterizers draw the mask too; the display plane is not needed.
    if (!canvas.Allocate(true, false)) return ReportFailure(failure, GraphicsError::CannotDraw, "out of memory");
  }
  canvas.Clear(background & 0xFFFFFF, 255);
  canvas.drawX = at.x;
  canvas.drawY = at.y;
  canvas.depthOffset = 0;
  canvas.mirrored = false;
  return true;
}

bool DrawPreviewImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas, GraphicsFailure* failure) {
  if (image.sprites.empty() || canvas.width <= 0 || canvas.height <= 0) return true;
  return DrawImage(file, image, canvas, failure);
}

bool CanvasToRgb32(const SpriteCanvas& canvas, CanvasPlane plane, uint32_t* out, size_t stride) {
  const size_t rows = static_cast<size_t>(std::max(canvas.height, 0));
  const int width = std::max(canvas.width, 0);
  if (plane == CanvasPlane::Display) {
    if (canvas.display.size() < canvas.DisplayStride() * rows) return false;
    for (int row = 0; row < canvas.height; ++row) {
      const uint8_t* in = canvas.DisplayRow(row);
      uint32_t* line = out + static_cast<size_t>(row) * stride;
      for (int x = 0; x < width; ++x, in += 3)
        line[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
    }
    return true;
  }
  if (!SpriteCanvas::IsSupportedDepth(canvas.bitsPerPixel) || canvas.color.size() < canvas.ColorStride() * rows)
    return false;
  const int bpp = canvas.BytesPerPixel();
  for (int row = 0; row < canvas.height; ++row) {
    const uint8_t* in = canvas.ColorRow(row);
    uint32_t* line = out + static_cast<size_t>(row) * stride;
    if (bpp >= 3) {
      // 24 and 32 bits hold blue, green, red in their first three bytes.
      for (int x = 0; x < width; ++x, in += bpp)
        line[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
    } else {
      for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | canvas.PixelRgb(x, row);
    }
  }
  return true;
}

bool CanvasToPremultipliedArgb(const SpriteCanvas& canvas, uint32_t* out, size_t stride) {
  const size_t rows = static_cast<size_t>(std::max(canvas.height, 0));
  if (!SpriteCanvas::IsSupportedDepth(canvas.bitsPerPixel) || canvas.color.size() < canvas.ColorStride() * rows ||
      canvas.mask.size() < canvas.PlaneStride() * rows)
    return false;
  for (int row = 0; row < canvas.height; ++row) {
    const uint8_t* mask = canvas.MaskRow(row);
    uint32_t* line = out + static_cast<size_t>(row) * stride;
    for (int x = 0; x < canvas.width; ++x) {
      const uint32_t rgb = canvas.PixelRgb(x, row);
      const uint32_t a = mask[x];
      line[x] = a << 24 | std::min((rgb >> 16) & 0xFF, a) << 16 | std::min((rgb >> 8) & 0xFF, a) << 8 |
                std::min(rgb & 0xFF, a);
    }
  }
  return true;
}

}  // namespace scrivet
