#include "codecs/resource_objf.h"

namespace scrivet {

const std::array<const char*, ResourceObjf::kEntryCount> ResourceObjf::kEntryNames = {
    "init", "main", "load", "cleanup", "queue skipped", "allow intersection", "wall adjacency changed",
    "room changed", "dynamic multi-tile update", "placement", "pickup", "user placement", "user pickup",
    "level info request", "serving surface", "portal", "gardening", "wash hands", "prep", "cook",
    "surface", "dispose", "food", "pickup from slot", "wash dish", "eating surface", "sit", "stand",
    "clean", "repair", "ui event",
};

bool ResourceObjf::Decode() {
  IffChunk& chunk = Chunk();
  if (chunk.Size() < 16) return false;
  uint32_t zero1, zero2, magic, count;
  if (!chunk.ReadU32(zero1) || !chunk.ReadU32(zero2) || !chunk.ReadU32(magic) || !chunk.ReadU32(count))
    return false;
  if (zero1 != 0 || zero2 != 0 || magic != kMagic) return false;
  // A negative count is corrupt data, not a request to read nothing.
  if (static_cast<int32_t>(count) < 0) return false;
  const size_t n = count > kEntryCount ? kEntryCount : count;
  if (n * 4 > chunk.Remaining()) return false;
  for (size_t i = 0; i < n; ++i) {
    chunk.ReadU16(entries[i].checkFunction);
    chunk.ReadU16(entries[i].actionFunction);
  }
  return true;
}

bool ResourceObjf::Encode() {
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  bool ok = chunk.WriteU32(0) && chunk.WriteU32(0) && chunk.WriteU32(kMagic) && chunk.WriteU32(kEntryCount);
  for (const FunctionEntry& e : entries) ok = ok && chunk.WriteU16(e.checkFunction) && chunk.WriteU16(e.actionFunction);
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
