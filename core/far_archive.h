#pragma once
// Reader for FAR archives (version 1): named files with a manifest at a given offset.
// Each file's bytes are loaded once on demand and cached until the archive is closed.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/core_error.h"
#include "core/stream.h"

namespace scrivet {

struct FarEntry {
  uint32_t firstSize = 0;  // kept, not used for reading
  uint32_t dataSize = 0;
  int64_t dataOffset = -1;
  uint32_t nameLength = 0;
  std::string name;
  size_t cacheIndex = 0;  // 0: the shared empty block, nothing loaded
  bool skip = false;
};

class FarArchive {
 public:
  static constexpr uint32_t kSupportedVersion = 1;

  FarArchive();
  ~FarArchive();
  FarArchive(const FarArchive&) = delete;
  FarArchive& operator=(const FarArchive&) = delete;

  // Reads the header and manifest through a duplicate of the stream. A memory stream opens with
  // no entries. Entries read before a failure stay listed.
  bool Open(const Stream& stream);
  // Fails with System (and the reason) when the file cannot be opened, NotFar when it is not a
  // readable archive.
  bool OpenPath(const std::filesystem::path& path, CoreFailure* failure = nullptr);
  void Close();

  const std::vector<FarEntry>& Entries() const { return entries_; }
  std::vector<FarEntry>& Entries() { return entries_; }
  size_t EntryCount() const { return entries_.size(); }
  bool TwoByteNameLengths() const { return twoByteLengths_; }
  uint32_t Version() const { return version_; }
  uint32_t ManifestOffset() const { return manifestOffset_; }

  // Loads the entry's bytes once; fails for an entry of another archive or one marked skip.
  bool LoadEntryData(FarEntry& entry);
  // The loaded bytes (empty until loaded).
  const std::vector<uint8_t>& EntryData(const FarEntry& entry) const;
  bool WriteEntryData(FarEntry& entry, Stream& target);
  // Counts how often the stream was read for entry data (for tests of the cache).
  size_t DataReads() const { return dataReads_; }

 private:
  bool Contains(const FarEntry& entry) const;

  struct Block {
    std::vector<uint8_t> bytes;
    bool inUse = false;
    bool filled = false;
  };

  std::unique_ptr<Stream> stream_;
  char signature_[8] = {};
  uint32_t version_ = 0;
  uint32_t manifestOffset_ = 0;
  bool twoByteLengths_ = false;
  std::vector<FarEntry> entries_;
  std::vector<Block> cache_;
  size_t dataReads_ = 0;
};

}  // namespace scrivet
