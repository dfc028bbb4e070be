#include "app_test_support.h"

#include <QApplication>
#include <QFile>

#include "core/stream.h"

namespace scrivet::test {

namespace {

// Widgets need one application object for the whole test program.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool ScriptedDialogs::RunItemDialog(ItemDialogLogic& logic, QWidget* parent) {
  itemInitials.push_back({logic.InitialTypeText(), logic.InitialId(), logic.InitialName()});
  itemTypeChoices.push_back(logic.TypeChoices());
  while (!items.isEmpty()) {
    ItemStep step = items.dequeue();
    if (step.cancel) return false;
    ItemEntry entry = step.keepInitial ? ItemEntry{logic.InitialTypeText(), logic.InitialId(), logic.InitialName()}
                                       : step.entry;
    if (logic.Accept(entry.type, entry.id, entry.name, parent)) return true;
  }
  return false;
}

bool ScriptedDialogs::RunExportDialog(ExportChoice& choice, QWidget*) {
  exportCounts.push_back(choice.count);
  std::optional<ExportChoice> next = exports.isEmpty() ? std::nullopt : exports.dequeue();
  if (!next) return false;
  choice.mode = next->mode;
  choice.singleFile = next->singleFile;
  return true;
}

bool ScriptedDialogs::RunImportDialog(ImportChoice& choice, QWidget*) {
  std::optional<ImportChoice> next = imports.isEmpty() ? std::nullopt : imports.dequeue();
  if (!next) return false;
  choice = *next;
  return true;
}

bool ScriptedDialogs::RunImportFromIffDialog(ImportFromIffRows& rows, QWidget*) {
  iffRowsShown.push_back(rows);
  return !iffPicks.isEmpty() && iffPicks.dequeue()(rows);
}

void WriteIffFile(const QString& path, const std::vector<ChunkRecipe>& chunks) {
  std::unique_ptr<IffFile> file = IffFile::CreateEmpty(false);
  for (const ChunkRecipe& recipe : chunks) {
    TypeCode type = 0;
    EXPECT_TRUE(ParseTypeCode(recipe.type, type));
    file->AddChunk(type, recipe.id, recipe.name, recipe.data.data(), recipe.data.size())->flags = recipe.flags;
  }
  MemoryStream out;
  ASSERT_TRUE(file->Write(&out));
  WriteBytes(path, out.Bytes());
}

std::vector<uint8_t> ReadBytes(const QString& path) {
  std::vector<uint8_t> bytes;
  ReadWholeFile(path.toStdString(), bytes);
  return bytes;
}

void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> ChunkBytes(const IffChunk& chunk) {
  return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

ChunkRecipe Recipe(const IffChunk* chunk) {
  if (!chunk) return {"", 0, "", {}, 0};
  return {TypeCodeToString(chunk->type), chunk->id, chunk->name, ChunkBytes(*chunk), chunk->flags};
}

void ListFixture::Open(const std::vector<ChunkRecipe>& chunks) {
  ASSERT_TRUE(dir.isValid());
  path = dir.filePath(QStringLiteral("test.iff"));
  WriteIffFile(path, chunks);
  doc = std::make_unique<CScrivet2Doc>(platform, QStringLiteral("IFFFile1"));
  list = std::make_unique<ResourceListController>(*doc, dialogs, behaviour, rows);
  ASSERT_TRUE(doc->Open(path, nullptr));
  ASSERT_TRUE(platform.messages.empty());
}

QStringList ListFixture::TypeTexts() {
  QStringList texts;
  for (const auto& entry : list->Types().Entries()) texts << entry.text;
  return texts;
}

QStringList ListFixture::RowTexts() {
  QStringList rows;
  ResourceListModel& model = list->Resources();
  for (int r = 0; r < model.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) cells << model.index(r, c).data().toString();
    rows << cells.join(QLatin1Char('|'));
  }
  return rows;
}

const IffChunk* ListFixture::Find(IffFile& file, const char* type, uint16_t id) {
  TypeCode code = 0;
  ParseTypeCode(type, code);
  return file.Find(code, id);
}

void ListFixture::SelectTypeText(const QString& prefix) {
  const auto& entries = list->Types().Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text.startsWith(prefix)) {
      list->SelectType(int(i));
      return;
    }
  ADD_FAILURE() << "no type entry " << prefix.toStdString();
}

}  // namespace scrivet::test
