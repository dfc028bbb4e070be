#pragma once
// Shared helpers of the engine tests: temporary folders, whole-file I/O, a stream that counts
// what is read through it, and a comparable snapshot of a container's chunk list.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"
#include "tests/core/byte_builders.h"

namespace scrivet::testsupport {

using namespace scrivet::testbytes;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / ("scrivet-core-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_, ec_); }
  const fs::path& Path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  Strings Listing() const {  // sorted
    Strings names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
  std::error_code ec_;
};

inline void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadFile(const fs::path& path) {
  Bytes bytes;
  CoreFailure failure;
  EXPECT_TRUE(ReadWholeFile(path, bytes, &failure)) << path << ": " << failure.detail;
  return bytes;
}

// A disk-like stream over shared bytes that counts the bytes read through it and all its
// duplicates, so tests can see what opening a container really touches.
class CountingStream final : public Stream {
 public:
  struct Shared {
    Bytes bytes;
    uint64_t bytesRead = 0, reads = 0;
  };
  explicit CountingStream(Bytes bytes = {}, uint64_t room = 0) : room(room), shared_(std::make_shared<Shared>()) {
    shared_->bytes = std::move(bytes);
  }
  size_t Read(void* buffer, size_t n) override {
    ++shared_->reads;
    if (position_ >= shared_->bytes.size()) return 0;
    size_t count = std::min<uint64_t>(n, shared_->bytes.size() - position_);
    std::memcpy(buffer, shared_->bytes.data() + position_, count);
    position_ += count;
    shared_->bytesRead += count;
    return count;
  }
  // Writes reach at most `room` bytes, as on a full disk.
  bool Write(const void* buffer, size_t n) override {
    if (position_ + n > room) return false;
    if (position_ + n > shared_->bytes.size()) shared_->bytes.resize(position_ + n);
    std::memcpy(shared_->bytes.data() + position_, buffer, n);
    position_ += n;
    return true;
  }
  bool Seek(uint64_t position) override { return position_ = position, true; }
  uint64_t Position() const override { return position_; }
  uint64_t Length() const override { return shared_->bytes.size(); }
  bool Truncate(uint64_t length) override {
    shared_->bytes.resize(std::min<uint64_t>(length, shared_->bytes.size()));
    return length <= room;
  }
  bool IsMemory() const override { return false; }
  std::unique_ptr<Stream> Duplicate() const override { return std::make_unique<CountingStream>(*this); }

  uint64_t room;
  const Shared& Stats() const { return *shared_; }
  void ResetStats() { shared_->bytesRead = shared_->reads = 0; }

 private:
  std::shared_ptr<Shared> shared_;
  uint64_t position_ = 0;
};

// What a reader can observe about one listed chunk.
struct ChunkImage {
  std::string type;
  uint16_t id = 0, flags = 0;
  std::string name;
  Bytes data;
  bool operator==(const ChunkImage&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const ChunkImage& c) {
  return os << c.type << "#" << c.id << " flags=" << c.flags << " '" << c.name << "' size=" << c.data.size();
}

// Every listed chunk except resource maps, in list order, with its data loaded.
inline std::vector<ChunkImage> Images(IffFile& file) {
  std::vector<ChunkImage> out;
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    IffChunk& c = file.ChunkAt(i);
    if (c.type == IffFile::kMapType) continue;
    out.push_back({TypeCodeToString(c.type), c.id, c.flags, c.name, {}});
    if (file.LoadChunkData(c)) out.back().data.assign(c.Data(), c.Data() + c.Size());
  }
  return out;
}

// Loads everything and writes the container to memory.
inline Bytes WriteToBytes(IffFile& file) {
  EXPECT_TRUE(file.LoadAll());
  MemoryStream out;
  EXPECT_TRUE(file.Write(&out));
  return out.Bytes();
}

// "TYPE#id" of every listed chunk, resource maps included.
inline Strings Listing(const IffFile& file) {
  Strings out;
  for (size_t i = 0; i < file.ChunkCount(); ++i)
    out.push_back(TypeCodeToString(file.ChunkAt(i).type) + "#" + std::to_string(file.ChunkAt(i).id));
  return out;
}

// Reads the directory of a memory copy of `bytes`; null when it fails. The same bytes read in
// place (shared) must list the same chunks with the same data.
inline std::unique_ptr<IffFile> ReadBytes(const Bytes& bytes, CoreError* errorOut = nullptr) {
  auto read = [&bytes](bool shared, CoreFailure& failure) {
    auto file = shared ? IffFile::AttachShared(std::make_shared<const Bytes>(bytes))
                       : IffFile::AttachMemoryCopy(MemoryStream(bytes));
    return file->ReadDirectory(&failure) ? std::move(file) : nullptr;
  };
  CoreFailure failure, sharedFailure;
  auto file = read(false, failure);
  auto copy = read(false, failure);  // loaded for the comparison; `file` is handed back untouched
  auto shared = read(true, sharedFailure);
  EXPECT_EQ(sharedFailure.error, failure.error);
  if (copy && shared) {
    EXPECT_EQ(Listing(*shared), Listing(*copy));
    EXPECT_EQ(Images(*shared), Images(*copy)) << "read in place";
  }
  if (errorOut) *errorOut = failure.error;
  return file;
}

// The listing of `bytes` as read by ReadBytes, or {"unreadable"}.
inline Strings ListingOf(const Bytes& bytes) {
  auto file = ReadBytes(bytes);
  return file ? Listing(*file) : Strings{"unreadable"};
}

}  // namespace scrivet::testsupport
