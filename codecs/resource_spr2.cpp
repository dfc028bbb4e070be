#include "codecs/resource_spr2.h"

#include <limits>


namespace scrivet {

namespace {
constexpr size_t kFrameHeaderSize = 16;
}

bool ResourceSpr2::Decode() {
  frames.clear();
  IffChunk& chunk = Chunk();
  chunk.Rewind();
  const size_t size = chunk.Size();
  uint32_t v = 0, count = 0, palette = 0;
  if (!chunk.ReadU32(v) || v != 1000) return false;
  if (!chunk.ReadU32(count) || !chunk.ReadU32(palette)) return false;
  version = v;
  frameCount = count;
  paletteId = palette;

  if (count > chunk.Remaining() / 4) return false;
  std::vector<uint32_t> offsets(count);
  for (uint32_t& offset : offsets)
    if (!chunk.ReadU32(offset) || offset >= size) return false;

  for (size_t i = 0; i < offsets.size(); ++i) {
    if (!chunk.SetCursor(offsets[i])) return false;
    Spr2Frame frame;
    if (!chunk.ReadU16(frame.width) || !chunk.ReadU16(frame.height) || !chunk.ReadU32(frame.flags) ||
        !chunk.ReadU16(frame.palette) || !chunk.ReadU16(frame.transparentColor) || !chunk.ReadU16(frame.originY) ||
        !chunk.ReadU16(frame.originX))
      return false;
    const size_t end = i + 1 < offsets.size() ? offsets[i + 1] : size;
    if (end < chunk.Cursor()) return false;
    const uint8_t* start = chunk.Data() + chunk.Cursor();
    frame.pixelStream.assign(start, start + (end - chunk.Cursor()));
    frames.push_back(std::move(frame));
  }
  return true;
}

bool ResourceSpr2::Encode() {
  IffChunk& chunk = Chunk();
  if (frames.size() > (std::numeric_limits<uint32_t>::max() - 76) / 4) return false;
  version = 1000;
  frameCount = static_cast<uint32_t>(frames.size());
  if (!chunk.SetSize(0) || !chunk.WriteU32(version) || !chunk.WriteU32(frameCount) || !chunk.WriteU32(paletteId))
    return false;
  const uint64_t tableEnd = 12 + 4ull * frameCount;
  const uint64_t first = (tableEnd + 63) / 64 * 64;
  uint64_t offset = first;
  for (const Spr2Frame& frame : frames) {
    if (offset > std::numeric_limits<uint32_t>::max()) return false;
    if (!chunk.WriteU32(static_cast<uint32_t>(offset))) return false;
    offset += kFrameHeaderSize + frame.pixelStream.size();
  }
  for (uint64_t i = tableEnd; i < first; ++i)
    if (!chunk.WriteU8(0xA3)) return false;
  for (const Spr2Frame& frame : frames) {
    if (!chunk.WriteU16(frame.width) || !chunk.WriteU16(frame.height) || !chunk.WriteU32(frame.flags) ||
        !chunk.WriteU16(frame.palette) || !chunk.WriteU16(frame.transparentColor) || !chunk.WriteU16(frame.originY) ||
        !chunk.WriteU16(frame.originX))
      return false;
    if (!frame.pixelStream.empty() && !chunk.Write(frame.pixelStream.data(), frame.pixelStream.size())) return false;
  }
  return true;
}

bool ResourceSpr2::GetFrame(int index, Spr2Frame& out) const {
  if (index < 0 || static_cast<size_t>(index) >= frames.size()) return false;
  out = frames[index];
  return true;
}

bool ResourceSpr2::SetFrame(int index, const Spr2Frame& record) {
  if (index < 0 || static_cast<size_t>(index) >= frames.size()) return false;
  Spr2Frame& f = frames[index];
  f.flags = record.flags;
  f.palette = record.palette;
  f.transparentColor = record.transparentColor;
  f.originY = record.originY;
  f.originX = record.originX;
  return true;
}

}  // namespace scrivet
