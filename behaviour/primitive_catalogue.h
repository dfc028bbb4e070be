#pragma once
// The catalogue of script subroutines read from script.txt. The script describes how each
// behaviour instruction is printed; the formatter evaluates its `main` subroutine.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "behaviour/behaviour_error.h"

namespace scrivet {

class Stream;

struct ScriptSubroutine {
  std::string name;          // everything before the "(", not trimmed
  int32_t parameterCount = 0;
  std::string body;          // from the "=" on, with the terminating ";" appended

  // Where an arm that is not taken ends, by the position it starts at (0: not known yet).
  // Skipping computes nothing, so the end depends only on the text; remembering it keeps long
  // case tables cheap.
  mutable std::vector<uint32_t> skipEnds;
};

class PrimitiveCatalogue {
 public:
  // Parses script text; on success replaces the subroutine list. Looks for no subroutine.
  bool Load(std::string_view text);
  // Reads the whole stream from its start and parses it; a short read fails.
  bool Load(Stream& stream);

  // The first subroutine whose whole name matches, ignoring case; null when there is none.
  const ScriptSubroutine* FindSubroutine(std::string_view name) const;

  // Start-up: reads the script from `path`; scriptReady tells whether it is usable (None).
  BehaviourError LoadAtStartup(const std::filesystem::path& path);
  // The "Load custom script.txt" command: a failed load keeps the previous subroutines.
  // None when the new script is in use.
  BehaviourError LoadCustom(const std::filesystem::path& path);

  bool scriptReady = false;

 private:
  void RebuildIndex();

  std::vector<ScriptSubroutine> subroutines_;
  // Lower-cased name -> position of the first subroutine of that name.
  std::unordered_map<std::string, size_t> index_;
};

// ASCII lower-casing: names in scripts and files are compared byte-wise apart from case.
std::string ToLowerAscii(std::string_view text);

}  // namespace scrivet
