#include "codecs/resource_bcon.h"

#include "core/byte_order.h"

namespace scrivet {

bool ResourceBcon::Decode() {
  IffChunk& chunk = Chunk();
  const bool bigEndian = !chunk.IsLittleEndian();
  uint16_t header;
  if (!chunk.ReadU16(header)) return false;
  if (bigEndian) header = SwapU16(header);
  const size_t count = header & 0x7FFF;
  if (2 * count > chunk.Remaining()) return false;
  editable = (header & 0x8000) != 0;
  values.resize(count);
  for (int16_t& value : values) {
    uint16_t word = 0;
    chunk.ReadU16(word);
    value = static_cast<int16_t>(bigEndian ? SwapU16(word) : word);
  }
  return true;
}

bool ResourceBcon::Encode() {
  if (values.size() > kMaxValues) return false;
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  bool ok = chunk.WriteU16(static_cast<uint16_t>((editable ? 0x8000 : 0) | values.size()));
  for (int16_t value : values) ok = ok && chunk.WriteI16(value);
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

bool ResourceBcon::GetValue(size_t index, int16_t& value) const {
  if (index >= values.size()) return false;
  value = values[index];
  return true;
}

bool ResourceBcon::SetValue(size_t index, int16_t value) {
  if (index >= kMaxValues) return false;
  if (index >= values.size()) values.resize(index + 1, 0);
  values[index] = value;
  return true;
}

bool ResourceBcon::RemoveValue(size_t index) {
  if (index >= values.size()) return false;
  values.erase(values.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

}  // namespace scrivet
