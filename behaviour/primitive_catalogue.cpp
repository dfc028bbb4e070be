#include "behaviour/primitive_catalogue.h"

#include <memory>
#include <utility>

#include "core/stream.h"

namespace scrivet {

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

namespace {

// Drops comment lines (first character ";") and joins the rest with nothing between them.
// Line breaks of any kind end a line; empty lines contribute nothing.
std::string JoinLines(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (end > pos && text[pos] != ';') joined.append(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return joined;
}

void SkipSpaces(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

// Reads an optionally signed decimal number; leaves `value` alone when there are no digits.
void ReadCount(std::string_view text, size_t& pos, int32_t& value) {
  size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
    negative = text[p] == '-';
    ++p;
  }
  if (p >= text.size() || text[p] < '0' || text[p] > '9') return;
  int64_t n = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
    // Saturate: a count this large can never match a call anyway.
    if (n < INT32_MAX) n = n * 10 + (text[p] - '0');
    ++p;
  }
  if (n > INT32_MAX) n = INT32_MAX;
  value = static_cast<int32_t>(negative ? -n : n);
  pos = p;
}

bool ParseEntries(std::string_view text, std::vector<ScriptSubroutine>& out) {
  size_t pos = 0;
  while (true) {
    size_t open = text.find('(', pos);
    if (open == std::string_view::npos) return true;  // trailing text without "(" is ignored
    ScriptSubroutine entry;
    entry.name.assign(text.substr(pos, open - pos));
    pos = open + 1;
    ReadCount(text, pos, entry.parameterCount);
    size_t close = text.find(')', pos);
    if (close == std::string_view::npos) return false;
    pos = close + 1;
    SkipSpaces(text, pos);
    if (pos >= text.size()) return false;  // a name and count with no body
    // The body ends at the first ";" not directly preceded by a backslash.
    size_t end = pos;
    while (true) {
      end = text.find(';', end);
      if (end == std::string_view::npos) return true;  // unterminated last entry is dropped
      if (end == pos || text[end - 1] != '\\') break;
      ++end;
    }
    entry.body.reserve(end - pos + 1);
    entry.body.assign(text.substr(pos, end - pos));
    entry.body.push_back(';');
    out.push_back(std::move(entry));
    pos = end + 1;
    SkipSpaces(text, pos);
  }
}

}  // namespace

bool PrimitiveCatalogue::Load(std::string_view text) {
  std::vector<ScriptSubroutine> parsed;
  if (!ParseEntries(JoinLines(text), parsed)) return false;
  subroutines_ = std::move(parsed);
  RebuildIndex();
  return true;
}

bool PrimitiveCatalogue::Load(Stream& stream) {
  uint64_t length = stream.Length();
  if (length > SIZE_MAX / 2 || !stream.Seek(0)) return false;
  std::string text;
  text.resize(static_cast<size_t>(length));
  if (!stream.ReadExact(text.data(), text.size())) return false;
  return Load(std::string_view(text));
}

void PrimitiveCatalogue::RebuildIndex() {
  index_.clear();
  for (size_t i = 0; i < subroutines_.size(); ++i) index_.emplace(ToLowerAscii(subroutines_[i].name), i);
}

const ScriptSubroutine* PrimitiveCatalogue::FindSubroutine(std::string_view name) const {
  auto it = index_.find(ToLowerAscii(name));
  return it == index_.end() ? nullptr : &subroutines_[it->second];
}

BehaviourError PrimitiveCatalogue::LoadAtStartup(const std::filesystem::path& path) {
  scriptReady = false;
  std::unique_ptr<FileStream> file = FileStream::Open(path, FileStream::Mode::Read);
  if (!file) return BehaviourError::CantOpenScript;
  if (!Load(*file)) return BehaviourError::ScriptParseError;
  if (!FindSubroutine("main")) return BehaviourError::NoMain;
  scriptReady = true;
  return BehaviourError::None;
}

BehaviourError PrimitiveCatalogue::LoadCustom(const std::filesystem::path& path) {
  std::unique_ptr<FileStream> file = FileStream::Open(path, FileStream::Mode::Read);
  if (!file) return BehaviourError::CantOpenScript;
  std::vector<ScriptSubroutine> saved = subroutines_;
  const bool loaded = Load(*file);
  // Either way the catalogue is marked ready: the new script is in use, or the previous one is
  // put back as it was.
  scriptReady = true;
  if (loaded && FindSubroutine("main")) return BehaviourError::None;
  subroutines_ = std::move(saved);
  RebuildIndex();
  return loaded ? BehaviourError::NoMain : BehaviourError::ScriptParseError;
}

}  // namespace scrivet
