#pragma once
// GLOB: the name of the semi-global file whose behaviour functions an object uses.

#include <string>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class ResourceGlob : public ResourceOf<ResourceGlob> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("GLOB");
  // Data of this length holds a length-prefixed name instead of a terminated one.
  static constexpr size_t kPrefixedBlockSize = 256;

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  bool Encode() override;

  bool ModelEquals(const ResourceGlob& other) const { return fileName == other.fileName; }

  std::string fileName;
};

}  // namespace scrivet
