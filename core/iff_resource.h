#pragma once
// The typed, editable view of one chunk. A resource either owns its chunk or shares one that
// belongs to a container; Decode reads the chunk's bytes into the model, Encode writes them back.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/iff_chunk.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile;
class Stream;

class IffResource {
 public:
  IffResource();
  virtual ~IffResource();
  IffResource(const IffResource&) = delete;
  IffResource& operator=(const IffResource&) = delete;

  // Copies identity and raw data; a shared chunk stays shared, an owned one is copied deeply.
  // Classes with a model override this, call the base, then copy their model.
  virtual void CopyFrom(const IffResource& other);
  virtual TypeCode GetType() const { return 0; }
  // Reserved slot: nothing calls it.
  virtual int Reserved(int, int) { return 0; }
  virtual bool Decode() { return true; }
  virtual bool Encode() { return true; }

  // Shares the container's chunk, loads its data and decodes it.
  bool Load(IffFile& file, IffChunk& chunk);
  // Writes the model under the resource's own identity into the container.
  bool Save(IffFile& file);
  bool SaveAs(IffFile& file, TypeCode type, uint16_t id, const std::string& name, uint16_t flags);
  // Encodes into a scratch chunk and writes the data bytes to the stream's position.
  bool Export(Stream& stream);
  // Encodes into a scratch chunk and hands back the bytes.
  bool EncodeToBytes(std::vector<uint8_t>& bytes);

  IffChunk& Chunk() { return *chunk_; }
  const IffChunk& Chunk() const { return *chunk_; }
  bool OwnsChunk() const { return owned_ != nullptr; }

 protected:
  // Runs Encode with `scratch` switched in for the resource's chunk.
  bool EncodeInto(IffChunk& scratch);

 private:
  std::unique_ptr<IffChunk> owned_;
  IffChunk* chunk_ = nullptr;
};

// Raw bytes: the class for every type without a codec, and the hex editor's model.
class ResourceData : public IffResource {
 public:
  static constexpr TypeCode kType = MakeTypeCode("DATA");

  void CopyFrom(const IffResource& other) override;
  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  std::vector<uint8_t> bytes;
};

}  // namespace scrivet
