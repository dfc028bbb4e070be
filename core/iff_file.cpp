#include "core/iff_file.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "core/byte_order.h"

namespace scrivet {

namespace {

std::array<uint8_t, IffFile::kHeaderSize> MakeTemplate() {
  // The game compares bytes 0-59 with this text (only the version digits may differ).
  std::array<uint8_t, IffFile::kHeaderSize> t{};
  const char first[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE";
  const char second[] = " JAMIE DOORNBOS & MAXIS 1996";
  static_assert(sizeof(first) - 1 == 34 && sizeof(second) - 1 == 28);
  std::memcpy(t.data(), first, 34);
  t[34] = 0;
  std::memcpy(t.data() + 35, second, 28);
  t[63] = 0;
  return t;
}

std::string NameFromHeader(const uint8_t* field) {
  // Up to the first zero; a field with none is cut at its 64 bytes.
  const void* zero = std::memchr(field, 0, 64);
  size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - field) : 64;
  return std::string(reinterpret_cast<const char*>(field), length);
}

// The stream of a container on shared bytes. The container reads those bytes in place; the stream
// only gives their length and refuses writes.
class SharedBytesStream final : public Stream {
 public:
  explicit SharedBytesStream(std::shared_ptr<const std::vector<uint8_t>> bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t n) override {
    if (position_ >= bytes_->size()) return 0;
    const size_t count = size_t(std::min<uint64_t>(n, bytes_->size() - position_));
    if (count) std::memcpy(buffer, bytes_->data() + position_, count);
    position_ += count;
    return count;
  }
  bool Write(const void*, size_t) override { return false; }
  bool Seek(uint64_t position) override {
    position_ = position;
    return true;
  }
  uint64_t Position() const override { return position_; }
  uint64_t Length() const override { return bytes_->size(); }
  bool Truncate(uint64_t) override { return false; }
  bool IsMemory() const override { return true; }
  std::unique_ptr<Stream> Duplicate() const override { return std::make_unique<SharedBytesStream>(bytes_); }

 private:
  std::shared_ptr<const std::vector<uint8_t>> bytes_;
  uint64_t position_ = 0;
};

// Collects output into large blocks so that writing many small chunks costs few system calls.
class BlockWriter {
 public:
  explicit BlockWriter(Stream& target) : target_(target) { buffer_.reserve(kBlock); }
  bool Put(const void* data, size_t n) {
    if (!ok_) return false;
    if (buffer_.size() + n > kBlock) {
      if (!Flush()) return false;
      if (n >= kBlock) {
        ok_ = target_.Write(data, n);
        return ok_;
      }
    }
    const auto* p = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + n);
    return true;
  }
  bool Flush() {
    if (ok_ && !buffer_.empty()) ok_ = target_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok_;
  }

 private:
  static constexpr size_t kBlock = 1 << 20;
  Stream& target_;
  std::vector<uint8_t> buffer_;
  bool ok_ = true;
};

}  // namespace

const std::array<uint8_t, IffFile::kHeaderSize>& IffFile::HeaderTemplate() {
  static const auto kTemplate = MakeTemplate();
  return kTemplate;
}

std::unique_ptr<IffFile> IffFile::CreateEmpty(bool readOnly) {
  std::unique_ptr<IffFile> file(new IffFile);
  file->stream_ = std::make_unique<MemoryStream>();
  file->inMemory_ = true;
  file->readOnly_ = readOnly;
  return file;
}

std::unique_ptr<IffFile> IffFile::AttachStream(const Stream& stream, std::string fileName, bool readOnly) {
  std::unique_ptr<Stream> copy = stream.Duplicate();
  if (!copy) return nullptr;
  std::unique_ptr<IffFile> file(new IffFile);
  file->stream_ = std::move(copy);
  file->RememberStreamState();
  file->inMemory_ = file->stream_->IsMemory();
  file->name_ = std::move(fileName);
  file->readOnly_ = readOnly;
  return file;
}

std::unique_ptr<IffFile> IffFile::AttachMemoryCopy(const MemoryStream& memory) {
  std::unique_ptr<IffFile> file(new IffFile);
  file->stream_ = std::make_unique<MemoryStream>(memory.Bytes());
  file->RememberStreamState();
  file->inMemory_ = true;
  file->readOnly_ = false;
  return file;
}

