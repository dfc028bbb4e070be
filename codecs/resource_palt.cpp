#include "codecs/resource_palt.h"

#include <algorithm>
#include <cstring>

#include "core/iff_file.h"

namespace scrivet {

ResourcePalt::ResourcePalt() = default;

bool ResourcePalt::Decode() {
  IffChunk& chunk = Chunk();
  chunk.Rewind();
  uint32_t v = 0, count = 0, r1 = 0, r2 = 0;
  if (!chunk.ReadU32(v) || v != 1) return false;
  if (!chunk.ReadU32(count) || !chunk.ReadU32(r1) || !chunk.ReadU32(r2)) return false;
  size_t n = std::min<uint32_t>(count, 256);
  // Read into a scratch table so a short palette leaves the model as it was.
  std::array<uint8_t, 256 * 3> table = colors;
  if (!chunk.Read(table.data(), n * 3)) return false;
  version = v;
  colorCount = static_cast<uint32_t>(n);
  reserved1 = r1;
  reserved2 = r2;
  colors = table;
  return true;
}

bool ResourcePalt::Encode() {
  IffChunk& chunk = Chunk();
  colorCount = 256;
  return chunk.SetSize(0) && chunk.WriteU32(version) && chunk.WriteU32(colorCount) && chunk.WriteU32(reserved1) &&
         chunk.WriteU32(reserved2) && chunk.Write(colors.data(), colors.size());
}

void ResourcePalt::SetFromQuads(const uint8_t* entries, size_t n) {
  version = 1;
  colorCount = static_cast<uint32_t>(std::min<size_t>(n, 256));
  colors.fill(0);
  for (size_t i = 0; i < colorCount; ++i) {
    colors[i * 3] = entries[i * 4 + 2];
    colors[i * 3 + 1] = entries[i * 4 + 1];
    colors[i * 3 + 2] = entries[i * 4];
  }
}

bool ResourcePalt::Equals(const ResourcePalt& other) const {
  return version == other.version && colorCount == other.colorCount && colors == other.colors;
}

int ResourcePalt::FindMatchingPalette(IffFile* file) const {
  if (!file) return -1;
  for (size_t pos = file->FirstOfType(kType); pos != IffFile::npos; pos = file->NextOfSameType(pos)) {
    IffChunk& chunk = file->ChunkAt(pos);
    ResourcePalt candidate;
    if (candidate.Load(*file, chunk) && Equals(candidate)) return chunk.id;
  }
  return -1;
}

bool LoadPalette(IffFile& file, uint16_t id, ResourcePalt& palette) {
  IffChunk* chunk = file.Find(ResourcePalt::kType, id);
  return chunk && palette.Load(file, *chunk);
}

}  // namespace scrivet
