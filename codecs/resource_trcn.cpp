#include "codecs/resource_trcn.h"

namespace scrivet {

namespace {

// Used flag, id, two empty texts (a terminator each, or a length byte each) and the range.
constexpr size_t kMinEntrySize = 4 + 4 + 2 + 5;

bool ReadText(IffChunk& chunk, uint32_t version, std::string& text) {
  if (version >= 2) {
    uint8_t length;
    return chunk.ReadU8(length) && chunk.ReadFixedString(length, text);
  }
  // The pad byte's value varies between tools; it is skipped whatever it holds.
  return chunk.ReadZString(text) && (chunk.Cursor() % 2 == 0 || chunk.Skip(1));
}

}  // namespace

bool ResourceTrcn::Decode() {
  IffChunk& chunk = Chunk();
  uint32_t ignored, readVersion, magic, count;
  if (!chunk.ReadU32(ignored) || !chunk.ReadU32(readVersion) || !chunk.ReadU32(magic) || !chunk.ReadU32(count))
    return false;
  if (readVersion < 1 || readVersion > 2 || (magic != kMagic && magic != 0)) return false;
  if (uint64_t(count) * kMinEntrySize > chunk.Remaining()) return false;
  std::vector<ConstantLabel> read(count);
  for (ConstantLabel& entry : read) {
    uint16_t low, high;
    if (!chunk.ReadU32(entry.used) || !chunk.ReadU32(entry.id) || !ReadText(chunk, readVersion, entry.label) ||
        !ReadText(chunk, readVersion, entry.comment) || !chunk.ReadU8(entry.rangeEnabled) || !chunk.ReadU16(low) ||
        !chunk.ReadU16(high))
      return false;
    entry.low = static_cast<int16_t>(low);
    entry.high = static_cast<int16_t>(high);
  }
  version = readVersion;
  entries = std::move(read);
  bytes.assign(chunk.Data(), chunk.Data() + chunk.Size());
  return true;
}

bool ResourceTrcn::Encode() {
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  const bool ok = bytes.empty() ? chunk.WriteU32(0) && chunk.WriteU32(1) && chunk.WriteU32(kMagic) && chunk.WriteU32(0)
                                : chunk.Write(bytes.data(), bytes.size());
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
