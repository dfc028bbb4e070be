#pragma once
// The one table that maps a chunk's type code to its resource class. It serves both creating a
// new resource and opening an existing one.

#include <memory>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

// A new resource object of the class registered for the chunk type (ResourceData for any other).
std::unique_ptr<IffResource> CreateResourceForType(TypeCode chunkType);

// The code the class reports through GetType (`DATA` for types without a class of their own).
TypeCode ReportedTypeFor(TypeCode chunkType);

}  // namespace scrivet
