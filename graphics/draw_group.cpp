#include "graphics/draw_group.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

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

  const Spr2Frame* Frame(const DgrpSprite& s, uint16_t* paletteId = nullptr) {
    const ResourceSpr2* sprite = Get(s.spriteId);
    if (!sprite || s.spriteIndex >= sprite->frames.size()) return nullptr;
    if (paletteId) *paletteId = sprite->GetPaletteId();
    return &sprite->frames[s.spriteIndex];
  }

 private:
  IffFile& file_;
  std::map<uint32_t, std::unique_ptr<ResourceSpr2>> sprites_;
};

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

DgrpRect GetBounds(IffFile& file, const DgrpImage& image) {
  DgrpRect box;
  SpriteCache cache(file);
  for (const DgrpSprite& s : image.sprites) {
    const Spr2Frame* frame = cache.Frame(s);
    if (!frame) return DgrpRect{};
    if (frame->width == 0 || frame->height == 0) continue;
    box.left = std::min(box.left, s.pixelX);
    box.right = std::max(box.right, ClampToInt(int64_t(s.pixelX) + frame->width));
    box.top = std::min(box.top, ClampToInt(int64_t(s.pixelY) - frame->height));
    box.bottom = std::max(box.bottom, s.pixelY);
  }
  return box;
}

bool DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas) {
  if (canvas.height <= 0 || canvas.width <= 0 || !canvas.HasColor() || !canvas.HasDepth()) return false;
  if (image.sprites.empty()) return false;
  const int x0 = canvas.drawX, y0 = canvas.drawY, d0 = canvas.depthOffset;
  const bool mirrored0 = canvas.mirrored;

  struct Loaded {
    const Spr2Frame* frame;
    uint16_t paletteId;
  };
  SpriteCache cache(file);
  std::vector<Loaded> loaded;
  loaded.reserve(image.sprites.size());
  for (const DgrpSprite& s : image.sprites) {
    Loaded entry{nullptr, 0};
    entry.frame = cache.Frame(s, &entry.paletteId);
    if (!entry.frame) return false;
    loaded.push_back(entry);
  }

  bool ok = true;
  for (size_t i = 0; i < loaded.size() && ok; ++i) {
    const DgrpSprite& s = image.sprites[i];
    canvas.drawX = ClampToInt(int64_t(x0) + s.pixelX);
    canvas.drawY = ClampToInt(int64_t(y0) + s.pixelY - loaded[i].frame->height);
    canvas.depthOffset = d0;
    canvas.mirrored = (s.flags & DgrpSprite::kFlip) != 0;
    ok = DrawSpr2FrameFromFile(file, *loaded[i].frame, loaded[i].paletteId, canvas);
  }
  canvas.drawX = x0;
  canvas.drawY = y0;
  canvas.depthOffset = d0;
  canvas.mirrored = mirrored0;
  return ok;
}

bool DrawImageByIndex(const ResourceDgrp& group, IffFile& file, int index, SpriteCanvas& canvas) {
  if (index < 0 || static_cast<size_t>(index) >= group.images.size()) return false;
  return DrawImage(file, group.images[index], canvas);
}

void CenterOnBounds(int clientWidth, int clientHeight, const DgrpRect& bounds, int& drawX, int& drawY) {
  drawX = ClampToInt((int64_t(clientWidth) - (int64_t(bounds.left) + bounds.right)) / 2);
  drawY = ClampToInt((int64_t(clientHeight) - (int64_t(bounds.top) + bounds.bottom)) / 2);
}

void CenterBitmap(int clientWidth, int clientHeight, int bitmapWidth, int bitmapHeight, int& drawX, int& drawY) {
  drawX = ClampToInt((int64_t(clientWidth) - bitmapWidth) / 2);
  drawY = ClampToInt((int64_t(clientHeight) - bitmapHeight) / 2);
}

}  // namespace scrivet
