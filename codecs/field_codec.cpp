#include "codecs/field_codec.h"

namespace scrivet {

namespace {

constexpr int kWidths32[4] = {6, 11, 21, 32};
constexpr int kWidths16[4] = {5, 8, 13, 16};

int32_t SignExtend(uint32_t bits, int width) {
  if (width >= 32) return static_cast<int32_t>(bits);
  const uint32_t sign = uint32_t(1) << (width - 1);
  return static_cast<int32_t>((bits ^ sign) - sign);
}

// Smallest width code whose signed range holds the value.
int WidthCode(int32_t value, const int (&widths)[4]) {
  for (int code = 0; code < 3; ++code) {
    const int64_t limit = int64_t(1) << (widths[code] - 1);
    if (value >= -limit && value < limit) return code;
  }
  return 3;
}

}  // namespace

void FieldDecoder::Start(const uint8_t* data, size_t length) {
  data_ = data;
  length_ = data ? length : 0;
  position_ = 0;
  current_ = 0;
  mask_ = 0;
  exhausted_ = false;
}

int FieldDecoder::ReadBit() {
  if (exhausted_) return 0;
  if (mask_ == 0) {
    if (position_ >= length_) {
      exhausted_ = true;
      ++position_;
      return 0;
    }
    current_ = data_[position_++];
    mask_ = 0x80;
  }
  const int bit = (current_ & mask_) ? 1 : 0;
  mask_ >>= 1;
  return bit;
}

uint32_t FieldDecoder::ReadBits(int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 1) | uint32_t(ReadBit());
  return value;
}

int32_t FieldDecoder::ReadValue32() {
  if (!ReadBit()) return 0;
  const int width = kWidths32[ReadBits(2)];
  return SignExtend(ReadBits(width), width);
}

int16_t FieldDecoder::ReadValue16() {
  if (!ReadBit()) return 0;
  const int width = kWidths16[ReadBits(2)];
  return static_cast<int16_t>(SignExtend(ReadBits(width), width));
}

void FieldEncoder::Start(std::vector<uint8_t>& sink) {
  sink_ = &sink;
  current_ = 0;
  mask_ = 0x80;
}

void FieldEncoder::WriteBit(int bit) {
  if (bit) current_ |= mask_;
  mask_ >>= 1;
  if (mask_ == 0) {
    sink_->push_back(current_);
    current_ = 0;
    mask_ = 0x80;
  }
}

void FieldEncoder::WriteBits(uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) WriteBit((value >> i) & 1);
}

void FieldEncoder::WriteValue32(int32_t value) {
  if (value == 0) {
    WriteBit(0);
    return;
  }
  const int code = WidthCode(value, kWidths32);
  WriteBit(1);
  WriteBits(uint32_t(code), 2);
  WriteBits(static_cast<uint32_t>(value), kWidths32[code]);
}

void FieldEncoder::WriteValue16(int16_t value) {
  if (value == 0) {
    WriteBit(0);
    return;
  }
  const int code = WidthCode(value, kWidths16);
  WriteBit(1);
  WriteBits(uint32_t(code), 2);
  WriteBits(static_cast<uint16_t>(value), kWidths16[code]);
}

void FieldEncoder::Flush() {
  if (mask_ != 0x80) sink_->push_back(current_);
  current_ = 0;
  mask_ = 0x80;
}

}  // namespace scrivet
