#include "graphics/draw_group.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include "codecs/resource_spr2.h"
#include "core/iff_file.h"
#include "graphics/rasterizer.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

namespace {

// Each SPR2 an image names, decoded once.
class SpriteCache {
 public:
  explicit SpriteCache(IffFile& file) : file_(file) {}

  const ResourceSpr2* Get(uint32_t id) {
    if (id > 0xFFFF) return nullptr;
    auto it = sprites_.find(id);
    if (it != sprites_.end()) return it->second.get();
    std::unique_ptr<ResourceSpr2> sprite;
    if (IffChunk* chunk = file_.Find(ResourceSpr2::kType, static_cast<uint16_t>(id))) {
      sprite = std::make_unique<ResourceSpr2>();
      if (!sprite->Load(file_, *chunk)) sprite.reset();
    }
    return (sprites_[id] = std::move(sprite)).get();
  }

  // The frame the sprite names, fit to be drawn; null with the reason otherwise.
  const Spr2Frame* Frame(const DgrpSprite& s, GraphicsFailure* failure, uint16_t* paletteId = nullptr) {
    const ResourceSpr2* sprite = Get(s.spriteId);
    if (!sprite || s.spriteIndex >= sprite->frames.size()) {
      ReportFailure(failure, GraphicsError::MissingSprite, Name(s));
      return nullptr;
    }
    const Spr2Frame& frame = sprite->frames[s.spriteIndex];
    if (!frame.SizeFits()) {
      ReportFailure(failure, GraphicsError::FrameTooLarge,
                    Name(s) + ": " + std::to_string(frame.width) + " x " + std::to_string(frame.height) + ", " +
                        std::to_string(frame.pixelStream.size()) + " stream bytes");
      return nullptr;
    }
    if (paletteId) *paletteId = sprite->GetPaletteId();
    return &frame;
  }

  static std::string Name(const DgrpSprite& s) {
    return "SPR2 " + std::to_string(s.spriteId) + " frame " + std::to_string(s.spriteIndex);
  }

 private:
  IffFile& file_;
  std::map<uint32_t, std::unique_ptr<ResourceSpr2>> sprites_;
};

bool FitsInt(int64_t v) { return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max(); }

std::string Offsets(const DgrpSprite& s) { return std::to_string(s.pixelX) + ", " + std::to_string(s.pixelY); }

}  // namespace

DgrpRect GetBounds(IffFile& file, const DgrpImage& image, GraphicsFailure* failure) {
  DgrpRect box;
  SpriteCache cache(file);
  for (const DgrpSprite& s : image.sprites) {
    const Spr2Frame* frame = cache.Frame(s, failure);
    if (!frame) return DgrpRect{};
    if (frame->width == 0 || frame->height == 0) continue;
    const int64_t right = int64_t(s.pixelX) + frame->width;
    const int64_t top = int64_t(s.pixelY) - frame->height;
    if (!FitsInt(right) || !FitsInt(top)) {
      ReportFailure(failure, GraphicsError::OutOfRange, SpriteCache::Name(s) + " at " + Offsets(s));
      return DgrpRect{};
    }
    box.left = std::min(box.left, s.pixelX);
    box.right = std::max(box.right, static_cast<int32_t>(right));
    box.top = std::min(box.top, static_cast<int32_t>(top));
    box.bottom = std::max(box.bottom, s.pixelY);
  }
  return box;
}