std::unique_ptr<IffFile> IffFile::AttachShared(std::shared_ptr<const std::vector<uint8_t>> bytes) {
  if (!bytes) return nullptr;
  std::unique_ptr<IffFile> file(new IffFile);
  file->stream_ = std::make_unique<SharedBytesStream>(bytes);
  file->shared_ = std::move(bytes);
  file->RememberStreamState();
  file->inMemory_ = true;
  file->readOnly_ = true;
  return file;
}

std::unique_ptr<IffFile> IffFile::OpenPath(const std::filesystem::path& path, CoreFailure* failure) {
  auto stream = FileStream::Open(path, FileStream::Mode::Read, failure);
  if (!stream) return nullptr;
  // The container keeps the opened handle itself rather than a duplicate of it.
  std::unique_ptr<IffFile> file(new IffFile);
  file->stream_ = std::move(stream);
  file->name_ = path.string();
  file->readOnly_ = true;
  file->ReadDirectory(failure);
  return file;
}

IffFile::~IffFile() { Close(); }

void IffFile::Close() {
  stream_.reset();
  shared_.reset();
  chunks_.clear();
  index_.Clear();
  typeList_.clear();
  typeListDirty_ = false;
}

// ---------------------------------------------------------------- reading

std::unique_ptr<IffChunk> IffFile::ChunkFromHeader(const uint8_t* h, uint64_t dataOffset) const {
  uint32_t size = LoadU32BE(h + 4);
  if (size < kChunkHeaderSize || size > kMaxChunkSize) return nullptr;
  // A chunk that can never load would block every save of the file.
  if (dataOffset > streamLength_ || size - kChunkHeaderSize > streamLength_ - dataOffset) return nullptr;
  auto chunk = std::make_unique<IffChunk>();
  chunk->type = LoadU32BE(h);
  chunk->id = LoadU16BE(h + 8);
  chunk->flags = LoadU16BE(h + 10);
  chunk->name = NameFromHeader(h + 12);
  chunk->dataOffset = dataOffset;
  chunk->loaded_ = false;
  chunk->pendingSize_ = size - kChunkHeaderSize;
  return chunk;
}

const uint8_t* IffFile::HeaderAt(uint64_t position, uint8_t* buffer) {
  if (position > streamLength_ || kChunkHeaderSize > streamLength_ - position) return nullptr;
  if (shared_) return shared_->data() + position;
  if (!stream_->Seek(position) || !stream_->ReadExact(buffer, kChunkHeaderSize)) return nullptr;
  return buffer;
}

namespace {

// The chunk offsets a resource map lists, in map order; a map cut short yields the entries before
// the cut. Names and ids in the map are not used: the chunk headers are authoritative.
std::vector<uint32_t> MapEntryOffsets(IffChunk& map) {
  std::vector<uint32_t> offsets;
  uint8_t magic[4];
  map.Rewind();
  if (!map.SetCursor(8) || !map.Read(magic, 4) || std::memcmp(magic, "pmsr", 4) != 0) return offsets;
  uint32_t groups;
  if (!map.SetCursor(16) || !map.ReadU32(groups)) return offsets;
  std::string_view name;
  for (uint32_t g = 0; g < groups; ++g) {
    uint32_t type, count;
    if (!map.ReadU32(type) || !map.ReadU32(count)) return offsets;
    // Each entry takes at least 9 bytes, so a count the map cannot hold reserves nothing.
    offsets.reserve(offsets.size() + std::min<size_t>(count, map.Remaining() / 9));
    for (uint32_t e = 0; e < count; ++e) {
      uint32_t offset;
      if (!map.ReadU32(offset) || !map.Skip(4) || !map.ReadZStringView(name)) return offsets;
      if (map.Cursor() % 2 != 0 && !map.Skip(1)) return offsets;
      offsets.push_back(offset);
    }
  }
  return offsets;
}

}  // namespace

