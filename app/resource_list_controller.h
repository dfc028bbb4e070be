#pragma once
// The behaviour of one resource list: its two models, their selections, the refresh rule and
// every command of the Edit menu. Widgets only bind to it, so tests drive it without a window.

#include <QItemSelectionModel>
#include <QObject>
#include <span>
#include <vector>

#include "app/editor_dispatch.h"
#include "app/resource_list_model.h"
#include "app/scrivet2_doc.h"
#include "app/view_dialogs.h"

class QWidget;

namespace scrivet {

class DocumentChange;
class ItemDialogLogic;
struct BehaviourCatalogues;

class ResourceListController : public QObject {
  Q_OBJECT

 public:
  // `rows` says what is done per resource type: the application's table unless a test gives its own.
  ResourceListController(CScrivet2Doc& doc, ViewDialogs& dialogs, const BehaviourCatalogues& behaviour,
                         std::span<const TypeRow> rows = TypeRows());

  // Owner of messages and dialogs (the view's widget; null in tests).
  void SetOwner(QWidget* owner) { owner_ = owner; }

  TypeListModel& Types() { return types_; }
  ResourceListModel& Resources() { return resources_; }
  QItemSelectionModel& TypeSelection() { return typeSelection_; }
  QItemSelectionModel& ResourceSelection() { return resourceSelection_; }

  // Rebuilds both lists and restores the selection by index (type entry, first selected row).
  void Refresh();

  // Selection helpers.
  int SelectedTypeIndex() const;  // -1 when none
  std::vector<int> SelectedRows() const;  // ascending
  bool HasSelection() const;
  void SelectType(int index);
  void SelectRows(const std::vector<int>& rows);
  // The resources of the selected rows, in row order; none without a selected type entry.
  std::vector<ResourceKey> SelectedResources() const;
  // Selects the resource's type entry and its row; false when the container has no such resource.
  bool SelectResource(TypeCode type, uint16_t id);
  // Whether opening the first selected resource shows an editor of its own (not a message, not nothing).
  bool OpensInEditor() const;

  // Edit menu commands.
  void Add();
  void Delete();
  void Properties();
  void HexEdit();
  void Duplicate();
  void Import();
  void Export();
  // Double-click: opens the first selected resource in its editor.
  void OpenResource();

 private:
  void OnTypeSelectionChanged();
  void ImportDataFiles(const QStringList& files, DocumentChange& change);
  void ImportIffFiles(const QStringList& files, bool autoOverwrite, DocumentChange& change);
  // The chunk of the first selected row, its data loaded; null (after any message) otherwise.
  IffChunk* FirstSelectedChunk();
  // The blending-table question, asked once per view; false when the editor must not open.
  bool OfferBlendingTables();
  ItemDialogLogic ItemDialog(const QString& title, bool editMode = false);
  EditorContext Context();
  // An editor's OK is one step of the history; Cancel leaves none.
  void ReportEditorResult(EditorResult result, DocumentChange& change);
  Platform& platform() { return doc_.GetPlatform(); }

  CScrivet2Doc& doc_;
  ViewDialogs& dialogs_;
  const BehaviourCatalogues& behaviour_;
  std::span<const TypeRow> rows_;
  QWidget* owner_ = nullptr;
  TypeListModel types_;
  ResourceListModel resources_;
  QItemSelectionModel typeSelection_;
  QItemSelectionModel resourceSelection_;
  bool refreshing_ = false;
  bool askBlending_ = true;
};

}  // namespace scrivet
