#include "core/iff_resource.h"

#include <utility>

#include "core/iff_file.h"
#include "core/stream.h"

namespace scrivet {

namespace {

IffChunk EmptyChunk(TypeCode type, uint16_t id, uint16_t flags, const std::string& name) {
  IffChunk chunk;
  chunk.type = type;
  chunk.id = id;
  chunk.flags = flags;
  chunk.name = name;
  return chunk;
}

}  // namespace

bool IffResource::DecodeFrom(IffChunk& chunk) {
  active_ = &chunk;
  const bool ok = Decode();
  active_ = nullptr;
  return ok;
}

bool IffResource::EncodeInto(IffChunk& chunk) {
  active_ = &chunk;
  const bool ok = Encode();
  active_ = nullptr;
  return ok;
}

bool IffResource::Load(IffFile& file, IffChunk& chunk) {
  chunk_.type = chunk.type;
  chunk_.id = chunk.id;
  chunk_.flags = chunk.flags;
  chunk_.name = chunk.name;
  chunk_.dataOffset = 0;
  chunk_.SetSize(0);
  if (!file.LoadChunkData(chunk)) return false;
  // The data is read in place rather than copied: decoding every chunk of a file stays one pass.
  chunk.Rewind();
  return DecodeFrom(chunk);
}

bool IffResource::Save(IffFile& file) { return SaveAs(file, chunk_.type, chunk_.id, chunk_.name, chunk_.flags); }

bool IffResource::SaveAs(IffFile& file, TypeCode type, uint16_t id, const std::string& name, uint16_t flags) {
  IffChunk scratch = EmptyChunk(type, id, flags, name);
  if (!EncodeInto(scratch)) return false;
  // Encoders must not change the identity; the flags they leave are kept.
  scratch.type = type;
  scratch.id = id;
  scratch.name = name;
  file.StoreChunk(std::move(scratch));
  return true;
}

bool IffResource::EncodeToBytes(std::vector<uint8_t>& bytes) {
  IffChunk scratch = EmptyChunk(chunk_.type, chunk_.id, chunk_.flags, chunk_.name);
  if (!EncodeInto(scratch)) return false;
  bytes.assign(scratch.Data(), scratch.Data() + scratch.Size());
  return true;
}

bool IffResource::Export(Stream& stream) {
  std::vector<uint8_t> bytes;
  if (!EncodeToBytes(bytes)) return false;
  return bytes.empty() || stream.Write(bytes.data(), bytes.size());
}

bool ResourceData::Decode() {
  const IffChunk& chunk = Chunk();
  bytes.assign(chunk.Data(), chunk.Data() + chunk.Size());
  return true;
}

bool ResourceData::Encode() {
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  return bytes.empty() || chunk.Write(bytes.data(), bytes.size());
}

}  // namespace scrivet
