#include "core/iff_chunk.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "core/byte_order.h"

namespace scrivet {

namespace {
constexpr size_t kStep = 64;
size_t RoundUp64(size_t n) { return n == 0 ? kStep : (n + kStep - 1) / kStep * kStep; }
}  // namespace

IffChunk::IffChunk() : data_(new (std::nothrow) uint8_t[kStep]()), capacity_(data_ ? kStep : 0) {}

IffChunk::IffChunk(const IffChunk& other)
    : type(other.type), id(other.id), flags(other.flags), name(other.name),
      dataOffset(other.dataOffset), size_(other.size_), cursor_(other.cursor_), loaded_(other.loaded_),
      pendingSize_(other.pendingSize_) {
  capacity_ = other.capacity_;
  data_.reset(new uint8_t[capacity_]);
  if (capacity_) std::memcpy(data_.get(), other.data_.get(), capacity_);
}

IffChunk::IffChunk(IffChunk&& other) noexcept
    : type(other.type), id(other.id), flags(other.flags), name(std::move(other.name)),
      dataOffset(other.dataOffset), data_(std::move(other.data_)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)), cursor_(std::exchange(other.cursor_, 0)), loaded_(other.loaded_),
      pendingSize_(other.pendingSize_) {}

IffChunk& IffChunk::operator=(IffChunk&& other) noexcept {
  if (this != &other) {
    type = other.type;
    id = other.id;
    flags = other.flags;
    name = std::move(other.name);
    dataOffset = other.dataOffset;
    data_ = std::move(other.data_);
    capacity_ = std::exchange(other.capacity_, 0);
    size_ = std::exchange(other.size_, 0);
    cursor_ = std::exchange(other.cursor_, 0);
    loaded_ = other.loaded_;
    pendingSize_ = other.pendingSize_;
  }
  return *this;
}

IffChunk& IffChunk::operator=(const IffChunk& other) {
  if (this != &other) {
    IffChunk copy(other);
    *this = std::move(copy);
  }
  return *this;
}

bool IffChunk::SetCursor(size_t position) {
  if (position > size_) return false;
  cursor_ = position;
  return true;
}

bool IffChunk::Read(void* out, size_t n) {
  if (n > size_ - cursor_) return false;
  if (n) std::memcpy(out, data_.get() + cursor_, n);
  cursor_ += n;
  return true;
}

bool IffChunk::ReadU8(uint8_t& v) { return Read(&v, 1); }

bool IffChunk::ReadU16(uint16_t& v) {
  if (Remaining() < 2) return false;
  v = LoadU16LE(data_.get() + cursor_);
  cursor_ += 2;
  return true;
}

bool IffChunk::ReadU32(uint32_t& v) {
  if (Remaining() < 4) return false;
  v = LoadU32LE(data_.get() + cursor_);
  cursor_ += 4;
  return true;
}

bool IffChunk::ReadI16(int16_t& v) {
  uint16_t u;
  if (!ReadU16(u)) return false;
  v = static_cast<int16_t>(u);
  return true;
}

bool IffChunk::ReadI32(int32_t& v) {
  uint32_t u;
  if (!ReadU32(u)) return false;
  v = static_cast<int32_t>(u);
  return true;
}

bool IffChunk::ReadZString(std::string& text) {
  if (cursor_ >= size_) return false;
  const uint8_t* begin = data_.get() + cursor_;
  const void* zero = std::memchr(begin, 0, size_ - cursor_);
  if (!zero) return false;
  size_t length = static_cast<const uint8_t*>(zero) - begin;
  text.assign(reinterpret_cast<const char*>(begin), length);
  cursor_ += length + 1;
  return true;
}

bool IffChunk::ReadFixedString(size_t n, std::string& text) {
  if (n > size_ - cursor_) return false;
  const uint8_t* begin = data_.get() + cursor_;
  const void* zero = std::memchr(begin, 0, n);
  size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - begin) : n;
  text.assign(reinterpret_cast<const char*>(begin), length);
  cursor_ += n;
  return true;
}

bool IffChunk::Skip(size_t n) {
  if (n > size_ - cursor_) return false;
  cursor_ += n;
  return true;
}

bool IffChunk::Reserve(size_t newCapacity) {
  if (newCapacity <= capacity_) return true;
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[newCapacity]);
  if (!grown) return false;
  if (capacity_) std::memcpy(grown.get(), data_.get(), capacity_);
  std::memset(grown.get() + capacity_, 0, newCapacity - capacity_);
  data_ = std::move(grown);
  capacity_ = newCapacity;
  return true;
}

bool IffChunk::Write(const void* in, size_t n) {
  if (n > SIZE_MAX - cursor_ - kStep * 2) return false;
  if (cursor_ + n > capacity_) {
    // Grow to (capacity + n + 63) rounded down to 64, which always covers cursor + n because
    // the cursor never passes the capacity.
    size_t want = (capacity_ + n + kStep - 1) / kStep * kStep;
    if (want < cursor_ + n) want = RoundUp64(cursor_ + n);
    if (!Reserve(want)) return false;
  }
  if (n) std::memcpy(data_.get() + cursor_, in, n);
  cursor_ += n;
  size_ = std::max(size_, cursor_);
  loaded_ = true;  // the buffer now defines the data
  return true;
}

bool IffChunk::WriteU16(uint16_t v) {
  uint8_t b[2];
  StoreU16LE(b, v);
  return Write(b, 2);
}

bool IffChunk::WriteU32(uint32_t v) {
  uint8_t b[4];
  StoreU32LE(b, v);
  return Write(b, 4);
}

bool IffChunk::WriteZString(std::string_view text) {
  size_t length = text.size();
  if (length > SIZE_MAX - cursor_ - kStep * 2) return false;
  if (capacity_ < cursor_ + length + 1) {
    size_t want = (capacity_ + length + kStep) / kStep * kStep;
    if (want < cursor_ + length + 1) want = RoundUp64(cursor_ + length + 1);
    if (!Reserve(want)) return false;
  }
  if (length) std::memcpy(data_.get() + cursor_, text.data(), length);
  data_[cursor_ + length] = 0;
  cursor_ += length + 1;
  size_ = std::max(size_, cursor_);
  loaded_ = true;
  return true;
}

bool IffChunk::SetSize(size_t n) {
  if (n > capacity_ && !Reserve(RoundUp64(n))) return false;
  size_ = n;
  if (cursor_ > n) cursor_ = n;
  loaded_ = true;
  return true;
}

bool IffChunk::Assign(const void* in, size_t n) {
  if (!AllocateForLoad(n)) return false;
  if (n) std::memcpy(data_.get(), in, n);
  size_ = n;
  cursor_ = 0;
  loaded_ = true;
  return true;
}

bool IffChunk::AllocateForLoad(size_t n) {
  size_t cap = RoundUp64(n);
  std::unique_ptr<uint8_t[]> fresh(new (std::nothrow) uint8_t[cap]);
  if (!fresh) return false;
  // Only the slack beyond the data needs clearing; the data itself is about to be overwritten.
  std::memset(fresh.get() + n, 0, cap - n);
  data_ = std::move(fresh);
  capacity_ = cap;
  cursor_ = 0;
  return true;
}

void IffChunk::Unload() {
  if (loaded_) pendingSize_ = size_;
  data_.reset(new (std::nothrow) uint8_t[kStep]());
  capacity_ = data_ ? kStep : 0;
  size_ = 0;
  cursor_ = 0;
  loaded_ = false;
}

}  // namespace scrivet
