#pragma once
// The process-wide behaviour catalogues, filled at start-up (available when the behaviour
// library is part of the build).

namespace scrivet {

class PrimitiveCatalogue;
class FunctionCatalogue;

PrimitiveCatalogue& Primitives();
FunctionCatalogue& Functions();

}  // namespace scrivet
