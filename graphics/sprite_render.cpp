#include "graphics/sprite_render.h"

#include "graphics/rasterizer.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

namespace {

void MakeGreyBitmap(const SpriteCanvas& canvas, const std::vector<uint8_t>& plane, RenderedBitmap& out) {
  out.width = canvas.width;
  out.height = canvas.height;
  out.bitsPerPixel = 8;
  out.stride = canvas.PlaneStride();
  out.bits = plane;
  out.greyTable.resize(256 * 3);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) out.greyTable[i * 3 + c] = static_cast<uint8_t>(i);
}

}  // namespace

bool RenderFrame(IffFile& file, const ResourceSpr2& sprite, int index, uint32_t background, int depth, RenderedBitmap& color,
                               RenderedBitmap& depthMap, RenderedBitmap& alpha) {
  if (index < 0 || static_cast<size_t>(index) >= sprite.frames.size()) return false;
  const Spr2Frame& frame = sprite.frames[index];
  if (depth == 15) depth = 16;
  SpriteCanvas canvas(frame.height, frame.width, depth);
  if (!canvas.Allocate(true, false)) return false;
  canvas.blend = true;
  canvas.Clear(background, 255);
  if (!DrawSpr2FrameFromFile(file, frame, sprite.GetPaletteId(), canvas)) return false;
  color.width = canvas.width;
  color.height = canvas.height;
  color.bitsPerPixel = depth;
  color.stride = canvas.ColorStride();
  color.bits = std::move(canvas.color);
  color.greyTable.clear();
  MakeGreyBitmap(canvas, canvas.depth, depthMap);
  MakeGreyBitmap(canvas, canvas.mask, alpha);
  return true;
}

}  // namespace scrivet
