#include "core/far_archive.h"

#include <cstring>

#include "core/byte_order.h"

namespace scrivet {

namespace {
constexpr char kSignature[8] = {'F', 'A', 'R', '!', 'b', 'y', 'A', 'Z'};
constexpr size_t kMinEntrySize = 14;  // three sizes, a 2-byte name length, an empty name

bool ReadU32(Stream& s, uint32_t& v) {
  uint8_t b[4];
  if (!s.ReadExact(b, 4)) return false;
  v = LoadU32LE(b);
  return true;
}
}  // namespace

FarArchive::FarArchive() { cache_.emplace_back(); }

FarArchive::~FarArchive() { Close(); }

bool FarArchive::Open(const Stream& source) {
  entries_.clear();
  twoByteLengths_ = false;
  stream_.reset();
  if (source.IsMemory()) return true;
  stream_ = source.Duplicate();
  if (!stream_) return false;
  Stream& s = *stream_;
  const uint64_t length = s.Length();
  if (!s.Seek(0) || !s.ReadExact(signature_, 8) || !ReadU32(s, version_) || !ReadU32(s, manifestOffset_))
    return false;
  if (std::memcmp(signature_, kSignature, 8) != 0) return false;
  // Version 3 archives are compressed and laid out differently: not ours to read.
  if (version_ != kSupportedVersion) return false;
  if (manifestOffset_ < 16 || uint64_t(manifestOffset_) + 4 > length) return false;
  uint32_t count;
  if (!s.Seek(manifestOffset_) || !ReadU32(s, count)) return false;
  // The count is checked against the bytes left before anything is reserved for it.
  uint64_t left = length - manifestOffset_ - 4;
  if (uint64_t(count) * kMinEntrySize > left) return false;
  entries_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    FarEntry e;
    uint32_t offset;
    if (!ReadU32(s, e.firstSize) || !ReadU32(s, e.dataSize) || !ReadU32(s, offset)) return false;
    uint8_t lengthBytes[4];
    if (twoByteLengths_) {
      if (!s.ReadExact(lengthBytes, 2)) return false;
      e.nameLength = LoadU16LE(lengthBytes);
    } else {
      if (!s.ReadExact(lengthBytes, 4)) return false;
      uint32_t n = LoadU32LE(lengthBytes);
      if (n & 0xFFFF0000u) {
        // Upper half in use: this archive stores 2-byte lengths; the name began 2 bytes back.
        twoByteLengths_ = true;
        n &= 0xFFFFu;
        if (!s.Seek(s.Position() - 2)) return false;
      }
      e.nameLength = n;
    }
    if (e.nameLength > length - s.Position()) return false;
    e.name.resize(e.nameLength);
    if (e.nameLength && !s.ReadExact(e.name.data(), e.nameLength)) return false;
    e.dataOffset = offset;
    entries_.push_back(std::move(e));
  }
  return true;
}

bool FarArchive::OpenPath(const std::filesystem::path& path, CoreFailure* failure) {
  auto stream = FileStream::Open(path, FileStream::Mode::Read, failure);
  if (!stream) {
    Close();
    return false;
  }
  if (!Open(*stream)) return ReportFailure(failure, CoreError::NotFar);
  if (failure) *failure = {};
  return true;
}

void FarArchive::Close() {
  for (Block& b : cache_) {
    std::vector<uint8_t>().swap(b.bytes);
    b.filled = false;
  }
  entries_.clear();
  stream_.reset();
}

bool FarArchive::Contains(const FarEntry& entry) const {
  return !entries_.empty() && &entry >= entries_.data() && &entry < entries_.data() + entries_.size();
}

bool FarArchive::LoadEntryData(FarEntry& entry) {
  if (!Contains(entry) || entry.skip) return false;
  if (entry.cacheIndex < cache_.size() && cache_[entry.cacheIndex].filled) return true;
  if (!stream_ || entry.dataOffset < 0) return false;
  const uint64_t end = uint64_t(entry.dataOffset) + entry.dataSize;
  if (end > stream_->Length()) return false;
  size_t index = entry.cacheIndex;
  if (index == 0 || index >= cache_.size() || !cache_[index].inUse) {
    cache_.emplace_back();
    index = cache_.size() - 1;
  }
  Block& block = cache_[index];
  block.inUse = true;
  try {
    block.bytes.resize(entry.dataSize);
  } catch (...) {
    std::vector<uint8_t>().swap(block.bytes);
    return false;
  }
  ++dataReads_;
  if (!stream_->Seek(uint64_t(entry.dataOffset)) ||
      (entry.dataSize && !stream_->ReadExact(block.bytes.data(), entry.dataSize))) {
    std::vector<uint8_t>().swap(block.bytes);
    return false;
  }
  block.filled = true;
  entry.cacheIndex = index;
  return true;
}

const std::vector<uint8_t>& FarArchive::EntryData(const FarEntry& entry) const {
  if (entry.cacheIndex < cache_.size()) return cache_[entry.cacheIndex].bytes;
  return cache_[0].bytes;
}

bool FarArchive::WriteEntryData(FarEntry& entry, Stream& target) {
  if (!LoadEntryData(entry)) return false;
  const auto& bytes = EntryData(entry);
  return bytes.empty() || target.Write(bytes.data(), bytes.size());
}

}  // namespace scrivet