bool IffFile::ReadDirectory(CoreFailure* failure) {
  if (!stream_) return ReportFailure(failure, CoreError::InvalidHandle);
  header_.fill(0);
  RememberStreamState();
  size_t got = 0;
  if (shared_) {
    got = std::min<size_t>(shared_->size(), kHeaderSize);
    if (got) std::memcpy(header_.data(), shared_->data(), got);
  } else {
    if (!stream_->Seek(0)) return ReportFailure(failure, CoreError::NotIff);
    got = stream_->Read(header_.data(), kHeaderSize);
  }
  if (got < 8 || std::memcmp(header_.data(), "IFF FILE", 8) != 0) return ReportFailure(failure, CoreError::NotIff);
  const bool v25 = got >= 12 && std::memcmp(header_.data() + 9, "2.5", 3) == 0;
  const bool v20 = got >= 12 && std::memcmp(header_.data() + 9, "2.0", 3) == 0;
  if (!v25 && !v20) return ReportFailure(failure, CoreError::BadVersion);

  // Chunks are registered first through the map (version 2.5), then by a linear scan, straight
  // into the list after the chunks already there. A chunk registered again (same type and id)
  // replaces the earlier one and takes the later place, so chunks the scan finds end up in file
  // order after those only the map knows.
  const size_t listed = chunks_.size();
  std::vector<uint32_t> mapOffsets;
  uint8_t buffer[kChunkHeaderSize];
  if (v25 && got == kHeaderSize) {
    uint32_t mapOffset = LoadU32BE(header_.data() + 60);
    // Only a real map counts: a stale or bad offset may point at any chunk, or into one's data.
    const uint8_t* h = mapOffset != 0 ? HeaderAt(mapOffset, buffer) : nullptr;
    if (h && LoadU32BE(h) == kMapType) {
      if (auto map = ChunkFromHeader(h, uint64_t(mapOffset) + kChunkHeaderSize)) {
        if (LoadChunkData(*map)) mapOffsets = MapEntryOffsets(*map);
        chunks_.push_back(std::move(map));
      }
    }
  }
  const size_t afterMap = chunks_.size();

  // The scan reads every header once. Chunks with flag 0x0004 are known only through the map.
  std::vector<uint64_t> scannedAt;  // ascending; kept only to weigh the map's entries
  uint64_t position = kHeaderSize;
  while (position < streamLength_) {
    const uint8_t* h = HeaderAt(position, buffer);
    if (!h) break;
    // A bad size, or data running past the end (a tail that only looks like a header, as some
    // tools leave one), ends the scan.
    auto chunk = ChunkFromHeader(h, position + kChunkHeaderSize);
    if (!chunk) break;
    if (!(chunk->flags & 0x0004)) {
      chunks_.push_back(std::move(chunk));
      if (!mapOffsets.empty()) scannedAt.push_back(position);
    }
    position += LoadU32BE(h + 4);
  }

  // A map entry at a scanned position would only be replaced by the scan's own registration of
  // the same header, so only the others need their headers read. They register before the
  // scanned chunks.
  std::vector<std::unique_ptr<IffChunk>> mapOnly;
  for (uint32_t offset : mapOffsets) {
    if (std::binary_search(scannedAt.begin(), scannedAt.end(), uint64_t(offset))) continue;
    const uint8_t* h = HeaderAt(offset, buffer);
    if (!h) continue;
    if (auto chunk = ChunkFromHeader(h, uint64_t(offset) + kChunkHeaderSize)) mapOnly.push_back(std::move(chunk));
  }
  if (!mapOnly.empty())
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(afterMap), std::make_move_iterator(mapOnly.begin()),
                   std::make_move_iterator(mapOnly.end()));

  // Each identity keeps its last registration; chunks already in the list stay unless a
  // registered one replaces them.
  ChunkIndex fresh;
  fresh.Reserve(chunks_.size() - listed);
  bool dropped = false;
  for (size_t i = chunks_.size(); i-- > listed;) {
    if (!fresh.Insert(Key(chunks_[i]->type, chunks_[i]->id), chunks_[i].get())) {
      chunks_[i].reset();
      dropped = true;
    }
  }
  if (listed == 0) {
    index_ = std::move(fresh);
  } else {
    for (size_t i = 0; i < listed; ++i) {
      const uint64_t key = Key(chunks_[i]->type, chunks_[i]->id);
      if (IffChunk* replacement = fresh.Find(key)) {
        chunks_[i].reset();
        index_.Assign(key, replacement);
        dropped = true;
      }
    }
    for (size_t i = listed; i < chunks_.size(); ++i)
      if (chunks_[i]) index_.Assign(Key(chunks_[i]->type, chunks_[i]->id), chunks_[i].get());
  }
  if (dropped) std::erase_if(chunks_, [](const auto& c) { return !c; });
  TypesChanged();
  if (failure) *failure = {};
  return true;
}

