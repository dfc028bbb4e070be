#include "app/resource_list_controller.h"

#include <algorithm>

#include "app/document_history.h"
#include "app/item_dialog_logic.h"
#include "behaviour/behaviour_startup.h"
#include "codecs/type_table.h"
#include "editors/qt_text.h"
#include "graphics/sprite_canvas.h"

namespace scrivet {

namespace {

const QString kAppTitle = QStringLiteral("Scrivet 2");

}  // namespace

ResourceListController::ResourceListController(CScrivet2Doc& doc, ViewDialogs& dialogs,
                                               const BehaviourCatalogues& behaviour, std::span<const TypeRow> rows)
    : doc_(doc),
      dialogs_(dialogs),
      behaviour_(behaviour),
      rows_(rows),
      typeSelection_(&types_),
      resourceSelection_(&resources_) {
  connect(&typeSelection_, &QItemSelectionModel::selectionChanged, this,
          &ResourceListController::OnTypeSelectionChanged);
  connect(&doc_, &CScrivet2Doc::Changed, this, &ResourceListController::Refresh);
}

// ---------------------------------------------------------------- lists and selection

int ResourceListController::SelectedTypeIndex() const {
  const QModelIndexList rows = typeSelection_.selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

std::vector<int> ResourceListController::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : resourceSelection_.selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

bool ResourceListController::HasSelection() const {
  return SelectedTypeIndex() >= 0 && resourceSelection_.hasSelection();
}

void ResourceListController::SelectType(int index) {
  if (index < 0 || index >= types_.rowCount()) {
    typeSelection_.clearSelection();
    return;
  }
  QModelIndex item = types_.index(index);
  typeSelection_.setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
}

void ResourceListController::SelectRows(const std::vector<int>& rows) {
  QItemSelection selection;
  for (int row : rows)
    if (row >= 0 && row < resources_.rowCount())
      selection.select(resources_.index(row, 0), resources_.index(row, resources_.columnCount() - 1));
  resourceSelection_.select(selection, QItemSelectionModel::ClearAndSelect);
  if (!rows.empty() && rows.front() >= 0 && rows.front() < resources_.rowCount())
    resourceSelection_.setCurrentIndex(resources_.index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

std::vector<ResourceKey> ResourceListController::SelectedResources() const {
  std::vector<ResourceKey> keys;
  if (SelectedTypeIndex() < 0) return keys;
  for (int row : SelectedRows()) keys.push_back(resources_.KeyAt(row));
  return keys;
}

bool ResourceListController::SelectResource(TypeCode type, uint16_t id) {
  const auto& entries = types_.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].code != type) continue;
    SelectType(int(i));
    for (int row = 0; row < resources_.rowCount(); ++row)
      if (const ResourceKey key = resources_.KeyAt(row); key.type == type && key.id == id) {
        SelectRows({row});
        return true;
      }
  }
  return false;
}

bool ResourceListController::OpensInEditor() const {
  const std::vector<ResourceKey> keys = SelectedResources();
  if (keys.empty()) return false;
  const TypeRow* row = FindTypeRow(rows_, keys.front().type);
  if (row && row->openMessage) return false;
  return FindEditor(rows_, CreateResourceForType(keys.front().type)->GetType()) != nullptr;
}

IffChunk* ResourceListController::FirstSelectedChunk() {
  if (!HasSelection()) return nullptr;
  const ResourceKey key = resources_.KeyAt(SelectedRows().front());
  IffChunk* chunk = doc_.File().Find(key.type, key.id);
  return chunk && doc_.LoadChunk(*chunk, owner_) ? chunk : nullptr;
}

ItemDialogLogic ResourceListController::ItemDialog(const QString& title, bool editMode) {
  return ItemDialogLogic(doc_.File(), platform(), title, PresetTypes(rows_), editMode);
}

EditorContext ResourceListController::Context() {
  return {doc_.File(), owner_, platform(), behaviour_.primitives, behaviour_.functions, doc_.PrivateFunctions(), {}};
}

void ResourceListController::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  int typeIndex = std::max(SelectedTypeIndex(), 0);
  std::vector<int> rows = SelectedRows();
  int rowIndex = rows.empty() ? 0 : rows.front();

