#pragma once
// Field encoding: variable-width, sign-extended numbers packed most significant bit first.
// Each value is a presence bit (0 = zero), then a 2-bit width code and the value's bits.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scrivet {

class FieldDecoder {
 public:
  FieldDecoder() = default;
  FieldDecoder(const uint8_t* data, size_t length) { Start(data, length); }

  void Start(const uint8_t* data, size_t length);
  // Bits past the end of the data read as 0.
  int ReadBit();
  int32_t ReadValue32();
  int16_t ReadValue16();
  // Bytes fetched so far (a byte counts once its first bit is read); one more than the length
  // once a read has run past the end.
  size_t BytesConsumed() const { return position_; }
  // True once a bit beyond the data has been asked for.
  bool Exhausted() const { return exhausted_; }

 private:
  uint32_t ReadBits(int count);

  const uint8_t* data_ = nullptr;
  size_t length_ = 0;
  size_t position_ = 0;
  uint8_t current_ = 0;
  uint8_t mask_ = 0;
  bool exhausted_ = false;
};

class FieldEncoder {
 public:
  FieldEncoder() = default;
  explicit FieldEncoder(std::vector<uint8_t>& sink) { Start(sink); }

  void Start(std::vector<uint8_t>& sink);
  void WriteBit(int bit);
  void WriteValue32(int32_t value);
  void WriteValue16(int16_t value);
  // Emits a pending partial byte (unused low bits zero).
  void Flush();

 private:
  void WriteBits(uint32_t value, int count);

  std::vector<uint8_t>* sink_ = nullptr;
  uint8_t current_ = 0;
  uint8_t mask_ = 0x80;
};

}  // namespace scrivet
