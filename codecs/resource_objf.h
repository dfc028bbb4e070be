#pragma once
// OBJf: an object's function table, a check tree and an action tree for each of 31 entry points.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct FunctionEntry {
  uint16_t checkFunction = 0;
  uint16_t actionFunction = 0;
  bool operator==(const FunctionEntry&) const = default;
};

class ResourceObjf : public ResourceOf<ResourceObjf> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("OBJf");
  static constexpr size_t kEntryCount = 31;
  static constexpr uint32_t kMagic = 0x4F424A66;  // the bytes "fJBO"

  static const std::array<const char*, kEntryCount> kEntryNames;

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  bool ModelEquals(const ResourceObjf& other) const { return entries == other.entries; }

  std::array<FunctionEntry, kEntryCount> entries{};
};

}  // namespace scrivet