  types_.Rebuild(doc_.File());
  if (typeIndex >= types_.rowCount()) typeIndex = 0;
  resources_.Rebuild(doc_.File(), types_.Entries()[size_t(typeIndex)].code);
  SelectType(typeIndex);
  if (rowIndex >= resources_.rowCount()) rowIndex = 0;
  if (resources_.rowCount() > 0)
    SelectRows({rowIndex});
  else
    resourceSelection_.clear();
  refreshing_ = false;
}

void ResourceListController::OnTypeSelectionChanged() {
  if (!refreshing_ && SelectedTypeIndex() >= 0) Refresh();
}

// ---------------------------------------------------------------- commands

void ResourceListController::Add() {
  ItemDialogLogic logic = ItemDialog(QStringLiteral("Add item"));
  if (!dialogs_.RunItemDialog(logic, owner_)) return;
  std::unique_ptr<IffResource> resource = CreateResourceForType(logic.Type());
  if (const TypeRow* row = FindTypeRow(rows_, logic.Type()); row && row->setUp) {
    EditorContext context = Context();
    row->setUp(*resource, context);
  }
  std::vector<uint8_t> bytes;
  if (!resource->EncodeToBytes(bytes)) {
    platform().Error(owner_, QStringLiteral("Couldn't create the resource!"));
    return;
  }
  DocumentChange change(doc_, QStringLiteral("Add"), owner_);
  if (!change.Touch(ChunkSelection().Add(logic.Type(), logic.Id()))) return;
  doc_.File().AddChunk(logic.Type(), logic.Id(), logic.Name(), bytes.data(), bytes.size());
  change.Commit();
}

void ResourceListController::Delete() {
  if (!HasSelection()) return;
  if (!platform().AskYesNo(owner_, QStringLiteral("Do you really want to delete the selected items?"),
                           QStringLiteral("Warning:")))
    return;
  ChunkSelection selection;
  for (const ResourceKey& key : SelectedResources()) selection.Add(key.type, key.id);
  DocumentChange change(doc_, QStringLiteral("Delete"), owner_);
  if (!change.Touch(selection)) return;
  doc_.File().RemoveChunksAt(selection.PositionsIn(doc_.File()));
  change.Commit();
}

void ResourceListController::Properties() {
  if (!HasSelection()) return;
  const ResourceKey old = SelectedResources().front();
  const IffChunk* chunk = doc_.File().Find(old.type, old.id);
  if (!chunk) return;
  ItemDialogLogic logic = ItemDialog(QStringLiteral("Edit properties"), true);
  logic.SetInitial(chunk->type, chunk->id, chunk->name);
  if (!dialogs_.RunItemDialog(logic, owner_)) return;
  DocumentChange change(doc_, QStringLiteral("Properties"), owner_);
  if (!change.Touch(ChunkSelection().Add(old.type, old.id).Add(logic.Type(), logic.Id()))) return;
  IffFile& file = doc_.File();
  if (logic.Type() != old.type || logic.Id() != old.id) file.RemoveChunk(logic.Type(), logic.Id());
  file.ChangeIdentity(old.type, old.id, logic.Type(), logic.Id(), logic.Name());
  change.Commit();
}

void ResourceListController::HexEdit() {
  IffChunk* chunk = FirstSelectedChunk();
  if (!chunk) return;
  ResourceData resource;
  if (!resource.Load(doc_.File(), *chunk)) return;
  DocumentChange change(doc_, QStringLiteral("Hex Edit"), owner_);
  if (!change.Touch(ChunkSelection().AnyTypeWithId(chunk->id))) return;
  EditorContext context = Context();
  ReportEditorResult(RunEditorFor(rows_, resource, context), change);
}

