#include "behaviour/behaviour_startup.h"

#include <string>
#include <system_error>


namespace scrivet {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

}  // namespace

std::filesystem::path ResolvePathIgnoringCase(const std::filesystem::path& base, std::string_view relative) {
  std::filesystem::path resolved = base;
  bool searching = true;
  size_t pos = 0;
  while (pos <= relative.size()) {
    size_t end = relative.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = relative.size();
    std::string_view component = relative.substr(pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") continue;
    std::error_code ec;
    std::filesystem::path exact = resolved / std::string(component);
    if (!searching || std::filesystem::exists(exact, ec)) {
      resolved = exact;
      continue;
    }
    std::filesystem::path match;
    for (std::filesystem::directory_iterator it(resolved, ec), last; !ec && it != last; it.increment(ec)) {
      if (SameIgnoringCase(it->path().filename().string(), component)) {
        match = it->path();
        break;
      }
    }
    if (match.empty()) {
      searching = false;  // nothing below a missing component can be found
      resolved = exact;
    } else {
      resolved = match;
    }
  }
  return resolved;
}

BehaviourError LoadBehaviourCatalogues(const std::filesystem::path& gameFolder, const std::filesystem::path& scriptPath,
                                       BehaviourCatalogues& catalogues) {
  catalogues.primitives.scriptReady = false;
  if (gameFolder.empty() ||
      !catalogues.functions.LoadBehaviourFile(ResolvePathIgnoringCase(gameFolder, "GameData\\Behavior.iff")))
    return BehaviourError::NoBehaviourFile;
  catalogues.functions.LoadGlobalFolder(ResolvePathIgnoringCase(gameFolder, "GameData\\Global\\"));
  return catalogues.primitives.LoadAtStartup(scriptPath);
}

}  // namespace scrivet