void IffFile::RememberStreamState() {
  streamLength_ = stream_ ? stream_->Length() : 0;
  streamTime_ = stream_ ? stream_->ModificationTime() : 0;
}

bool IffFile::StreamUnchanged() const {
  return stream_ && stream_->Length() == streamLength_ && stream_->ModificationTime() == streamTime_;
}

bool IffFile::LoadChunkData(IffChunk& chunk) {
  if (chunk.loaded_) return true;
  // Data read from a file that was rewritten meanwhile would be garbage; shared bytes never change.
  if (!shared_ && !StreamUnchanged()) return false;
  return ReadChunkData(chunk);
}

bool IffFile::ReadChunkData(IffChunk& chunk) {
  size_t size = chunk.pendingSize_;
  // The declared size is checked against the bytes the stream holds before anything is allocated.
  if (!stream_ || chunk.dataOffset > streamLength_ || size > streamLength_ - chunk.dataOffset) return false;
  if (shared_) {
    chunk.Borrow(shared_->data() + chunk.dataOffset, size, shared_);
    return true;
  }
  if (!chunk.AllocateForLoad(size)) return false;
  if (!stream_->Seek(chunk.dataOffset) || !stream_->ReadExact(chunk.own_.get(), size)) {
    chunk.Unload();
    chunk.pendingSize_ = size;
    return false;
  }
  chunk.size_ = size;
  chunk.cursor_ = 0;
  chunk.loaded_ = true;
  return true;
}

bool IffFile::LoadAll() {
  // Chunks usually follow each other in the file: a run of them costs one large read instead of
  // one small read per chunk.
  constexpr uint64_t kRunBytes = uint64_t(4) << 20;
  if (shared_) {
    // Shared bytes are read in place: nothing to batch.
    for (auto& chunk : chunks_)
      if (!LoadChunkData(*chunk)) return false;
    return true;
  }
  std::vector<uint8_t> run;
  bool checked = false;
  for (size_t i = 0; i < chunks_.size();) {
    IffChunk& first = *chunks_[i];
    if (first.loaded_) {
      ++i;
      continue;
    }
    if (!checked && !StreamUnchanged()) return false;
    checked = true;
    const uint64_t begin = first.dataOffset;
    uint64_t end = begin + first.pendingSize_;
    size_t last = i;
    while (end <= streamLength_ && last + 1 < chunks_.size()) {
      const IffChunk& next = *chunks_[last + 1];
      if (next.loaded_ || next.dataOffset != end + kChunkHeaderSize) break;
      const uint64_t nextEnd = next.dataOffset + next.pendingSize_;
      if (nextEnd > streamLength_ || nextEnd - begin > kRunBytes) break;
      end = nextEnd;
      ++last;
    }
    bool read = last > i;
    if (read) {
      try {
        run.resize(size_t(end - begin));
      } catch (...) {
        read = false;
      }
    }
    read = read && stream_->Seek(begin) && stream_->ReadExact(run.data(), run.size());
    if (!read) {
      // A lone chunk, or one the file cannot hold: the usual load, with its checks.
      if (!ReadChunkData(first)) return false;
      ++i;
      continue;
    }
    for (; i <= last; ++i) {
      IffChunk& chunk = *chunks_[i];
      const size_t size = chunk.pendingSize_;
      if (!chunk.AllocateForLoad(size)) return false;
      if (size) std::memcpy(chunk.own_.get(), run.data() + (chunk.dataOffset - begin), size);
      chunk.size_ = size;
      chunk.loaded_ = true;
    }
  }
  return true;
}

void IffFile::DetachStream(bool readOnly) {
  stream_ = std::make_unique<MemoryStream>();
  shared_.reset();
  RememberStreamState();
  inMemory_ = true;
  readOnly_ = readOnly;
}

// ---------------------------------------------------------------- writing