void ResourceListController::Duplicate() {
  if (!HasSelection()) return;
  DocumentChange change(doc_, QStringLiteral("Duplicate"), owner_);
  bool duplicated = false;
  for (const ResourceKey& source : SelectedResources()) {
    // Earlier rows may have replaced this one; look it up afresh.
    IffChunk* chunk = doc_.File().Find(source.type, source.id);
    if (!chunk || !doc_.LoadChunk(*chunk, owner_)) continue;
    ResourceData resource;
    if (!resource.Load(doc_.File(), *chunk)) continue;
    ItemDialogLogic logic = ItemDialog(QStringLiteral("Duplicate Item"));
    logic.SetInitial(chunk->type, chunk->id, chunk->name);
    if (!dialogs_.RunItemDialog(logic, owner_)) continue;
    if (!change.Touch(ChunkSelection().Add(logic.Type(), logic.Id()))) break;
    if (resource.SaveAs(doc_.File(), logic.Type(), logic.Id(), logic.Name(), IffChunk::kDefaultFlags))
      duplicated = true;
  }
  if (duplicated) change.Commit();
  Refresh();
}

void ResourceListController::OpenResource() {
  IffChunk* chunk = FirstSelectedChunk();
  // An editor may hand over to another resource when it closes; each one opens in turn.
  while (chunk) {
    const TypeRow* row = FindTypeRow(rows_, chunk->type);
    if (row && row->openMessage) {
      platform().Message(owner_, QString::fromLatin1(row->openMessage), kAppTitle, MessageIcon::None);
      return;
    }
    std::unique_ptr<IffResource> resource = CreateResourceForType(chunk->type);
    // The question comes only when an editor is about to open.
    if (row && row->offerBlendingTables && FindEditor(rows_, resource->GetType()) && !OfferBlendingTables()) return;
    if (!resource->Load(doc_.File(), *chunk)) {
      platform().Message(owner_, QStringLiteral("Error while loading this resource or unknown format!"), kAppTitle,
                         MessageIcon::None);
      return;
    }
    // The entry may store companions of the resource (a TTAB's TTAs): everything with its id is recorded.
    DocumentChange change(doc_, QStringLiteral("Edit %1 %2").arg(TypeText(chunk->type)).arg(chunk->id), owner_);
    if (!change.Touch(ChunkSelection().AnyTypeWithId(chunk->id))) return;
    EditorContext context = Context();
    ReportEditorResult(RunEditorFor(rows_, *resource, context), change);
    if (!context.openAfterClose.requested) return;
    chunk = doc_.File().Find(context.openAfterClose.type, context.openAfterClose.id);
    if (chunk && !doc_.LoadChunk(*chunk, owner_)) return;
  }
}

bool ResourceListController::OfferBlendingTables() {
  if (!askBlending_) return true;
  const bool yes = platform().AskYesNo(owner_,
                                       QStringLiteral("Do you want to generate blending tables first?\n\nThis will "
                                                      "take some seconds but may speed up displaying large objects."),
                                       QStringLiteral("Question:"));
  if (yes && !BlendTable::Instance().Build()) {
    platform().Error(owner_, QStringLiteral("Not enough memory!"), QStringLiteral("Error!"));
    return false;
  }
  askBlending_ = false;
  return true;
}

void ResourceListController::ReportEditorResult(EditorResult result, DocumentChange& change) {
  switch (result) {
    case EditorResult::Ok:
      change.Commit();
      break;
    case EditorResult::SaveFailed:
      // An entry may have stored companion chunks already: the change records whatever did change.
      platform().Error(owner_, QStringLiteral("Couldn't store the edited resource; it was left unchanged."));
      break;
    default:
      break;
  }
}

}  // namespace scrivet
