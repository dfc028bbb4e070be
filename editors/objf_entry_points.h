#pragma once
// What each of the 31 entry points of an object's function table is for, as the function table
// editor explains them.

#include <QString>
#include <cstddef>

namespace scrivet {

// "No description." for an index that names no entry point.
QString EntryPointDescription(size_t index);

}  // namespace scrivet
