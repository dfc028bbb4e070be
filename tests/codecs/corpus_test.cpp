// Walks the real game files when they are present: every chunk of a type with a codec here must
// decode (the online game's files may fail, cleanly), and the round-trip counts are printed.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "codecs/resource_report.h"
#include "core/iff_file.h"

namespace scrivet {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kCodecTypes = {"STR#", "TTAs", "CTSS", "FAMs", "BHAV", "TTAB",
                                           "OBJD", "OBJf", "CARR", "BCON", "FWAV", "GLOB", "TRCN"};

struct Tally {
  int decoded = 0;
  int failed = 0;
  int identical = 0;
};

bool LooksLikeIff(const fs::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char magic[8] = {};
  size_t n = std::fread(magic, 1, 8, f);
  std::fclose(f);
  return n == 8 && std::string(magic, 8) == "IFF FILE";
}

TEST(Corpus, EveryCodecChunkOfTheDesktopGameDecodes) {
  const fs::path root = SCRIVET_CORPUS_DIR;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) GTEST_SKIP() << "no corpus at " << root;

  std::map<std::string, Tally> desktop, online;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    if (!entry.is_regular_file() || !LooksLikeIff(entry.path())) continue;
    const bool isOnline = entry.path().string().find("riperiperi+FreeSO") != std::string::npos;
    CoreFailure failure;
    auto file = IffFile::OpenPath(entry.path(), &failure);
    if (!file || failure.error != CoreError::None) continue;
    ++files;
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      const std::string type = TypeCodeToString(chunk.type);
      if (!kCodecTypes.count(type) || !file->LoadChunkData(chunk)) continue;
      ChunkCheck check = CheckChunk(chunk);
      Tally& tally = (isOnline ? online : desktop)[type];
      if (check.status == ChunkCheck::Status::kDecodeFailed) {
        ++tally.failed;
        if (!isOnline)
          ADD_FAILURE() << entry.path().filename() << ": " << type << " " << chunk.id << " does not decode";
        continue;
      }
      ++tally.decoded;
      if (check.status == ChunkCheck::Status::kIdentical) ++tally.identical;
    }
  }
  ASSERT_GT(files, 0);
  auto print = [](const char* title, const std::map<std::string, Tally>& tallies) {
    std::printf("%s\n", title);
    for (const auto& [type, t] : tallies)
      std::printf("  %s: decoded %d, failed %d, re-encoded identical %d\n", type.c_str(), t.decoded, t.failed,
                  t.identical);
  };
  std::printf("%d IFF files\n", files);
  print("desktop game files:", desktop);
  print("online game files (may fail):", online);
}

}  // namespace
}  // namespace scrivet
