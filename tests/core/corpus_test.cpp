// Real files of the game and its community, read in place when the folder is present.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/far_archive.h"
#include "core/iff_file.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = SCRIVET_CORPUS_DIR;

// Every regular file of the corpus whose first bytes match `magic`, sorted for stable output.
std::vector<fs::path> FilesStartingWith(std::string_view magic) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string head(magic.size(), '\0');
    if (in.read(head.data(), std::streamsize(head.size())) && head == magic) out.push_back(entry.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Corpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  }
};

TEST_F(Corpus, EveryIffFileOpensAndWritesBackEveryChunkUnchanged) {
  const auto files = FilesStartingWith("IFF FILE");
  ASSERT_GE(files.size(), 40u);
  size_t chunks = 0;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.string());
    CoreFailure failure;
    auto file = IffFile::OpenPath(path, &failure);
    ASSERT_TRUE(file);
    ASSERT_EQ(failure.error, CoreError::None);
    const auto before = Images(*file);
    EXPECT_FALSE(before.empty());
    chunks += before.size();
    ASSERT_TRUE(file->LoadAll());
    MemoryStream out;
    ASSERT_TRUE(file->Write(&out));
    auto back = ReadBytes(out.Bytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(Images(*back), before);
    // A fresh map, the last chunk, pointed at by the header.
    ASSERT_GT(back->ChunkCount(), 0u);
    const IffChunk& map = back->ChunkAt(back->ChunkCount() - 1);
    EXPECT_EQ(map.type, IffFile::kMapType);
    EXPECT_EQ(back->CountOfType(IffFile::kMapType), 1u);
    EXPECT_EQ(map.dataOffset + map.Size(), out.Length());
  }
  RecordProperty("iff_files", int(files.size()));
  RecordProperty("chunks", int(chunks));
}

TEST_F(Corpus, EveryVersion1FarArchiveListsAndExtractsItsMembers) {
  const auto files = FilesStartingWith("FAR!byAZ");
  ASSERT_GE(files.size(), 5u);
  size_t opened = 0, refused = 0;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.string());
    const Bytes bytes = ReadFile(path);
    const uint32_t version = uint32_t(bytes[8]) | uint32_t(bytes[9]) << 8;
    const bool broken = path.filename().string().find("broken") != std::string::npos;
    FarArchive far;
    CoreFailure failure;
    const bool ok = far.OpenPath(path, &failure);
    if (version != 1 || broken) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(failure.error, CoreError::NotFar);
      ++refused;
      continue;
    }
    ASSERT_TRUE(ok) << failure.detail;
    ++opened;
    ASSERT_GT(far.EntryCount(), 0u);
    for (FarEntry& entry : far.Entries()) {
      SCOPED_TRACE(entry.name);
      ASSERT_TRUE(far.LoadEntryData(entry));
      const auto& data = far.EntryData(entry);
      ASSERT_EQ(data.size(), entry.dataSize);
      ASSERT_TRUE(std::equal(data.begin(), data.end(), bytes.begin() + entry.dataOffset));
    }
    EXPECT_EQ(far.DataReads(), far.EntryCount());
  }
  EXPECT_GE(opened, 4u);
  EXPECT_GE(refused, 2u);  // the broken archive and the version 3 one
}

TEST_F(Corpus, TheNpcArchiveHoldsExactlyItsExtractedMembers) {
  const fs::path folder = kCorpus / "francot514+FreeSims";
  if (!fs::exists(folder / "npcs.far")) GTEST_SKIP();
  FarArchive far;
  ASSERT_TRUE(far.OpenPath(folder / "npcs.far"));
  std::map<std::string, Bytes> members;
  for (const auto& entry : fs::directory_iterator(folder / "npcs.far.members"))
    members[entry.path().filename().string()] = ReadFile(entry.path());
  ASSERT_EQ(far.EntryCount(), members.size());
  for (FarEntry& entry : far.Entries()) {
    SCOPED_TRACE(entry.name);
    // Names are the makers' absolute Windows paths.
    const std::string base = entry.name.substr(entry.name.find_last_of('\\') + 1);
    ASSERT_TRUE(members.count(base));
    ASSERT_TRUE(far.LoadEntryData(entry));
    EXPECT_EQ(far.EntryData(entry), members[base]);
    // The member is an IFF file in its own right.
    MemoryStream memory(far.EntryData(entry));
    auto iff = IffFile::AttachMemoryCopy(memory);
    EXPECT_TRUE(iff->ReadDirectory());
    EXPECT_GT(iff->ChunkCount(), 10u);
  }
}

TEST_F(Corpus, TwoByteNameLengthsAreDetectedInTheOnlineGamesArchive) {
  const fs::path path = kCorpus / "FaithBeam+Sims.Far" / "1b.far";
  if (!fs::exists(path)) GTEST_SKIP();
  FarArchive far;
  ASSERT_TRUE(far.OpenPath(path));
  EXPECT_TRUE(far.TwoByteNameLengths());
  ASSERT_EQ(far.EntryCount(), 521u);
  EXPECT_EQ(far.Entries()[0].name, "accessoryrack.otf");
  EXPECT_EQ(far.Entries()[1].name, "anniversary.otf");
}

}  // namespace
