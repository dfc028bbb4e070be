#pragma once
// The typed, editable view of one chunk. A resource always owns its chunk (identity and a buffer of
// its own) and refers to a container's chunk only by identity: Load decodes from the container's
// chunk during the call, Save and SaveAs encode into a scratch chunk and store it under the
// identity. No container operation can therefore leave a resource pointing at a freed chunk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/iff_chunk.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile;
class Stream;

class IffResource {
 public:
  IffResource() = default;
  virtual ~IffResource() = default;

  // Copies identity and raw data; resource classes (ResourceOf) copy their model too.
  virtual void CopyFrom(const IffResource& other) { IffResource::operator=(other); }
  virtual TypeCode GetType() const { return 0; }
  // Decode reads Chunk() from cursor 0 into the model; decoders copy what they keep, because
  // after Load the chunk they read belongs to the container. Encode rewrites Chunk() from the model.
  virtual bool Decode() { return true; }
  virtual bool Encode() { return true; }

  // Takes the chunk's identity (type, id, flags, name), loads its data and decodes it. The
  // resource's own chunk then holds the identity only; the model holds the data.
  bool Load(IffFile& file, IffChunk& chunk);
  // Writes the model under the resource's own identity into the container: a chunk with that
  // identity is rewritten where it stands, else a new one is appended. A failed encode changes nothing.
  bool Save(IffFile& file);
  // The same under the given identity; the stored chunk keeps the flags the encoder leaves.
  bool SaveAs(IffFile& file, TypeCode type, uint16_t id, const std::string& name, uint16_t flags);
  // Encodes into a scratch chunk and writes the data bytes to the stream's position.
  bool Export(Stream& stream);
  // Encodes into a scratch chunk and hands back the bytes.
  bool EncodeToBytes(std::vector<uint8_t>& bytes);

  // The resource's own chunk; while Decode or Encode runs, the chunk being read or written.
  IffChunk& Chunk() { return active_ ? *active_ : chunk_; }
  const IffChunk& Chunk() const { return active_ ? *active_ : chunk_; }

 protected:
  // Copies identity and raw data (the own chunk, deeply); the model is the derived classes' part.
  IffResource(const IffResource& other) : chunk_(other.chunk_) {}
  IffResource& operator=(const IffResource& other) {
    if (this != &other) chunk_ = other.chunk_;
    return *this;
  }

 private:
  // Runs Decode or Encode with `chunk` standing in for the own chunk.
  bool DecodeFrom(IffChunk& chunk);
  bool EncodeInto(IffChunk& chunk);

  IffChunk chunk_;
  IffChunk* active_ = nullptr;  // set only for the length of one Decode or Encode
};

// The base of every resource class: CopyFrom assigns the whole object when the other resource is
// of the same class and copies only identity and raw data otherwise.
template <class Derived>
class ResourceOf : public IffResource {
 public:
  void CopyFrom(const IffResource& other) override {
    if (&other == this) return;
    if (auto* same = dynamic_cast<const Derived*>(&other))
      static_cast<Derived&>(*this) = *same;
    else
      IffResource::operator=(other);
  }
};

// Raw bytes: the class for every type without a codec, and the hex editor's model.
class ResourceData : public ResourceOf<ResourceData> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("DATA");

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  std::vector<uint8_t> bytes;
};

}  // namespace scrivet