bool DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas, GraphicsFailure* failure) {
  if (canvas.height <= 0 || canvas.width <= 0 || !canvas.HasColor() || !canvas.HasDepth())
    return ReportFailure(failure, GraphicsError::CannotDraw);
  if (image.sprites.empty()) return ReportFailure(failure, GraphicsError::CannotDraw);
  const int x0 = canvas.drawX, y0 = canvas.drawY, d0 = canvas.depthOffset;
  const bool mirrored0 = canvas.mirrored;

  struct Loaded {
    const Spr2Frame* frame;
    uint16_t paletteId;
    int x, y;
  };
  SpriteCache cache(file);
  std::vector<Loaded> loaded;
  loaded.reserve(image.sprites.size());
  for (const DgrpSprite& s : image.sprites) {
    Loaded entry{nullptr, 0, 0, 0};
    entry.frame = cache.Frame(s, failure, &entry.paletteId);
    if (!entry.frame) return false;
    const int64_t x = int64_t(x0) + s.pixelX;
    const int64_t y = int64_t(y0) + s.pixelY - entry.frame->height;
    if (!FitsInt(x) || !FitsInt(y))
      return ReportFailure(failure, GraphicsError::OutOfRange,
                           SpriteCache::Name(s) + " at " + Offsets(s));
    entry.x = static_cast<int>(x);
    entry.y = static_cast<int>(y);
    loaded.push_back(entry);
  }

  bool ok = true;
  for (size_t i = 0; i < loaded.size() && ok; ++i) {
    const DgrpSprite& s = image.sprites[i];
    canvas.drawX = loaded[i].x;
    canvas.drawY = loaded[i].y;
    canvas.depthOffset = d0;
    canvas.mirrored = (s.flags & DgrpSprite::kFlip) != 0;
    ok = DrawSpr2FrameFromFile(file, *loaded[i].frame, loaded[i].paletteId, canvas);
    if (!ok) ReportFailure(failure, GraphicsError::CannotDraw, SpriteCache::Name(s));
  }
  canvas.drawX = x0;
  canvas.drawY = y0;
  canvas.depthOffset = d0;
  canvas.mirrored = mirrored0;
  return ok;
}

bool DrawImageByIndex(const ResourceDgrp& group, IffFile& file, int index, SpriteCanvas& canvas,
                      GraphicsFailure* failure) {
  if (index < 0 || static_cast<size_t>(index) >= group.images.size())
    return ReportFailure(failure, GraphicsError::CannotDraw, "image " + std::to_string(index));
  return DrawImage(file, group.images[index], canvas, failure);
}

bool ComposeCropped(IffFile& file, const DgrpImage& image, uint32_t background, SpriteCanvas& canvas,
                    GraphicsFailure* failure) {
  canvas = SpriteCanvas();
  if (image.sprites.empty()) return ReportFailure(failure, GraphicsError::EmptyImage, "no sprites");
  GraphicsFailure reason;
  const DgrpRect box = GetBounds(file, image, &reason);
  if (reason.error != GraphicsError::None) return ReportFailure(failure, reason.error, reason.detail);
  if (box.IsEmpty()) return ReportFailure(failure, GraphicsError::EmptyImage, "no frame has pixels");
  const int64_t w = int64_t(box.right) - box.left, h = int64_t(box.bottom) - box.top;
  if (w * h > kMaxComposedPixels)
    return ReportFailure(failure, GraphicsError::ImageTooLarge, std::to_string(w) + " x " + std::to_string(h));
  // The box's corner goes to the canvas origin, so its negation must be a position too.
  if (-int64_t(box.left) > std::numeric_limits<int>::max() || -int64_t(box.top) > std::numeric_limits<int>::max())
    return ReportFailure(failure, GraphicsError::OutOfRange,
                         "left " + std::to_string(box.left) + ", top " + std::to_string(box.top));
  SpriteCanvas composed(static_cast<int>(h), static_cast<int>(w), 32);
  if (!composed.AllocateCleared(background & 0xFFFFFF, 255, true, false))
    return ReportFailure(failure, GraphicsError::CannotDraw, "out of memory");
  composed.drawX = -box.left;
  composed.drawY = -box.top;
  if (!DrawImage(file, image, composed, failure)) return false;
  canvas = std::move(composed);
  return true;
}

std::optional<DrawPosition> CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds) {
  const int64_t x = (int64_t(clientWidth) - (int64_t(bounds.left) + bounds.right)) / 2;
  const int64_t y = (int64_t(clientHeight) - (int64_t(bounds.top) + bounds.bottom)) / 2;
  if (!FitsInt(x) || !FitsInt(y)) return std::nullopt;
  return DrawPosition{static_cast<int>(x), static_cast<int>(y)};
}

DrawPosition CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight) {
  // Half of the difference of two ints always fits an int.
  return {static_cast<int>((int64_t(clientWidth) - bitmapWidth) / 2),
          static_cast<int>((int64_t(clientHeight) - bitmapHeight) / 2)};
}

}  // namespace scrivet
