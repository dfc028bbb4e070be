// Opening and saving documents: messages, byte-exact saves, failed saves and files changed
// behind the document's back.

#include <QDateTime>
#include <QDir>
#include <QFile>

#include "app_test_support.h"

namespace scrivet::test {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  void OpenSample() {
    WriteIffFile(Path("doc.iff"), {{"STR#", 1, "one", Bytes("first chunk")}, {"BHAV", 2, "two", Bytes("second")}, {"NOTE", 3, "", {}}});
    ASSERT_TRUE(doc.Open(Path("doc.iff"), nullptr));
  }

  QTemporaryDir dir;
  ScriptedPlatform platform;
  CScrivet2Doc doc{platform, "IFFFile1"};
};

TEST_F(DocumentTest, OpeningReportsFilesThatAreNotUsable) {
  std::vector<uint8_t> badVersion(64, 0);
  std::memcpy(badVersion.data(), "IFF FILE 3.0:TYPE FOLLOWED BY SIZE", 34);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"text.iff", Bytes("Hello, world! This is not an IFF file.")}, {"empty.iff", {}}, {"version.iff", badVersion}};
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    platform.Clear();
    WriteBytes(Path(name), bytes);
    CScrivet2Doc opened(platform, "IFFFile1");
    EXPECT_TRUE(opened.Open(Path(name), nullptr));
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(opened.Title(), QString::fromLatin1(name));
    EXPECT_EQ(opened.File().ChunkCount(), 0u);
  }
  platform.Clear();
  EXPECT_FALSE(doc.Open(Path("absent.iff"), nullptr));
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(DocumentTest, FailedSaveReportsAndKeepsEverything) {
  OpenSample();
  const std::vector<uint8_t> original = ReadBytes(Path("doc.iff"));
  ASSERT_TRUE(doc.LoadChunk(*doc.File().Find(MakeTypeCode("STR#"), 1), nullptr));
  doc.File().RemoveChunk(MakeTypeCode("NOTE"), 3);
  doc.ContainerChanged();
  // A folder that does not exist, and a target that is a folder itself.
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken.iff"));
  for (const QString& target : {Path("no/such/folder/doc.iff"), Path("taken.iff")}) {
    SCOPED_TRACE(target.toStdString());
    platform.Clear();
    EXPECT_FALSE(doc.Save(target, nullptr));
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.PathName(), QFileInfo(Path("doc.iff")).absoluteFilePath());
  }
  EXPECT_EQ(ReadBytes(Path("doc.iff")), original);
  EXPECT_TRUE(QFileInfo(Path("taken.iff")).isDir());
  EXPECT_TRUE(doc.Save(doc.PathName(), nullptr));
  EXPECT_EQ(doc.File().CountOfType(MakeTypeCode("NOTE")), 0u);
}

TEST_F(DocumentTest, AFileReplacedBehindTheDocumentIsNotReadAnyMore) {
  OpenSample();
  IffChunk* chunk = doc.File().Find(MakeTypeCode("STR#"), 1);
  ASSERT_FALSE(chunk->IsLoaded());
  // Another program rewrites the file in place with other bytes of the same length.
  std::vector<uint8_t> bytes = ReadBytes(Path("doc.iff"));
  std::fill(bytes.begin() + 64, bytes.end(), 0x5A);
  WriteBytes(Path("doc.iff"), bytes);
  QFile file(Path("doc.iff"));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
              file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));

  EXPECT_FALSE(doc.LoadChunk(*chunk, nullptr));
  EXPECT_FALSE(chunk->IsLoaded());
  EXPECT_EQ(platform.messages.size(), 1u);
  // Saving would read the rest from the changed file: refused, the changed file stays as it is.
  doc.SetModified(true);
  EXPECT_FALSE(doc.Save(Path("doc.iff"), nullptr));
  EXPECT_EQ(ReadBytes(Path("doc.iff")), bytes);
  EXPECT_TRUE(doc.IsModified());
}

}  // namespace
}  // namespace scrivet::test