bool IffFile::Write(Stream* target) {
  if (!target) {
    if (!stream_ || readOnly_) return false;
    target = stream_.get();
  } else if (target == stream_.get() && readOnly_) {
    return false;
  }
  if (!target->Truncate(0) || !target->Seek(0)) return false;

  BlockWriter out(*target);
  std::array<uint8_t, kHeaderSize> header = HeaderTemplate();
  if (!out.Put(header.data(), kHeaderSize)) return false;
  uint64_t end = kHeaderSize;

  struct MapEntry {
    uint32_t offset;
    const IffChunk* chunk;
  };
  std::vector<TypeCode> groupOrder;
  std::unordered_map<TypeCode, std::vector<MapEntry>> groups;

  uint8_t chunkHeader[kChunkHeaderSize];
  for (auto& chunk : chunks_) {
    if (chunk->type == kMapType) continue;
    if (!chunk->loaded_) return false;
    uint64_t size = uint64_t(chunk->Size()) + kChunkHeaderSize;
    if (size > std::numeric_limits<uint32_t>::max() || end > std::numeric_limits<uint32_t>::max()) return false;
    std::memset(chunkHeader, 0, sizeof chunkHeader);
    StoreU32BE(chunkHeader, chunk->type);
    StoreU32BE(chunkHeader + 4, uint32_t(size));
    StoreU16BE(chunkHeader + 8, chunk->id);
    StoreU16BE(chunkHeader + 10, chunk->flags);
    std::memcpy(chunkHeader + 12, chunk->name.data(), std::min(chunk->name.size(), IffChunk::kMaxNameLength));
    if (!out.Put(chunkHeader, kChunkHeaderSize) || !out.Put(chunk->Data(), chunk->Size())) return false;
    chunk->dataOffset = end + kChunkHeaderSize;
    auto [it, fresh] = groups.try_emplace(chunk->type);
    if (fresh) groupOrder.push_back(chunk->type);
    it->second.push_back({uint32_t(end), chunk.get()});
    end += size;
  }

  // The resource map, built in memory and then patched with its size.
  const uint64_t mapPosition = end;
  if (mapPosition > std::numeric_limits<uint32_t>::max()) return false;
  std::vector<uint8_t> map(kChunkHeaderSize + 20, 0);
  StoreU32BE(map.data(), kMapType);
  StoreU16BE(map.data() + 10, IffChunk::kDefaultFlags);
  std::memcpy(map.data() + kChunkHeaderSize + 8, "pmsr", 4);
  StoreU32LE(map.data() + kChunkHeaderSize + 16, uint32_t(groupOrder.size()));
  auto put32 = [&map](uint32_t v) {
    uint8_t b[4];
    StoreU32LE(b, v);
    map.insert(map.end(), b, b + 4);
  };
  auto put16 = [&map](uint16_t v) {
    uint8_t b[2];
    StoreU16LE(b, v);
    map.insert(map.end(), b, b + 2);
  };
  for (TypeCode type : groupOrder) {
    const auto& entries = groups[type];
    put32(type);
    put32(uint32_t(entries.size()));
    for (const MapEntry& e : entries) {
      put32(e.offset);
      put16(e.chunk->id);
      put16(e.chunk->flags);
      size_t nameLength = std::min(e.chunk->name.size(), IffChunk::kMaxNameLength);
      // The name stops at a zero byte, as the header field does.
      size_t zero = e.chunk->name.find('\0');
      if (zero != std::string::npos) nameLength = std::min(nameLength, zero);
      map.insert(map.end(), e.chunk->name.begin(), e.chunk->name.begin() + nameLength);
      map.push_back(0);
      if (map.size() % 2 != 0) map.push_back(0xA3);
    }
  }
  if (map.size() > std::numeric_limits<uint32_t>::max()) return false;
  const uint32_t mapSize = uint32_t(map.size());
  StoreU32BE(map.data() + 4, mapSize);
  StoreU32LE(map.data() + kChunkHeaderSize + 12, mapSize);
  if (!out.Put(map.data(), map.size()) || !out.Flush()) return false;

  StoreU32BE(header.data() + 60, uint32_t(mapPosition));
  if (!target->Seek(60) || !target->Write(header.data() + 60, 4) || !target->Seek(mapPosition + mapSize))
    return false;
  header_ = header;
  if (target == stream_.get()) RememberStreamState();
  return true;
}

