// Real game files through the document and the resource list: every file opens, lists every
// resource, and saves and re-reads with the same resources.

#include <QDirIterator>

#include "app_test_support.h"

namespace scrivet::test {
namespace {

TEST(CorpusTest, EveryGameFileOpensListsAndSaves) {
  const QString corpus = QStringLiteral(SCRIVET_CORPUS_DIR);
  if (!QFileInfo(corpus).isDir()) GTEST_SKIP() << "no corpus at " << corpus.toStdString();
  QTemporaryDir out;
  int files = 0;
  size_t resources = 0;
  QDirIterator it(corpus, {"*.iff", "*.flr", "*.wll"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    SCOPED_TRACE(path.toStdString());
    ScriptedPlatform platform;
    ScriptedDialogs dialogs;
    BehaviourCatalogues behaviour;
    CScrivet2Doc doc(platform, "IFFFile1");
    ResourceListController list(doc, dialogs, behaviour);
    ASSERT_TRUE(doc.Open(path, nullptr));
    EXPECT_TRUE(platform.messages.empty()) << platform.MessageTexts().join(' ').toStdString();
    const size_t listed = size_t(list.Resources().rowCount());
    EXPECT_EQ(listed, doc.File().ResourcesByTypeAndId().size());
    EXPECT_EQ(list.Types().rowCount(), int(doc.File().TypeList().size()) + 1 -
                                           int(doc.File().FirstOfType(IffFile::kMapType) != IffFile::npos));

    const QString copy = out.filePath(QStringLiteral("copy%1.iff").arg(files));
    ASSERT_TRUE(doc.Save(copy, nullptr));
    auto reread = IffFile::OpenPath(copy.toStdString());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->ResourcesByTypeAndId().size(), listed);
    ++files;
    resources += listed;
  }
  EXPECT_GT(files, 0);
  RecordProperty("files", files);
  RecordProperty("resources", int(resources));
  std::printf("corpus: %d files, %zu resources listed and saved\n", files, resources);
}

}  // namespace
}  // namespace scrivet::test
