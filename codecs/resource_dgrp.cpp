#include "codecs/resource_dgrp.h"

#include <algorithm>
#include <bit>
#include <limits>


namespace scrivet {

ResourceDgrp::ResourceDgrp() {
  images.reserve(12);
  for (uint32_t zoom = 1; zoom <= 3; ++zoom)
    for (uint32_t direction : {1u, 4u, 16u, 64u}) images.push_back(DgrpImage{direction, zoom, {}});
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
    // Counts are weighed against the bytes left before anything is reserved for them.
    images.reserve(std::min<size_t>(imageCount, chunk.Remaining() / 4));
    const size_t spriteBytes = signedVersion >= 20001 ? 16 : 12;
    for (uint16_t i = 0; i < imageCount; ++i) {
      uint16_t spriteCount = 0;
      uint8_t direction = 0, zoom = 0;
      if (!chunk.ReadU16(spriteCount) || !chunk.ReadU8(direction) || !chunk.ReadU8(zoom)) return false;
      DgrpImage image;
      image.directionFlags = static_cast<uint32_t>(static_cast<int8_t>(direction));
      image.zoom = static_cast<uint32_t>(static_cast<int8_t>(zoom));
      image.sprites.reserve(std::min<size_t>(spriteCount, chunk.Remaining() / spriteBytes));
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
  images.reserve(std::min<size_t>(imageCount, chunk.Remaining() / 12));
  const size_t spriteBytes = signedVersion >= 20004 ? 32 : 24;
  for (uint32_t i = 0; i < imageCount; ++i) {
    DgrpImage image;
    uint32_t spriteCount = 0;
    if (!chunk.ReadU32(image.directionFlags) || !chunk.ReadU32(image.zoom) || !chunk.ReadU32(spriteCount)) return false;
    image.sprites.reserve(std::min<size_t>(spriteCount, chunk.Remaining() / spriteBytes));
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

}  // namespace scrivet
