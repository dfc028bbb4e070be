#include "graphics/sprite_render.h"

#include <string>
#include <utility>

#include "graphics/rasterizer.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

namespace {

void MakeGreyBitmap(const SpriteCanvas& canvas, std::vector<uint8_t>&& plane, RenderedBitmap& out) {
  out.width = canvas.width;
  out.height = canvas.height;
  out.bitsPerPixel = 8;
  out.stride = canvas.PlaneStride();
  out.bits = std::move(plane);
}

void TakeColour(SpriteCanvas& canvas, int depth, RenderedBitmap& color) {
  color.width = canvas.width;
  color.height = canvas.height;
  color.bitsPerPixel = depth;
  color.stride = canvas.ColorStride();
  color.bits = std::move(canvas.color);
}

template <class Frame>
bool CheckSize(const Frame& frame, int index, GraphicsFailure* failure) {
  if (frame.SizeFits()) return true;
  return ReportFailure(failure, GraphicsError::FrameTooLarge,
                       "frame " + std::to_string(index) + ": " + std::to_string(frame.width) + " x " +
                           std::to_string(frame.height) + ", " + std::to_string(frame.pixelStream.size()) +
                           " stream bytes");
}

}  // namespace

bool RenderFrame(IffFile& file, const ResourceSpr2& sprite, int index, uint32_t background, int depth,
                 RenderedBitmap& color, RenderedBitmap& depthMap, RenderedBitmap& alpha, GraphicsFailure* failure) {
  if (index < 0 || static_cast<size_t>(index) >= sprite.frames.size())
    return ReportFailure(failure, GraphicsError::CannotDraw, "frame " + std::to_string(index));
  const Spr2Frame& frame = sprite.frames[index];
  if (!CheckSize(frame, index, failure)) return false;
  if (depth == 15) depth = 16;
  SpriteCanvas canvas(frame.height, frame.width, depth);
  if (!canvas.AllocateCleared(background, 255, true, false)) return ReportFailure(failure, GraphicsError::CannotDraw);
  canvas.blend = true;
  if (!DrawSpr2FrameFromFile(file, frame, sprite.GetPaletteId(), canvas))
    return ReportFailure(failure, GraphicsError::CannotDraw, "frame " + std::to_string(index));
  TakeColour(canvas, depth, color);
  MakeGreyBitmap(canvas, std::move(canvas.depth), depthMap);
  MakeGreyBitmap(canvas, std::move(canvas.mask), alpha);
  return true;
}

bool RenderSprFrame(IffFile& file, const ResourceSpr& sprite, int index, uint32_t background, int depth,
                    RenderedBitmap& color, RenderedBitmap& coverage, GraphicsFailure* failure) {
  if (index < 0 || static_cast<size_t>(index) >= sprite.frames.size())
    return ReportFailure(failure, GraphicsError::CannotDraw, "frame " + std::to_string(index));
  const SprFrame& frame = sprite.frames[index];
  if (!CheckSize(frame, index, failure)) return false;
  SpriteCanvas canvas(frame.height, frame.width, depth);
  if (!canvas.AllocateCleared(background, 255, true, false)) return ReportFailure(failure, GraphicsError::CannotDraw);
  if (!DrawSprFrameFromFile(file, sprite, index, canvas))
    return ReportFailure(failure, GraphicsError::CannotDraw, "frame " + std::to_string(index));
  TakeColour(canvas, depth, color);
  MakeGreyBitmap(canvas, std::move(canvas.mask), coverage);
  return true;
}

}  // namespace scrivet
