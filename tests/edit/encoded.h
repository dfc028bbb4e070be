// The bytes a resource writes, for byte-exact comparisons after edits and undo.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

namespace scrivet {

template <class R>
std::vector<uint8_t> Encoded(const R& resource) {
  std::vector<uint8_t> bytes;
  if constexpr (std::is_copy_constructible_v<R>) {
    R copy = resource;  // encoding may tidy the resource; the original stays as it was
    EXPECT_TRUE(copy.EncodeToBytes(bytes));
  } else {
    R copy;
    copy.CopyFrom(resource);
    EXPECT_TRUE(copy.EncodeToBytes(bytes));
  }
  return bytes;
}

}  // namespace scrivet
