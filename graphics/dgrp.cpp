#include "graphics/dgrp.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <map>
#include <memory>

#include "core/iff_file.h"
#include "graphics/rasterizer.h"
#include "graphics/spr2.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

ResourceDgrp::ResourceDgrp() {
  for (uint32_t zoom = 1; zoom <= 3; ++zoom)
    for (uint32_t direction : {1u, 4u, 16u, 64u}) images.push_back(DgrpImage{direction, zoom, {}});
}

void ResourceDgrp::CopyFrom(const IffResource& other) {
  IffResource::CopyFrom(other);
  if (auto* d = dynamic_cast<const ResourceDgrp*>(&other)) {
    version = d->version;
    images = d->images;
  }
}

bool ResourceDgrp::Decode() {
  images.clear();
  IffChunk& chunk = Chunk();
  chunk.Rewind();
  if (!chunk.ReadU16(version)) return false;
  const int16_t signedVersion = static_cast<int16_t>(version);

  if (signedVersion < 20003) {
    uint16_t imageCount = 0;
    if (!chunk.ReadU16(imageCount)) return false;
    for (uint16_t i = 0; i < imageCount; ++i) {
      uint16_t spriteCount = 0;
      uint8_t direction = 0, zoom = 0;
      if (!chunk.ReadU16(spriteCount) || !chunk.ReadU8(direction) || !chunk.ReadU8(zoom)) return false;
      DgrpImage image;
      image.directionFlags = static_cast<uint32_t>(static_cast<int8_t>(direction));
      image.zoom = static_cast<uint32_t>(static_cast<int8_t>(zoom));
      for (uint16_t k = 0; k < spriteCount; ++k) {
        uint16_t type = 0;
        int16_t id = 0, index = 0, flags = 0, x = 0, y = 0;
        if (!chunk.ReadU16(type) || !chunk.ReadI16(id) || !chunk.ReadI16(index) || !chunk.ReadI16(flags) ||
            !chunk.ReadI16(x) || !chunk.ReadI16(y))
          return false;
        uint32_t z = 0;
        if (signedVersion >= 20001 && !chunk.ReadU32(z)) return false;
        if (type != 0xFFFD) continue;
        DgrpSprite sprite;
        sprite.spriteId = static_cast<uint32_t>(int32_t(id));
        sprite.spriteIndex = static_cast<uint32_t>(int32_t(index));
        sprite.flags = static_cast<uint32_t>(int32_t(flags));
        sprite.pixelX = x;
        sprite.pixelY = y;
        sprite.zOffset = std::bit_cast<float>(z);
        image.sprites.push_back(sprite);
      }
      images.push_back(std::move(image));
    }
    return true;
  }

  uint32_t imageCount = 0;
  if (!chunk.ReadU32(imageCount)) return false;
  for (uint32_t i = 0; i < imageCount; ++i) {
    DgrpImage image;
    uint32_t spriteCount = 0;
    if (!chunk.ReadU32(image.directionFlags) || !chunk.ReadU32(image.zoom) || !chunk.ReadU32(spriteCount)) return false;
    for (uint32_t k = 0; k < spriteCount; ++k) {
      DgrpSprite sprite;
      uint32_t z = 0, x = 0, y = 0;
      if (!chunk.ReadU32(sprite.spriteId) || !chunk.ReadU32(sprite.spriteIndex) || !chunk.ReadI32(sprite.pixelX) ||
          !chunk.ReadI32(sprite.pixelY) || !chunk.ReadU32(z) || !chunk.ReadU32(sprite.flags))
        return false;
      if (signedVersion >= 20004 && (!chunk.ReadU32(x) || !chunk.ReadU32(y))) return false;
      sprite.zOffset = std::bit_cast<float>(z);
      sprite.xOffset = std::bit_cast<float>(x);
      sprite.yOffset = std::bit_cast<float>(y);
      image.sprites.push_back(sprite);
    }
    images.push_back(std::move(image));
  }
  return true;
}

bool ResourceDgrp::Encode() {
  IffChunk& chunk = Chunk();
  version = kCurrentVersion;
  if (images.size() > std::numeric_limits<uint32_t>::max()) return false;
  if (!chunk.SetSize(0) || !chunk.WriteU16(version) || !chunk.WriteU32(static_cast<uint32_t>(images.size())))
    return false;
  for (const DgrpImage& image : images) {
    if (!chunk.WriteU32(image.directionFlags) || !chunk.WriteU32(image.zoom) ||
        !chunk.WriteU32(static_cast<uint32_t>(image.sprites.size())))
      return false;
    for (const DgrpSprite& s : image.sprites) {
      if (!chunk.WriteU32(s.spriteId) || !chunk.WriteU32(s.spriteIndex) || !chunk.WriteI32(s.pixelX) ||
          !chunk.WriteI32(s.pixelY) || !chunk.WriteU32(std::bit_cast<uint32_t>(s.zOffset)) ||
          !chunk.WriteU32(s.flags) || !chunk.WriteU32(std::bit_cast<uint32_t>(s.xOffset)) ||
          !chunk.WriteU32(std::bit_cast<uint32_t>(s.yOffset)))
        return false;
    }
  }
  return true;
}

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

DgrpRect ResourceDgrp::GetBounds(IffFile& file, const DgrpImage& image) {
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

bool ResourceDgrp::DrawImage(IffFile& file, const DgrpImage& image, SpriteCanvas& canvas) {
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

bool ResourceDgrp::DrawImageByIndex(IffFile& file, int index, SpriteCanvas& canvas) const {
  if (index < 0 || static_cast<size_t>(index) >= images.size()) return false;
  return DrawImage(file, images[index], canvas);
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
