#pragma once
// The process-wide behaviour catalogues, filled at start-up.

namespace scrivet {

class PrimitiveCatalogue;
class FunctionCatalogue;

PrimitiveCatalogue& Primitives();
FunctionCatalogue& Functions();

}  // namespace scrivet
