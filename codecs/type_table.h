#pragma once
// The one table of resource types. A type's row names the chunk types its class serves, the class,
// the code the class reports through GetType, and its readable report. Creating and opening a
// resource, describing it and checking its round trip all look the row up; adding a type is
// adding its row.

#include <memory>
#include <span>
#include <string>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct ModelNode;

struct ResourceType {
  // Empty for the raw-data class, which serves every chunk type without a row of its own.
  std::span<const TypeCode> chunkTypes;
  TypeCode reported = 0;
  std::unique_ptr<IffResource> (*create)() = nullptr;
  // The model as a tree keyed by its field names; null for classes without a readable model.
  // Both report functions fail for a resource that is not of the row's class.
  bool (*describe)(const IffResource&, ModelNode&) = nullptr;
  // A text form of its own; null when the tree's generic text serves.
  bool (*text)(const IffResource&, std::string&) = nullptr;
  // The class serves readable reports only: everything else (opening, editing, round-trip
  // checks) takes chunks of these types as raw bytes, so a palette still opens in the hex editor.
  bool reportOnly = false;
};

// Every registered row, the raw-data class first.
std::span<const ResourceType> RegisteredTypes();

// The row of the class that serves the chunk type: the raw-data row for any other type (and for
// the types of report-only rows).
const ResourceType& TypeFor(TypeCode chunkType);

// The row of the class whose GetType reports `reported`; null when no registered class does.
const ResourceType* FindReportedType(TypeCode reported);

// The row whose class reads the chunk type for a readable report: as TypeFor, but report-only
// rows count too.
const ResourceType& ReadableTypeFor(TypeCode chunkType);

// A new resource object of the class registered for the chunk type (ResourceData for any other).
std::unique_ptr<IffResource> CreateResourceForType(TypeCode chunkType);

// The code the class reports through GetType (`DATA` for types without a class of their own).
TypeCode ReportedTypeFor(TypeCode chunkType);

}  // namespace scrivet
