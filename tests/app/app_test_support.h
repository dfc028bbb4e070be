#pragma once
// Shared fixtures of the application tests: scripted dialogs and containers built in code.

#include <QQueue>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/item_dialog_logic.h"
#include "app/resource_list_controller.h"
#include "app/scrivet2_doc.h"
#include "app/view_dialogs.h"
#include "behaviour/behaviour_startup.h"
#include "tests/support/scripted_platform.h"

namespace scrivet::test {

struct ItemEntry {
  QString type;
  qint64 id;
  QString name;
};

// Scripted versions of the list's dialogs. An item dialog takes entries until one is accepted;
// a `cancel` entry (or an empty queue) presses Cancel.
class ScriptedDialogs : public ViewDialogs {
 public:
  struct ItemStep {
    bool cancel = false;
    ItemEntry entry;
    bool keepInitial = false;  // press OK on the initial values
  };
  QQueue<ItemStep> items;
  QQueue<std::optional<ExportChoice>> exports;      // nullopt = Cancel
  QQueue<std::optional<ImportChoice>> imports;
  // Receives the rows and may deselect some; returns false for Cancel.
  QQueue<std::function<bool(ImportFromIffRows&)>> iffPicks;

  std::vector<ItemEntry> itemInitials;
  std::vector<QStringList> itemTypeChoices;
  std::vector<int> exportCounts;
  std::vector<ImportFromIffRows> iffRowsShown;

  void Ok(const QString& type, qint64 id, const QString& name) { items.enqueue({false, {type, id, name}, false}); }
  void OkUnchanged() { items.enqueue({false, {}, true}); }
  void Cancel() { items.enqueue({true, {}, false}); }

  bool RunItemDialog(ItemDialogLogic& logic, QWidget* parent) override;
  bool RunExportDialog(ExportChoice& choice, QWidget* parent) override;
  bool RunImportDialog(ImportChoice& choice, QWidget* parent) override;
  bool RunImportFromIffDialog(ImportFromIffRows& rows, QWidget* parent) override;
};

struct ChunkRecipe {
  std::string type;
  uint16_t id;
  std::string name;
  std::vector<uint8_t> data;
  uint16_t flags = 0x0010;
  bool operator==(const ChunkRecipe&) const = default;
};
inline void PrintTo(const ChunkRecipe& c, std::ostream* out) {
  *out << c.type << " " << c.id << " \"" << c.name << "\" " << c.data.size() << " bytes, flags " << c.flags;
}
// What a chunk holds, to compare in one go (all empty for a missing chunk).
ChunkRecipe Recipe(const IffChunk* chunk);

// Writes a container of the given chunks, in order, with the project's own writer.
void WriteIffFile(const QString& path, const std::vector<ChunkRecipe>& chunks);
std::vector<uint8_t> ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> Bytes(std::string_view text);
std::vector<uint8_t> ChunkBytes(const IffChunk& chunk);

class ListFixture : public ::testing::Test {
 protected:
  void Open(const std::vector<ChunkRecipe>& chunks);
  // The texts of the type list and of the resource list (cells joined by '|').
  QStringList TypeTexts();
  QStringList RowTexts();
  void SelectTypeText(const QString& prefix);
  IffFile& File() { return doc->File(); }
  const IffChunk* Find(const char* type, uint16_t id) { return Find(File(), type, id); }
  static const IffChunk* Find(IffFile& file, const char* type, uint16_t id);
  QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

  QTemporaryDir dir;
  QString path;
  ScriptedPlatform platform;
  ScriptedDialogs dialogs;
  BehaviourCatalogues behaviour;
  // What the controllers do per type; tests that fake editors change it before Open.
  std::vector<TypeRow> rows{TypeRows().begin(), TypeRows().end()};
  std::unique_ptr<CScrivet2Doc> doc;
  std::unique_ptr<ResourceListController> list;
};

}  // namespace scrivet::test
