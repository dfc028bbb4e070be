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
  std::vector<ChunkRecipe> Sample() {
    return {{"STR#", 1, "one", Bytes("first chunk")}, {"BHAV", 2, "two", Bytes("second")}, {"NOTE", 3, "", {}}};
  }
  void Touch(const QString& path, int secondsLater) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(secondsLater), QFileDevice::FileModificationTime));
  }

  QTemporaryDir dir;
  ScriptedPlatform platform;
};

TEST_F(DocumentTest, OpeningReportsFilesThatAreNotUsable) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  std::vector<uint8_t> badVersion(64, 0);
  std::memcpy(badVersion.data(), "IFF FILE 3.0:TYPE FOLLOWED BY SIZE", 34);
  const Case cases[] = {
      {"text.iff", Bytes("Hello, world! This is not an IFF file."), "This file is *not* an IFF file!"},
      {"empty.iff", {}, "This file is *not* an IFF file!"},
      {"version.iff", badVersion, "The file verison of the IFF file is not supported!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.Clear();
    WriteBytes(Path(c.name), c.bytes);
    CScrivet2Doc doc(platform, "IFFFile1");
    EXPECT_TRUE(doc.Open(Path(c.name), nullptr));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, c.message);
    EXPECT_EQ(platform.messages[0].caption, "Error");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(doc.Title(), QString::fromLatin1(c.name));
    EXPECT_EQ(doc.File().ChunkCount(), 0u);
  }

  // A file that cannot be opened at all is refused.
  platform.Clear();
  CScrivet2Doc doc(platform, "IFFFile1");
  EXPECT_FALSE(doc.Open(Path("absent.iff"), nullptr));
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(DocumentTest, FailedSaveReportsAndKeepsEverything) {
  WriteIffFile(Path("doc.iff"), Sample());
  const std::vector<uint8_t> original = ReadBytes(Path("doc.iff"));
  CScrivet2Doc doc(platform, "IFFFile1");
  ASSERT_TRUE(doc.Open(Path("doc.iff"), nullptr));
  doc.File().RemoveChunk(MakeTypeCode("NOTE"), 3);
  doc.ContainerChanged();

  // A folder that does not exist, and a target that is a folder itself.
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken.iff"));
  for (const QString& target : {Path("no/such/folder/doc.iff"), Path("taken.iff")}) {
    SCOPED_TRACE(target.toStdString());
    platform.Clear();
    EXPECT_FALSE(doc.Save(target, nullptr));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("Couldn't save the file!"));
    EXPECT_EQ(platform.messages[0].caption, "Error");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.PathName(), QFileInfo(Path("doc.iff")).absoluteFilePath());
  }
  EXPECT_EQ(ReadBytes(Path("doc.iff")), original);
  EXPECT_TRUE(QFileInfo(Path("taken.iff")).isDir());

  // The document still works: saving to its own file succeeds afterwards.
  platform.Clear();
  EXPECT_TRUE(doc.Save(doc.PathName(), nullptr));
  EXPECT_EQ(doc.File().CountOfType(MakeTypeCode("NOTE")), 0u);
}

TEST_F(DocumentTest, AFileReplacedBehindTheDocumentIsNotReadAnyMore) {
  WriteIffFile(Path("doc.iff"), Sample());
  CScrivet2Doc doc(platform, "IFFFile1");
  ASSERT_TRUE(doc.Open(Path("doc.iff"), nullptr));
  IffChunk* chunk = doc.File().Find(MakeTypeCode("STR#"), 1);
  ASSERT_NE(chunk, nullptr);
  ASSERT_FALSE(chunk->IsLoaded());

  // Another program rewrites the file in place with other bytes of the same length.
  std::vector<uint8_t> bytes = ReadBytes(Path("doc.iff"));
  std::fill(bytes.begin() + 64, bytes.end(), 0x5A);
  WriteBytes(Path("doc.iff"), bytes);
  Touch(Path("doc.iff"), 5);

  EXPECT_FALSE(doc.LoadChunk(*chunk, nullptr));
  EXPECT_FALSE(chunk->IsLoaded());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].caption, "Error");

  // Saving would read the rest from the changed file: refused, the changed file stays as it is.
  platform.Clear();
  doc.SetModified(true);
  EXPECT_FALSE(doc.Save(Path("doc.iff"), nullptr));
  EXPECT_TRUE(platform.messages[0].text.startsWith("Couldn't save the file!"));
  EXPECT_EQ(ReadBytes(Path("doc.iff")), bytes);
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, ChunksLoadWhileTheFileIsUnchanged) {
  WriteIffFile(Path("doc.iff"), Sample());
  CScrivet2Doc doc(platform, "IFFFile1");
  ASSERT_TRUE(doc.Open(Path("doc.iff"), nullptr));
  IffChunk* chunk = doc.File().Find(MakeTypeCode("STR#"), 1);
  ASSERT_TRUE(doc.LoadChunk(*chunk, nullptr));
  EXPECT_EQ(ChunkBytes(*chunk), Bytes("first chunk"));
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace scrivet::test
