#pragma once
// Loading the behaviour catalogues at start-up, and finding files of a game folder whose
// spelling of upper and lower case may differ from the one the program asks for.

#include <filesystem>
#include <string_view>

#include "behaviour/primitive_catalogue.h"

namespace scrivet {

class FunctionCatalogue;

// `relative` is a path below `base` with components separated by backslashes or slashes. Each
// component is taken as written when it exists, else the first entry of the folder whose name
// matches it ignoring case; when neither exists the rest is kept as written.
std::filesystem::path ResolvePathIgnoringCase(const std::filesystem::path& base, std::string_view relative);

// The start-up sequence: the game's behaviour file, then its global folder, then the script.
// Without the behaviour file nothing else is loaded and the script is not ready. Messages go to
// `report`. Returns scriptReady.
bool LoadBehaviourCatalogues(const std::filesystem::path& gameFolder, const std::filesystem::path& scriptPath,
                             FunctionCatalogue& functions, PrimitiveCatalogue& primitives,
                             const MessageCallback& report);

}  // namespace scrivet