bool IffFile::SaveToPath(const std::filesystem::path& path, CoreFailure* failure) {
  if (failure) *failure = {};
  if (!LoadAll())
    return ReportFailure(failure, SourceChanged() ? CoreError::SourceChanged : CoreError::DataUnreadable);
  bool ok = SaveFileAtomically(
      path,
      [this](Stream& out) {
        if (!Write(&out)) return false;
        // Everything is in memory now: release the file so that it can be replaced.
        if (!inMemory_) DetachStream(false);
        return true;
      },
      failure);
  if (ok) name_ = path.string();
  return ok;
}

// ---------------------------------------------------------------- lookup and editing

size_t IffFile::PositionOf(const IffChunk* chunk) const {
  for (size_t i = 0; i < chunks_.size(); ++i)
    if (chunks_[i].get() == chunk) return i;
  return npos;
}

IffChunk* IffFile::Find(TypeCode type, uint16_t id) { return index_.Find(Key(type, id)); }

const IffChunk* IffFile::Find(TypeCode type, uint16_t id) const { return index_.Find(Key(type, id)); }

size_t IffFile::FirstOfType(TypeCode type) const {
  for (size_t i = 0; i < chunks_.size(); ++i)
    if (chunks_[i]->type == type) return i;
  return npos;
}

size_t IffFile::NextOfSameType(size_t position) const {
  if (position >= chunks_.size()) return npos;
  TypeCode type = chunks_[position]->type;
  for (size_t i = position + 1; i < chunks_.size(); ++i)
    if (chunks_[i]->type == type) return i;
  return npos;
}

IffChunk* IffFile::LowestIdOfType(TypeCode type) {
  IffChunk* best = nullptr;
  for (auto& chunk : chunks_)
    if (chunk->type == type && (!best || chunk->id < best->id)) best = chunk.get();
  return best;
}

IffChunk* IffFile::NextHigherId(const IffChunk& from) {
  IffChunk* best = nullptr;
  for (auto& chunk : chunks_)
    if (chunk->type == from.type && chunk->id > from.id && (!best || chunk->id < best->id)) best = chunk.get();
  return best;
}

size_t IffFile::CountOfType(TypeCode type, bool loadedOnly) const {
  size_t n = 0;
  for (const auto& chunk : chunks_)
    if (chunk->type == type && (!loadedOnly || chunk->loaded_)) ++n;
  return n;
}

void IffFile::EraseAt(size_t position) {
  uint64_t key = Key(chunks_[position]->type, chunks_[position]->id);
  index_.Erase(key);
  chunks_.erase(chunks_.begin() + std::ptrdiff_t(position));
  // A rename onto a taken identity can leave a second chunk with this key: it is found again.
  for (auto& chunk : chunks_)
    if (Key(chunk->type, chunk->id) == key) index_.Assign(key, chunk.get());
  TypesChanged();
}

IffChunk* IffFile::AddChunk(TypeCode type, uint16_t id, std::string_view name, const void* data, size_t n) {
  auto chunk = std::make_unique<IffChunk>();
  chunk->type = type;
  chunk->id = id;
  chunk->flags = IffChunk::kDefaultFlags;
  chunk->name.assign(name);
  if (!chunk->Assign(data, n)) return nullptr;
  chunk->dataOffset = 0;
  RemoveChunk(type, id);
  IffChunk* raw = chunk.get();
  chunks_.push_back(std::move(chunk));
  index_.Assign(Key(type, id), raw);
  TypesChanged();
  return raw;
}

IffChunk* IffFile::AddChunk(TypeCode type, uint16_t id, std::string_view name, Stream& source) {
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(size_t(source.Length()));
  } catch (...) {
    return nullptr;
  }
  if (!source.Seek(0) || !source.ReadExact(bytes.data(), bytes.size())) return nullptr;
  return AddChunk(type, id, name, bytes.data(), bytes.size());
}

IffChunk& IffFile::StoreChunk(IffChunk&& chunk) {
  if (IffChunk* existing = Find(chunk.type, chunk.id)) {
    *existing = std::move(chunk);
    return *existing;
  }
  auto added = std::make_unique<IffChunk>(std::move(chunk));
  IffChunk& raw = *added;
  chunks_.push_back(std::move(added));
  index_.Assign(Key(raw.type, raw.id), &raw);
  TypesChanged();
  return raw;
}

