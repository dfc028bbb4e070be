#pragma once
// Loading the behaviour catalogues at start-up, and finding files of a game folder whose
// spelling of upper and lower case may differ from the one the program asks for.

#include <filesystem>
#include <string_view>

#include "behaviour/behaviour_error.h"
#include "behaviour/function_catalogue.h"
#include "behaviour/primitive_catalogue.h"

namespace scrivet {

// What behaviour text needs from the game and from script.txt, loaded once at start-up.
struct BehaviourCatalogues {
  PrimitiveCatalogue primitives;
  FunctionCatalogue functions;
};

// `relative` is a path below `base` with components separated by backslashes or slashes. Each
// component is taken as written when it exists, else the first entry of the folder whose name
// matches it ignoring case; when neither exists the rest is kept as written.
std::filesystem::path ResolvePathIgnoringCase(const std::filesystem::path& base, std::string_view relative);

// The start-up sequence: the game's behaviour file, then its global folder, then the script.
// Without the behaviour file nothing else is loaded and the script is not ready. None when the
// script is ready; otherwise the one failure to report.
BehaviourError LoadBehaviourCatalogues(const std::filesystem::path& gameFolder, const std::filesystem::path& scriptPath,
                                       BehaviourCatalogues& catalogues);

}  // namespace scrivet
