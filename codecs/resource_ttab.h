#pragma once
// TTAB: an object's interaction table (pie-menu entries with their trees and advertisements).
// Every layout version is read; version 9 with field encoding is always written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct Advertisement {
  int16_t min = 0;
  int16_t max = 0;
  int16_t personality = 0;
  bool operator==(const Advertisement&) const = default;
};

struct Interaction {
  static constexpr size_t kAdvertisementCount = 16;

  // Flag bits.
  static constexpr uint32_t kFlagVisitors = 0x0001;
  static constexpr uint32_t kFlagJoinable = 0x0002;
  static constexpr uint32_t kFlagConsecutive = 0x0008;
  static constexpr uint32_t kFlagNotChildren = 0x0010;
  static constexpr uint32_t kFlagNotAdults = 0x0040;
  static constexpr uint32_t kFlagAutoFirst = 0x0100;
  static constexpr uint32_t kFlagCats = 0x0200;
  static constexpr uint32_t kFlagDogs = 0x0400;

  uint16_t actionFunction = 0;
  uint16_t checkFunction = 0;
  uint32_t motiveCount = 0;
  uint32_t flags = 0;
  uint32_t textIndex = 0;
  uint32_t attenuationCode = 1;  // 0 custom, 1 none, 2 low, 3 medium, 4 high
  uint32_t attenuationValue = 0;  // bits of a 32-bit float
  uint32_t attenuationThreshold = 0;
  int32_t joinIndex = -1;
  std::array<Advertisement, kAdvertisementCount> advertisements{};
  std::string name;  // version 7 only

  bool operator==(const Interaction&) const = default;
};

// Names of the motive slots the editor shows (null for the unnamed ones).
extern const std::array<const char*, Interaction::kAdvertisementCount> kAdvertisementNames;

class ResourceTtab : public ResourceOf<ResourceTtab> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("TTAB");
  static constexpr uint16_t kWrittenVersion = 9;

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  // False only when there are more interactions than the 16-bit count can say.
  bool Encode() override;

  bool ModelEquals(const ResourceTtab& other) const;

  uint16_t version = kWrittenVersion;
  std::vector<Interaction> interactions;
};

}  // namespace scrivet
