#include "core/iff_resource.h"

#include "core/iff_file.h"
#include "core/stream.h"

namespace scrivet {

IffResource::IffResource() : owned_(std::make_unique<IffChunk>()), chunk_(owned_.get()) {}

IffResource::~IffResource() = default;

void IffResource::CopyFrom(const IffResource& other) {
  if (&other == this) return;
  if (other.owned_) {
    owned_ = std::make_unique<IffChunk>(*other.owned_);
    chunk_ = owned_.get();
  } else {
    owned_.reset();
    chunk_ = other.chunk_;
  }
}

bool IffResource::Load(IffFile& file, IffChunk& chunk) {
  owned_.reset();
  chunk_ = &chunk;
  if (!file.LoadChunkData(chunk)) return false;
  chunk.Rewind();
  return Decode();
}

bool IffResource::EncodeInto(IffChunk& scratch) {
  IffChunk* saved = chunk_;
  chunk_ = &scratch;
  bool ok = Encode();
  chunk_ = saved;
  return ok;
}

bool IffResource::Save(IffFile& file) {
  return SaveAs(file, chunk_->type, chunk_->id, chunk_->name, chunk_->flags);
}

bool IffResource::SaveAs(IffFile& file, TypeCode type, uint16_t id, const std::string& name, uint16_t flags) {
  if (IffChunk* existing = file.Find(type, id)) {
    existing->name = name;
    existing->flags = flags;
    if (existing == chunk_) return Encode();
    // The chunk keeps its place in the list; the encoder writes straight into it.
    existing->SetSize(0);
    return EncodeInto(*existing);
  }
  IffChunk scratch;
  scratch.type = type;
  scratch.id = id;
  scratch.flags = flags;
  scratch.name = name;
  if (!EncodeInto(scratch)) return false;
  IffChunk* added = file.AddChunk(type, id, name, scratch.Data(), scratch.Size());
  if (!added) return false;
  added->flags = scratch.flags;
  return true;
}

bool IffResource::EncodeToBytes(std::vector<uint8_t>& bytes) {
  IffChunk scratch;
  scratch.type = chunk_->type;
  scratch.id = chunk_->id;
  scratch.flags = chunk_->flags;
  scratch.name = chunk_->name;
  if (!EncodeInto(scratch)) return false;
  bytes.assign(scratch.Data(), scratch.Data() + scratch.Size());
  return true;
}

bool IffResource::Export(Stream& stream) {
  std::vector<uint8_t> bytes;
  if (!EncodeToBytes(bytes)) return false;
  return bytes.empty() || stream.Write(bytes.data(), bytes.size());
}

void ResourceData::CopyFrom(const IffResource& other) {
  IffResource::CopyFrom(other);
  if (auto* data = dynamic_cast<const ResourceData*>(&other)) bytes = data->bytes;
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
