#pragma once
// The behaviour of one resource list: its two models, their selections, the refresh rule and
// every command of the Edit menu. Widgets only bind to it, so tests drive it without a window.

#include <QItemSelectionModel>
#include <QObject>
#include <vector>

#include "app/editor_dispatch.h"
#include "app/resource_list_model.h"
#include "app/scrivet2_doc.h"
#include "app/view_dialogs.h"

class QWidget;

namespace scrivet {

class ResourceListController : public QObject {
  Q_OBJECT

 public:
  ResourceListController(CScrivet2Doc& doc, ViewDialogs& dialogs, QObject* parent = nullptr);

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
  std::vector<IffChunk*> SelectedChunks() const;

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

  bool AskForBlendingTables() const { return askBlending_; }

 private:
  void OnTypeSelectionChanged();
  void ImportDataFiles(const QStringList& files);
  void ImportIffFiles(const QStringList& files, bool autoOverwrite);
  void OpenDrawGroup(IffChunk& chunk);
  // Creates the chunk's resource object, decodes it and runs its editor.
  void EditChunk(IffChunk& chunk);
  void ReportEditorResult(EditorResult result);
  Platform& platform() { return doc_.GetPlatform(); }

  CScrivet2Doc& doc_;
  ViewDialogs& dialogs_;
  QWidget* owner_ = nullptr;
  TypeListModel types_;
  ResourceListModel resources_;
  QItemSelectionModel typeSelection_;
  QItemSelectionModel resourceSelection_;
  bool refreshing_ = false;
  bool askBlending_ = true;
};

}  // namespace scrivet