bool IffFile::RemoveChunk(TypeCode type, uint16_t id) {
  IffChunk* chunk = Find(type, id);
  if (!chunk) return false;
  EraseAt(PositionOf(chunk));
  return true;
}

void IffFile::RemoveChunksAt(const std::vector<size_t>& positions) {
  if (positions.empty()) return;
  std::vector<std::unique_ptr<IffChunk>> kept;
  kept.reserve(chunks_.size());
  std::vector<uint64_t> orphaned;
  size_t next = 0;
  for (size_t i = 0; i < chunks_.size(); ++i) {
    if (next < positions.size() && positions[next] == i) {
      ++next;
      const uint64_t key = Key(chunks_[i]->type, chunks_[i]->id);
      if (index_.Find(key) == chunks_[i].get()) {
        index_.Erase(key);
        orphaned.push_back(key);
      }
      continue;
    }
    kept.push_back(std::move(chunks_[i]));
  }
  chunks_ = std::move(kept);
  // A chunk left with a removed chunk's identity is found again, as after RemoveChunk.
  if (!orphaned.empty()) {
    std::sort(orphaned.begin(), orphaned.end());
    for (auto& chunk : chunks_) {
      const uint64_t key = Key(chunk->type, chunk->id);
      if (std::binary_search(orphaned.begin(), orphaned.end(), key)) index_.Assign(key, chunk.get());
    }
  }
  TypesChanged();
}

void IffFile::InsertChunksAt(std::vector<std::pair<size_t, IffChunk>>&& chunks) {
  if (chunks.empty()) return;
  std::vector<std::unique_ptr<IffChunk>> merged;
  merged.reserve(chunks_.size() + chunks.size());
  size_t old = 0;
  for (auto& [position, chunk] : chunks) {
    while (merged.size() < position && old < chunks_.size()) merged.push_back(std::move(chunks_[old++]));
    auto inserted = std::make_unique<IffChunk>(std::move(chunk));
    index_.Assign(Key(inserted->type, inserted->id), inserted.get());
    merged.push_back(std::move(inserted));
  }
  while (old < chunks_.size()) merged.push_back(std::move(chunks_[old++]));
  chunks_ = std::move(merged);
  TypesChanged();
}

bool IffFile::ChangeIdentity(TypeCode type, uint16_t id, TypeCode newType, uint16_t newId,
                             std::string_view newName) {
  IffChunk* chunk = Find(type, id);
  if (!chunk) return false;
  index_.Erase(Key(type, id));
  chunk->type = newType;
  chunk->id = newId;
  chunk->name.assign(newName);
  // When the new identity was taken, the lookup finds the renamed chunk; the other stays listed.
  index_.Assign(Key(newType, newId), chunk);
  TypesChanged();
  return true;
}

bool IffFile::WriteChunkData(TypeCode type, uint16_t id, Stream& target) {
  IffChunk* chunk = Find(type, id);
  if (!chunk || !LoadChunkData(*chunk)) return false;
  return target.Write(chunk->Data(), chunk->Size());
}

std::vector<IffChunk*> IffFile::ResourcesByTypeAndId() {
  std::unordered_map<TypeCode, std::vector<IffChunk*>> byType;
  for (auto& chunk : chunks_)
    if (chunk->type != kMapType) byType[chunk->type].push_back(chunk.get());
  std::vector<IffChunk*> out;
  out.reserve(chunks_.size());
  for (TypeCode type : TypeList()) {
    auto it = byType.find(type);
    if (it == byType.end()) continue;
    std::stable_sort(it->second.begin(), it->second.end(),
                     [](const IffChunk* a, const IffChunk* b) { return a->id < b->id; });
    out.insert(out.end(), it->second.begin(), it->second.end());
  }
  return out;
}

const std::vector<TypeCode>& IffFile::TypeList() const {
  if (typeListDirty_) {
    typeList_.clear();
    std::unordered_set<TypeCode> seen;
    for (const auto& chunk : chunks_)
      if (seen.insert(chunk->type).second) typeList_.push_back(chunk->type);
    typeListDirty_ = false;
  }
  return typeList_;
}

}  // namespace scrivet
