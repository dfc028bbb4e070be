#pragma once
// OBJD: one tile of an object, a fixed 216-byte block of little-endian fields, listed through a
// catalogue of named fields.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

enum class ObjdDisplay : uint8_t { kNone, kDecimal, kHex };

struct ObjdField {
  const char* label;
  uint16_t offset;
  uint8_t size;  // 1, 2 or 4 bytes; 0 for a group heading ("--- ...")
  ObjdDisplay display;

  bool IsHeading() const { return size == 0; }
};

// The catalogue in display order.
std::span<const ObjdField> ObjdFieldCatalogue();

class ResourceObjd : public ResourceOf<ResourceObjd> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("OBJD");
  static constexpr size_t kBlockSize = 216;
  static constexpr uint32_t kNewVersion = 138;

  ResourceObjd();
  TypeCode GetType() const override { return kType; }
  // Only little-endian data is read; shorter data leaves the rest of the block as it was.
  bool Decode() override;
  bool Encode() override;

  // Unsigned little-endian value of `size` (1, 2 or 4) bytes at a block offset; false when it
  // does not lie within the block.
  bool ReadField(size_t offset, size_t size, uint32_t& value) const;
  bool WriteField(size_t offset, size_t size, uint32_t value);

  // The value a catalogue row shows: the signed word for 1- and 2-byte rows, the 32-bit value
  // for 4-byte rows.
  int32_t FieldValue(const ObjdField& field) const;
  // Text of a row's value in its display mode ("%d", "%4.4X" or "%8.8X").
  std::string FormatField(const ObjdField& field) const;
  // Stores a row's value; 1-byte rows write only the low byte.
  void SetFieldValue(const ObjdField& field, int32_t value);

  bool ModelEquals(const ResourceObjd& other) const { return block == other.block; }

  std::array<uint8_t, kBlockSize> block{};
};

}  // namespace scrivet
