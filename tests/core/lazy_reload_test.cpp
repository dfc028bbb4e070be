#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/iff_file.h"

using namespace scrivet;

namespace {

std::filesystem::path WriteSample(const std::filesystem::path& path, const char* payload) {
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(MakeTypeCode("DATA"), 1, "one", payload, 8);
  file->AddChunk(MakeTypeCode("DATA"), 2, "two", payload, 8);
  EXPECT_TRUE(file->SaveToPath(path));
  return path;
}

// A file rewritten by another program while a container reads it lazily must not yield garbage.
TEST(LazyLoading, FileRewrittenInPlaceFailsToLoadCleanly) {
  auto dir = std::filesystem::temp_directory_path() / "scrivet_lazy_test";
  std::filesystem::create_directories(dir);
  auto path = WriteSample(dir / "a.iff", "AAAAAAAA");
  auto file = IffFile::OpenPath(path);
  ASSERT_TRUE(file);
  IffChunk* one = file->Find(MakeTypeCode("DATA"), 1);
  ASSERT_TRUE(one && file->LoadChunkData(*one));

  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  {
    // Same length, different bytes, written into the same file.
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0, std::ios::end);
    auto end = f.tellp();
    f.seekp(end - std::streamoff(8));
    f.write("garbage!", 8);
  }
  IffChunk* two = file->Find(MakeTypeCode("DATA"), 2);
  ASSERT_TRUE(two);
  EXPECT_FALSE(file->LoadChunkData(*two));
  EXPECT_FALSE(two->IsLoaded());
  EXPECT_FALSE(file->LoadAll());
  EXPECT_TRUE(file->SourceChanged());
  std::filesystem::remove_all(dir);
}

TEST(LazyLoading, FileReplacedByRenameKeepsReadingTheOriginal) {
  auto dir = std::filesystem::temp_directory_path() / "scrivet_lazy_test2";
  std::filesystem::create_directories(dir);
  auto path = WriteSample(dir / "a.iff", "AAAAAAAA");
  auto file = IffFile::OpenPath(path);
  ASSERT_TRUE(file);
  WriteSample(dir / "b.iff", "BBBBBBBB");
  std::filesystem::rename(dir / "b.iff", path);
  IffChunk* two = file->Find(MakeTypeCode("DATA"), 2);
  ASSERT_TRUE(two);
#ifndef _WIN32
  // The container holds the file it opened; the bytes it gives are that file's.
  ASSERT_TRUE(file->LoadChunkData(*two));
  EXPECT_EQ(std::string(two->View()), "AAAAAAAA");
  EXPECT_FALSE(file->SourceChanged());
#endif
  std::filesystem::remove_all(dir);
}

}  // namespace
