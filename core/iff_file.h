#pragma once
// An IFF container: a 64-byte header, then chunks (76-byte header + data), and in version 2.5 a
// resource map (`rsmp`). The directory is read first; chunk data loads on demand from the
// container's own handle on the file. Writing always produces version 2.5 with a fresh map.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/chunk_index.h"
#include "core/core_error.h"
#include "core/iff_chunk.h"
#include "core/stream.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile {
 public:
  static constexpr size_t kHeaderSize = 64;
  static constexpr size_t kChunkHeaderSize = 76;
  static constexpr uint32_t kMaxChunkSize = 0x40000000;
  static constexpr TypeCode kMapType = MakeTypeCode("rsmp");
  static constexpr size_t npos = SIZE_MAX;

  // The 64 bytes every written file starts with (bytes 60-63 are then replaced by the map offset).
  static const std::array<uint8_t, kHeaderSize>& HeaderTemplate();

  // A new container on an empty memory stream; callers normally pass readOnly = true.
  static std::unique_ptr<IffFile> CreateEmpty(bool readOnly = true);
  // A container reading through its own duplicate of the stream; reads nothing yet.
  static std::unique_ptr<IffFile> AttachStream(const Stream& stream, std::string fileName, bool readOnly);
  // A container on a memory copy of all the bytes of the given memory stream.
  static std::unique_ptr<IffFile> AttachMemoryCopy(const MemoryStream& memory);
  // A read-only container on bytes the caller already holds: nothing is copied, neither to read
  // the directory nor to load data (loaded chunks read the bytes in place until written to). The
  // container and its chunks share ownership of the bytes, which must not change while shared.
  // Null when `bytes` is. Reads nothing yet; saving needs a target (Write(&stream), SaveToPath).
  static std::unique_ptr<IffFile> AttachShared(std::shared_ptr<const std::vector<uint8_t>> bytes);
  // Opens a disk file (read-only handle) and reads its directory. Null only when the file cannot
  // be opened (System, with the reason); a file that is not a readable container comes back as an
  // empty container with NotIff or BadVersion in *failure.
  static std::unique_ptr<IffFile> OpenPath(const std::filesystem::path& path, CoreFailure* failure = nullptr);

  ~IffFile();
  IffFile(const IffFile&) = delete;
  IffFile& operator=(const IffFile&) = delete;

  // Reads the header, the resource map (2.5) and scans the chunks. Fails with NotIff, BadVersion
  // or, for a closed container, InvalidHandle. Only chunks whose data lies inside the file are listed.
  bool ReadDirectory(CoreFailure* failure = nullptr);

  bool LoadChunkData(IffChunk& chunk);
  bool LoadAll();
  // Closes the disk stream and continues on an empty memory stream (data must be loaded first).
  void DetachStream(bool readOnly);
  // Writes the whole container to the target (or its own stream when null).
  bool Write(Stream* target = nullptr);
  // Loads everything and writes to `path` through a temporary file that replaces it only on
  // success; the container is then detached from any disk file and named after `path`.
  // Fails with SourceChanged or DataUnreadable when not all data can be loaded, else as the safe save.
  bool SaveToPath(const std::filesystem::path& path, CoreFailure* failure = nullptr);
  // Releases the stream and every chunk.
  void Close();

  const std::string& Name() const { return name_; }
  bool IsReadOnly() const { return readOnly_; }
  bool IsInMemory() const { return inMemory_; }
  bool HasStream() const { return stream_ != nullptr; }
  const std::array<uint8_t, kHeaderSize>& Header() const { return header_; }
  uint64_t StreamLength() const { return streamLength_; }
  // True when another program rewrote the file since its directory was read: chunk data that is
  // not loaded yet can no longer be read from it.
  bool SourceChanged() const { return stream_ && !stream_->IsMemory() && !StreamUnchanged(); }

  // Chunks in list order.
  size_t ChunkCount() const { return chunks_.size(); }
  IffChunk& ChunkAt(size_t position) { return *chunks_[position]; }
  const IffChunk& ChunkAt(size_t position) const { return *chunks_[position]; }
  size_t PositionOf(const IffChunk* chunk) const;

  IffChunk* Find(TypeCode type, uint16_t id);
  const IffChunk* Find(TypeCode type, uint16_t id) const;
  size_t FirstOfType(TypeCode type) const;
  size_t NextOfSameType(size_t position) const;
  IffChunk* LowestIdOfType(TypeCode type);
  IffChunk* NextHigherId(const IffChunk& chunk);
  size_t CountOfType(TypeCode type, bool loadedOnly = false) const;

  // Adds a loaded chunk (flags 0x0010) at the end, replacing any chunk with the same type and id.
  IffChunk* AddChunk(TypeCode type, uint16_t id, std::string_view name, const void* data, size_t n);
  // The same with all bytes of the source stream from its start.
  IffChunk* AddChunk(TypeCode type, uint16_t id, std::string_view name, Stream& source);
  // Puts the chunk under its own identity: a chunk listed with that type and id is replaced where
  // it stands, otherwise the chunk is appended.
  IffChunk& StoreChunk(IffChunk&& chunk);
  bool RemoveChunk(TypeCode type, uint16_t id);
  // Removes the chunks at these list positions (ascending, each once) in one pass.
  void RemoveChunksAt(const std::vector<size_t>& positions);
  // Inserts chunks so that each stands at its given position in the resulting list (positions
  // ascending; past the end means at the end). Lookups find the inserted chunks.
  void InsertChunksAt(std::vector<std::pair<size_t, IffChunk>>&& chunks);
  // Rewrites type, id and name in place; flags and data stay. No check that the new identity is free.
  bool ChangeIdentity(TypeCode type, uint16_t id, TypeCode newType, uint16_t newId, std::string_view newName);
  // Loads the chunk and writes its data bytes at the stream's position.
  bool WriteChunkData(TypeCode type, uint16_t id, Stream& target);

  // Distinct types in order of first occurrence in the chunk list.
  const std::vector<TypeCode>& TypeList() const;

  // Every chunk but the resource map: types in TypeList order, each type's chunks by ascending id.
  std::vector<IffChunk*> ResourcesByTypeAndId();

 private:
  IffFile() = default;
  static uint64_t Key(TypeCode type, uint16_t id) { return ChunkIndex::Key(type, id); }
  // An unloaded chunk from its 76 header bytes; null when its size is unusable or its data does
  // not lie inside the stream.
  std::unique_ptr<IffChunk> ChunkFromHeader(const uint8_t* header, uint64_t dataOffset) const;
  // The 76 header bytes at `position` (in place for shared bytes, else read into `buffer`); null
  // when they do not lie inside the stream.
  const uint8_t* HeaderAt(uint64_t position, uint8_t* buffer);
  void EraseAt(size_t position);
  void TypesChanged() { typeListDirty_ = true; }
  void RememberStreamState();
  // False when another program changed the file since the directory was read.
  bool StreamUnchanged() const;
  bool ReadChunkData(IffChunk& chunk);

  std::string name_;
  std::unique_ptr<Stream> stream_;
  // Set while the stream reads bytes shared with the caller (AttachShared).
  std::shared_ptr<const std::vector<uint8_t>> shared_;
  bool inMemory_ = false;
  bool readOnly_ = true;
  std::array<uint8_t, kHeaderSize> header_{};
  uint64_t streamLength_ = 0;
  int64_t streamTime_ = 0;
  std::vector<std::unique_ptr<IffChunk>> chunks_;
  ChunkIndex index_;
  mutable std::vector<TypeCode> typeList_;
  mutable bool typeListDirty_ = false;
};

}  // namespace scrivet
