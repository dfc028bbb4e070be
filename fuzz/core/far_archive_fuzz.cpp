// Arbitrary bytes as a FAR archive. Archives are read from disk-like streams (memory streams open
// empty), so the input is wrapped in a stream that presents itself as one.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/far_archive.h"
#include "core/stream.h"

using namespace scrivet;

namespace {

class DiskLikeStream final : public Stream {
 public:
  DiskLikeStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Read(void* buffer, size_t n) override {
    if (position_ >= size_) return 0;
    size_t count = std::min<uint64_t>(n, size_ - position_);
    std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return count;
  }
  bool Write(const void*, size_t) override { return false; }
  bool Seek(uint64_t position) override {
    position_ = position;
    return true;
  }
  uint64_t Position() const override { return position_; }
  uint64_t Length() const override { return size_; }
  bool Truncate(uint64_t) override { return false; }
  bool IsMemory() const override { return false; }
  std::unique_ptr<Stream> Duplicate() const override { return std::make_unique<DiskLikeStream>(*this); }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DiskLikeStream stream(data, size);
  FarArchive far;
  const bool opened = far.Open(stream);
  for (FarEntry& entry : far.Entries()) {
    const uint64_t end = uint64_t(entry.dataOffset) + entry.dataSize;
    const size_t readsBefore = far.DataReads();
    const bool loaded = far.LoadEntryData(entry);
    if (opened && end <= size && !loaded) std::abort();
    if (!loaded) {
      if (!far.EntryData(entry).empty()) std::abort();
      continue;
    }
    const auto& bytes = far.EntryData(entry);
    if (end > size || bytes.size() != entry.dataSize ||
        (entry.dataSize && std::memcmp(bytes.data(), data + entry.dataOffset, entry.dataSize) != 0))
      std::abort();
    // Cached: the second load reads nothing.
    if (!far.LoadEntryData(entry) || far.DataReads() != readsBefore + 1) std::abort();
  }
  return 0;
}
