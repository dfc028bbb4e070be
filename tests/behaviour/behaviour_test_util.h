#pragma once
// Helpers for the behaviour tests: temporary folders and IFF/FAR files built in code.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "codecs/resource_str.h"
#include "core/iff_file.h"
#include "core/stream.h"
#include "tools/far_writer.h"

namespace scrivet {

class TempFolder {
 public:
  TempFolder() { std::filesystem::create_directories(path_); }
  ~TempFolder() { std::filesystem::remove_all(path_, ec_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  static inline std::atomic<int> counter_{0};
  std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                ("scrivet_behaviour_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
  std::error_code ec_;
};

inline void WriteBytesFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteTextFile(const std::filesystem::path& path, const std::string& text) {
  WriteBytesFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Describes a small IFF file: BHAV identities (data is a bare empty routine) and STR# tables.
struct IffRecipe {
  std::vector<std::pair<uint16_t, std::string>> bhavs;
  std::vector<std::pair<uint16_t, std::vector<std::string>>> strings;
};

inline std::vector<uint8_t> BuildIff(const IffRecipe& recipe) {
  std::unique_ptr<IffFile> file = IffFile::CreateEmpty(false);
  const uint8_t emptyRoutine[12] = {0x02, 0x80};
  for (const auto& [id, name] : recipe.bhavs) {
    file->AddChunk(MakeTypeCode("BHAV"), id, name, emptyRoutine, sizeof emptyRoutine);
  }
  for (const auto& [id, values] : recipe.strings) {
    ResourceStr table;
    for (size_t i = 0; i < values.size(); ++i) table.SetString(i, 0, ResourceStr::kPartValue, values[i]);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(table.EncodeToBytes(bytes));
    file->AddChunk(ResourceStr::kType, id, "strings", bytes.data(), bytes.size());
  }
  MemoryStream out;
  EXPECT_TRUE(file->Write(&out));
  return out.Bytes();
}

}  // namespace scrivet
