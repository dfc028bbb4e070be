#pragma once
// One chunk of an IFF container: identity plus a data buffer with a read/write cursor.
// Reads fail (reading nothing, cursor unchanged) rather than run past the data; writes grow the
// buffer in 64-byte steps. This buffer is the only way codecs touch resource bytes.
// The buffer is allocated on first write. Data loaded from bytes a container shares with its
// caller is read in place (the chunk keeps those bytes alive) until the first write copies it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/byte_order.h"
#include "core/type_code.h"

namespace scrivet {

class IffChunk {
 public:
  static constexpr uint16_t kDefaultFlags = 0x0010;
  static constexpr uint16_t kFlagLittleEndian = 0x0010;
  static constexpr size_t kMaxNameLength = 63;

  IffChunk();
  IffChunk(const IffChunk& other);
  IffChunk& operator=(const IffChunk& other);
  // A moved-from chunk is left empty, with no buffer.
  IffChunk(IffChunk&& other) noexcept;
  IffChunk& operator=(IffChunk&& other) noexcept;

  // Identity.
  TypeCode type = 0;
  uint16_t id = 0;
  uint16_t flags = kDefaultFlags;
  std::string name;
  // Position of the data in the container's stream (header position + 76); 0 when made in memory.
  uint64_t dataOffset = 0;

  bool IsLittleEndian() const { return (flags & kFlagLittleEndian) != 0; }
  // True once the buffer holds the chunk's data: always for a chunk made in memory; a chunk read
  // from a file becomes loaded when its container loads it or when it is written to.
  bool IsLoaded() const { return loaded_; }

  // Buffer state.
  // The data length; for a chunk not loaded yet, the length its header declares.
  size_t Size() const { return loaded_ ? size_ : pendingSize_; }
  size_t Capacity() const { return capacity_; }
  size_t Cursor() const { return cursor_; }
  size_t Remaining() const { return size_ - cursor_; }
  // Never null; valid until the next write or load.
  const uint8_t* Data() const { return data_; }
  std::string_view View() const { return {reinterpret_cast<const char*>(data_), size_}; }

  void Rewind() { cursor_ = 0; }
  // Moves the cursor; fails when the position lies beyond the data.
  bool SetCursor(size_t position);

  // Reads (little-endian for multi-byte values; all fail without moving the cursor).
  // The small reads are inline: decoders call them for every field.
  bool Read(void* out, size_t n) {
    if (n > size_ - cursor_) return false;
    if (n) std::memcpy(out, data_ + cursor_, n);
    cursor_ += n;
    return true;
  }
  bool ReadU8(uint8_t& v) {
    if (cursor_ >= size_) return false;
    v = data_[cursor_++];
    return true;
  }
  bool ReadU16(uint16_t& v) {
    if (size_ - cursor_ < 2) return false;
    v = LoadU16LE(data_ + cursor_);
    cursor_ += 2;
    return true;
  }
  bool ReadU32(uint32_t& v) {
    if (size_ - cursor_ < 4) return false;
    v = LoadU32LE(data_ + cursor_);
    cursor_ += 4;
    return true;
  }
  bool ReadI16(int16_t& v) {
    uint16_t u;
    if (!ReadU16(u)) return false;
    v = static_cast<int16_t>(u);
    return true;
  }
  bool ReadI32(int32_t& v) {
    uint32_t u;
    if (!ReadU32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  // Text up to the next zero, which must lie within the data; the cursor moves past the zero.
  bool ReadZString(std::string& text);
  // The same without a copy: the view points into the data (valid until the next write or load).
  bool ReadZStringView(std::string_view& text) {
    if (cursor_ >= size_) return false;
    const uint8_t* begin = data_ + cursor_;
    const size_t left = size_ - cursor_;
    // Empty texts are common (descriptions mostly are).
    const size_t length = *begin == 0 ? 0 : FindZero(begin, left);
    if (length == left) return false;  // no zero within the data
    text = {reinterpret_cast<const char*>(begin), length};
    cursor_ += length + 1;
    return true;
  }
  // n bytes; the text ends at the first zero within them.
  bool ReadFixedString(size_t n, std::string& text);
  bool Skip(size_t n) {
    if (n > size_ - cursor_) return false;
    cursor_ += n;
    return true;
  }

  // Writes at the cursor; fail only when memory runs out, leaving the buffer as it was.
  bool Write(const void* in, size_t n);
  bool WriteU8(uint8_t v) { return Write(&v, 1); }
  bool WriteU16(uint16_t v);
  bool WriteU32(uint32_t v);
  bool WriteI16(int16_t v) { return WriteU16(static_cast<uint16_t>(v)); }
  bool WriteI32(int32_t v) { return WriteU32(static_cast<uint32_t>(v)); }
  // The bytes then one zero byte.
  bool WriteZString(std::string_view text);

  // Sets the data size (growing the capacity to a multiple of 64); pulls the cursor back if needed.
  // Writing or sizing makes the buffer the chunk's data, so the chunk counts as loaded from then on.
  bool SetSize(size_t n);

  // Replaces the whole data with a copy of the bytes; cursor 0; marks the chunk loaded.
  bool Assign(const void* in, size_t n);

 private:
  friend class IffFile;
  // Drops the buffer and marks the chunk not loaded.
  void Unload();
  // Makes the buffer an owned block of at least newCapacity bytes holding the data (an owned block
  // keeps all its old bytes; data read in place is copied, the rest zeroed). Fails when memory runs out.
  bool Reserve(size_t newCapacity);
  // Allocates a fresh buffer of at least n bytes for a load; old contents are dropped.
  bool AllocateForLoad(size_t n);
  // Loaded data read in place from `bytes`, which `owner` keeps alive.
  void Borrow(const uint8_t* bytes, size_t n, std::shared_ptr<const void> owner);

  static const uint8_t kNoData[1];
  // Position of the first zero byte among the n at p, or n; reads none past them.
  static size_t FindZero(const uint8_t* p, size_t n);

  std::unique_ptr<uint8_t[]> own_;       // the owned block, capacity_ bytes; null until needed
  const uint8_t* data_ = kNoData;        // own_, borrowed bytes, or kNoData
  std::shared_ptr<const void> borrowed_;  // keeps borrowed bytes alive
  size_t capacity_ = 64;  // the owned block's size, or the size the first write will allocate
  size_t size_ = 0;
  size_t cursor_ = 0;
  bool loaded_ = true;
  // Data length declared by the header while the data is not loaded (the buffer is then empty).
  size_t pendingSize_ = 0;
};

}  // namespace scrivet
