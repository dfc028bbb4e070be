#pragma once
// BCON: a list of 16-bit constants used by behaviour code.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

class ResourceBcon : public ResourceOf<ResourceBcon> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("BCON");
  // The count shares its word with the editable bit.
  static constexpr size_t kMaxValues = 0x7FFF;

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  // False when there are more values than the count can say.
  bool Encode() override;

  bool GetValue(size_t index, int16_t& value) const;
  // Beyond the end the list grows with zeros up to the index; false past the largest count.
  bool SetValue(size_t index, int16_t value);
  bool RemoveValue(size_t index);

  bool ModelEquals(const ResourceBcon& other) const {
    return editable == other.editable && values == other.values;
  }

  bool editable = false;
  std::vector<int16_t> values;
};

}  // namespace scrivet
