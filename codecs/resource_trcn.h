#pragma once
// TRCN: the game's labels for the constants of the BCON with the same id (entry i names constant
// i). Read only: the entries are decoded for display and for reports, and Encode writes back the
// bytes that were read, so a table that was never decoded here is never rewritten wrongly.

#include <cstdint>
#include <string>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct ConstantLabel {
  uint32_t used = 0;  // 1 in the makers' tables, 0 in the online game's
  uint32_t id = 0;
  std::string label;
  std::string comment;
  uint8_t rangeEnabled = 0;
  int16_t low = 0;
  int16_t high = 0;
  bool operator==(const ConstantLabel&) const = default;
};

class ResourceTrcn : public ResourceOf<ResourceTrcn> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("TRCN");
  static constexpr uint32_t kMagic = 0x5452434E;  // the bytes "NCRT"

  TypeCode GetType() const override { return kType; }
  // Versions 1 (zero-terminated texts, each padded to an even position) and 2 (texts with a
  // length byte). The magic may also be four zero bytes, as the online game writes it.
  bool Decode() override;
  // The bytes read; a new table writes an empty version-1 table.
  bool Encode() override;

  bool ModelEquals(const ResourceTrcn& other) const { return version == other.version && entries == other.entries; }

  uint32_t version = 1;
  std::vector<ConstantLabel> entries;
  std::vector<uint8_t> bytes;  // what Decode read, written back by Encode
};

}  // namespace scrivet
