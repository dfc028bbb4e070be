#pragma once
// FWAV: the name of a sound that behaviour code plays.

#include <string>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class ResourceFwav : public ResourceOf<ResourceFwav> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("FWAV");

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  bool ModelEquals(const ResourceFwav& other) const { return soundName == other.soundName; }

  std::string soundName;
};

}  // namespace scrivet
