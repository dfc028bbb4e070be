#pragma once
// PALT: a table of up to 256 RGB colours used by the sprites of the same file.

#include <array>
#include <cstdint>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class IffFile;

class ResourcePalt : public ResourceOf<ResourcePalt> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("PALT");
  static constexpr size_t kEncodedSize = 16 + 256 * 3;

  ResourcePalt();

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  // Takes n BMP colour-table entries (blue, green, red, unused); clears the rest of the table.
  void SetFromQuads(const uint8_t* entries, size_t n);
  // Version, count and all 768 table bytes, also those past the count.
  bool Equals(const ResourcePalt& other) const;
  // Id of the first PALT of the file (in chunk order) that decodes and Equals this one; -1 if none.
  int FindMatchingPalette(IffFile* file) const;
  // What the rasterizers accept: version 1 with 256 colours.
  bool IsDrawable() const { return version == 1 && colorCount == 256; }

  uint32_t version = 1;
  uint32_t colorCount = 256;
  uint32_t reserved1 = 0;
  uint32_t reserved2 = 0;
  std::array<uint8_t, 256 * 3> colors{};
};

// Finds and decodes the PALT with the id; false when it is missing or does not decode.
bool LoadPalette(IffFile& file, uint16_t id, ResourcePalt& palette);

}  // namespace scrivet
