#include "core/iff_chunk.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/byte_order.h"

namespace scrivet {

namespace {
constexpr size_t kStep = 64;
size_t RoundUp64(size_t n) { return n == 0 ? kStep : (n + kStep - 1) / kStep * kStep; }
}  // namespace

const uint8_t IffChunk::kNoData[1] = {0};

IffChunk::IffChunk() = default;

IffChunk::IffChunk(const IffChunk& other)
    : type(other.type), id(other.id), flags(other.flags), name(other.name), dataOffset(other.dataOffset),
      capacity_(other.capacity_), size_(other.size_), cursor_(other.cursor_), loaded_(other.loaded_),
      pendingSize_(other.pendingSize_) {
  if (other.own_) {
    own_.reset(new uint8_t[capacity_]);
    std::memcpy(own_.get(), other.own_.get(), capacity_);
    data_ = own_.get();
  } else {
    // Borrowed bytes never change, so the copy reads them too.
    data_ = other.data_;
    borrowed_ = other.borrowed_;
  }
}

IffChunk::IffChunk(IffChunk&& other) noexcept
    : type(other.type), id(other.id), flags(other.flags), name(std::move(other.name)),
      dataOffset(other.dataOffset), own_(std::move(other.own_)), data_(std::exchange(other.data_, kNoData)),
      borrowed_(std::move(other.borrowed_)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)), cursor_(std::exchange(other.cursor_, 0)), loaded_(other.loaded_),
      pendingSize_(other.pendingSize_) {}

IffChunk& IffChunk::operator=(IffChunk&& other) noexcept {
  if (this != &other) {
    type = other.type;
    id = other.id;
    flags = other.flags;
    name = std::move(other.name);
    dataOffset = other.dataOffset;
    own_ = std::move(other.own_);
    data_ = std::exchange(other.data_, kNoData);
    borrowed_ = std::move(other.borrowed_);
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

bool IffChunk::ReadZString(std::string& text) {
  std::string_view view;
  if (!ReadZStringView(view)) return false;
  text.assign(view);
  return true;
}

size_t IffChunk::FindZero(const uint8_t* p, size_t n) {
  // Texts are short, so blocks of bytes are tested inline rather than through a library call.
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  // Most texts end within 32 bytes: one test covers them.
  for (; n - i >= 32; i += 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
    const uint32_t hits = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(a, zero))) |
                          uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(b, zero))) << 16;
    if (hits) return i + size_t(std::countr_zero(hits));
  }
  if (n - i >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    if (const uint32_t hits = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(a, zero))))
      return i + size_t(std::countr_zero(hits));
    i += 16;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    for (; n - i >= 8; i += 8) {
      uint64_t v;
      std::memcpy(&v, p + i, 8);
      // The lowest flagged byte is the first zero (flags above it may be false).
      if (const uint64_t zeros = (v - kOnes) & ~v & kHighs) return i + size_t(std::countr_zero(zeros)) / 8;
    }
  }
  while (i < n && p[i] != 0) ++i;
  return i;
}

bool IffChunk::ReadFixedString(size_t n, std::string& text) {
  if (n > size_ - cursor_) return false;
  const uint8_t* begin = data_ + cursor_;
  const void* zero = std::memchr(begin, 0, n);
  size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - begin) : n;
  text.assign(reinterpret_cast<const char*>(begin), length);
  cursor_ += n;
  return true;
}

bool IffChunk::Reserve(size_t newCapacity) {
  if (own_ && newCapacity <= capacity_) return true;
  newCapacity = std::max(newCapacity, capacity_);
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[newCapacity]);
  if (!grown) return false;
  const size_t keep = own_ ? capacity_ : size_;
  if (keep) std::memcpy(grown.get(), data_, keep);
  std::memset(grown.get() + keep, 0, newCapacity - keep);
  own_ = std::move(grown);
  data_ = own_.get();
  borrowed_.reset();
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
  } else if (!own_ && !Reserve(capacity_)) {
    return false;
  }
  if (n) std::memcpy(own_.get() + cursor_, in, n);
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
  } else if (!own_ && !Reserve(capacity_)) {
    return false;
  }
  if (length) std::memcpy(own_.get() + cursor_, text.data(), length);
  own_[cursor_ + length] = 0;
  cursor_ += length + 1;
  size_ = std::max(size_, cursor_);
  loaded_ = true;
  return true;
}

bool IffChunk::SetSize(size_t n) {
  if (n == 0 && !own_) {
    // Emptied data needs no copy of what was there: the block comes with the next write.
    borrowed_.reset();
    data_ = kNoData;
    size_ = cursor_ = 0;
    loaded_ = true;
    return true;
  }
  if (!Reserve(n > capacity_ ? RoundUp64(n) : capacity_)) return false;
  size_ = n;
  if (cursor_ > n) cursor_ = n;
  loaded_ = true;
  return true;
}

bool IffChunk::Assign(const void* in, size_t n) {
  if (!AllocateForLoad(n)) return false;
  if (n) std::memcpy(own_.get(), in, n);
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
  own_ = std::move(fresh);
  data_ = own_.get();
  borrowed_.reset();
  capacity_ = cap;
  cursor_ = 0;
  return true;
}

void IffChunk::Borrow(const uint8_t* bytes, size_t n, std::shared_ptr<const void> owner) {
  own_.reset();
  data_ = n ? bytes : kNoData;
  borrowed_ = std::move(owner);
  capacity_ = RoundUp64(n);
  size_ = n;
  cursor_ = 0;
  loaded_ = true;
}

void IffChunk::Unload() {
  if (loaded_) pendingSize_ = size_;
  own_.reset();
  data_ = kNoData;
  borrowed_.reset();
  capacity_ = kStep;
  size_ = 0;
  cursor_ = 0;
  loaded_ = false;
}

}  // namespace scrivet
