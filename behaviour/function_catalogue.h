#pragma once
// Names of behaviour functions: the game's behaviour file (whose string tables name the
// primitives) and the global and semi-global routines of the game's global folder. The private
// routines belong to the file being edited: its document keeps them (PrivateFunctions).

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace scrivet {

class IffFile;

struct FunctionListEntry {
  std::string name;
  uint16_t id = 0;
};

struct FunctionList {
  std::string label;
  std::vector<FunctionListEntry> entries;

  // Empties the list, labels it and appends every BHAV of the container in container order.
  void FillFrom(const IffFile& file, std::string newLabel);
};

// Upper-cased name without any folder part (up to the last backslash or slash) and without
// everything from the first ".IFF" on: ...\PeopleGlobals.iff gives PEOPLEGLOBALS.
std::string FileBaseName(std::string_view fileName);

class FunctionCatalogue {
 public:
  static constexpr uint16_t kPrimitiveNamesId = 139;

  FunctionCatalogue();
  ~FunctionCatalogue();
  FunctionCatalogue(const FunctionCatalogue&) = delete;
  FunctionCatalogue& operator=(const FunctionCatalogue&) = delete;

  // Reads the game's behaviour file and keeps the texts of its string tables.
  bool LoadBehaviourFile(const std::filesystem::path& path);
  // Fills the global list and the semi-global lists from the folder's IFF files and the IFF
  // entries of its FAR archives. A missing folder or unreadable files give partial lists.
  void LoadGlobalFolder(const std::filesystem::path& folder);

  static const FunctionListEntry* FindEntry(const FunctionList& list, uint16_t id);
  // The first semi-global list whose label contains FileBaseName(name); null for an empty name.
  const FunctionList* FindSemiGlobalList(std::string_view semiGlobalName) const;
  // String `index` in the first language of the behaviour file's STR# `id`; null when missing.
  const std::string* FindString(uint16_t id, uint16_t index) const;

  const FunctionList& GlobalList() const { return global_; }

 private:
  void AddFromContainer(const IffFile& file, const std::string& upperName);

  // First-language strings of each decodable STR# of the behaviour file: all that is looked up
  // in it, so the file itself is not kept.
  std::map<uint16_t, std::vector<std::string>> strings_;
  FunctionList global_;
  std::vector<FunctionList> semiGlobals_;
};

// The routines of a file, labelled "Private": what calls into the file itself are named by.
FunctionList PrivateFunctions(const IffFile& file);
// The semi-global file named by the file's first GLOB resource; empty when there is none.
std::string SemiGlobalName(IffFile& file);

}  // namespace scrivet
