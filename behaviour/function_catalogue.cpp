#include "behaviour/function_catalogue.h"

#include <memory>
#include <system_error>
#include <utility>

#include "codecs/resource_bhav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_str.h"
#include "core/far_archive.h"
#include "core/iff_file.h"
#include "core/stream.h"

namespace scrivet {

namespace {

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

void FunctionList::FillFrom(const IffFile& file, std::string newLabel) {
  label = std::move(newLabel);
  entries.clear();
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    const IffChunk& chunk = file.ChunkAt(i);
    if (chunk.type == ResourceBhav::kType) entries.push_back({chunk.name, chunk.id});
  }
}

std::string FileBaseName(std::string_view fileName) {
  std::string base = ToUpperAscii(fileName);
  size_t slash = base.find_last_of("\\/");
  if (slash != std::string::npos) base.erase(0, slash + 1);
  size_t extension = base.find(".IFF");
  if (extension != std::string::npos) base.erase(extension);
  return base;
}

FunctionCatalogue::FunctionCatalogue() = default;
FunctionCatalogue::~FunctionCatalogue() = default;

bool FunctionCatalogue::LoadBehaviourFile(const std::filesystem::path& path) {
  strings_.clear();
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  std::unique_ptr<IffFile> file = IffFile::AttachMemoryCopy(MemoryStream(std::move(bytes)));
  if (!file || !file->ReadDirectory() || !file->LoadAll()) return false;
  // The file never changes after this, so its string tables are decoded once for fast lookups.
  for (size_t i = 0; i < file->ChunkCount(); ++i) {
    IffChunk& chunk = file->ChunkAt(i);
    if (chunk.type != ResourceStr::kType || strings_.count(chunk.id)) continue;
    ResourceStr table;
    if (!table.Load(*file, chunk)) continue;
    std::vector<std::string>& values = strings_[chunk.id];
    values.reserve(table.items.size());
    for (const StringItem& item : table.items) values.push_back(item.slots[0].value.str());
  }
  return true;
}

void FunctionCatalogue::AddFromContainer(const IffFile& file, const std::string& upperName) {
  if (upperName.size() >= 10 && EndsWith(upperName, "GLOBAL.IFF")) {
    global_.FillFrom(file, "Global");
    return;
  }
  std::string label = FileBaseName(upperName);
  if (FindSemiGlobalList(label)) return;
  FunctionList list;
  list.FillFrom(file, std::move(label));
  semiGlobals_.push_back(std::move(list));
}

void FunctionCatalogue::LoadGlobalFolder(const std::filesystem::path& folder) {
  semiGlobals_.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) return;
    const std::filesystem::directory_entry& entry = *it;
    std::error_code typeError;
    if (!entry.is_regular_file(typeError) || typeError) continue;
    std::string upperName = ToUpperAscii(entry.path().filename().string());
    if (EndsWith(upperName, ".FAR")) {
      FarArchive archive;
      if (!archive.OpenPath(entry.path())) continue;
      for (FarEntry& member : archive.Entries()) {
        std::string memberName = ToUpperAscii(member.name);
        if (!EndsWith(memberName, ".IFF") || !archive.LoadEntryData(member)) continue;
        const std::vector<uint8_t>& data = archive.EntryData(member);
        std::unique_ptr<IffFile> file = IffFile::AttachMemoryCopy(MemoryStream(data.data(), data.size()));
        if (file && file->ReadDirectory()) AddFromContainer(*file, memberName);
      }
    } else if (EndsWith(upperName, ".IFF")) {
      CoreFailure failure;
      std::unique_ptr<IffFile> file = IffFile::OpenPath(entry.path(), &failure);
      if (file && failure.error == CoreError::None) AddFromContainer(*file, upperName);
    }
  }
}

const FunctionListEntry* FunctionCatalogue::FindEntry(const FunctionList& list, uint16_t id) {
  for (const FunctionListEntry& entry : list.entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

const FunctionList* FunctionCatalogue::FindSemiGlobalList(std::string_view semiGlobalName) const {
  if (semiGlobalName.empty()) return nullptr;
  std::string base = FileBaseName(semiGlobalName);
  for (const FunctionList& list : semiGlobals_) {
    if (list.label.find(base) != std::string::npos) return &list;
  }
  return nullptr;
}

const std::string* FunctionCatalogue::FindString(uint16_t id, uint16_t index) const {
  auto table = strings_.find(id);
  if (table == strings_.end() || index >= table->second.size()) return nullptr;
  return &table->second[index];
}

FunctionList PrivateFunctions(const IffFile& file) {
  FunctionList list;
  list.FillFrom(file, "Private");
  return list;
}

std::string SemiGlobalName(IffFile& file) {
  size_t position = file.FirstOfType(ResourceGlob::kType);
  if (position == IffFile::npos) return {};
  ResourceGlob glob;
  return glob.Load(file, file.ChunkAt(position)) ? glob.fileName : std::string();
}

}  // namespace scrivet
