#include "app/resource_list_controller.h"

#include <algorithm>

#include "app/editor_dispatch.h"
#include "app/item_dialog_logic.h"
#include "codecs/type_table.h"

namespace scrivet {

namespace {

const QString kAppTitle = QStringLiteral("Scrivet 2");

struct Identity {
  TypeCode type;
  uint16_t id;
};

}  // namespace

ResourceListController::ResourceListController(CScrivet2Doc& doc, ViewDialogs& dialogs, QObject* parent)
    : QObject(parent), doc_(doc), dialogs_(dialogs), typeSelection_(&types_), resourceSelection_(&resources_) {
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

std::vector<IffChunk*> ResourceListController::SelectedChunks() const {
  std::vector<IffChunk*> chunks;
  if (SelectedTypeIndex() < 0) return chunks;
  for (int row : SelectedRows())
    if (IffChunk* chunk = resources_.ChunkAt(row)) chunks.push_back(chunk);
  return chunks;
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
  ItemDialogLogic logic(doc_.File(), platform(), QStringLiteral("Add item"));
  if (!dialogs_.RunItemDialog(logic, owner_)) return;
  std::unique_ptr<IffResource> resource = CreateResourceForType(logic.Type());
  if (NewResourceSetup setup = FindNewResourceSetup(logic.Type())) setup(*resource, platform(), owner_);
  std::vector<uint8_t> bytes;
  if (!resource->EncodeToBytes(bytes)) {
    platform().Error(owner_, QStringLiteral("Couldn't create the resource!"));
    return;
  }
  doc_.File().AddChunk(logic.Type(), logic.Id(), logic.Name(), bytes.data(), bytes.size());
  doc_.ContainerChanged();
}

void ResourceListController::Delete() {
  if (!HasSelection()) return;
  if (!platform().AskYesNo(owner_, QStringLiteral("Do you really want to delete the selected items?"),
                           QStringLiteral("Warning:")))
    return;
  std::vector<Identity> doomed;
  for (IffChunk* chunk : SelectedChunks()) doomed.push_back({chunk->type, chunk->id});
  for (const Identity& identity : doomed) doc_.File().RemoveChunk(identity.type, identity.id);
  doc_.ContainerChanged();
}

void ResourceListController::Properties() {
  if (!HasSelection()) return;
  IffChunk* chunk = SelectedChunks().front();
  ItemDialogLogic logic(doc_.File(), platform(), QStringLiteral("Edit properties"), true);
  logic.SetInitial(chunk->type, chunk->id, chunk->name);
  if (!dialogs_.RunItemDialog(logic, owner_)) return;
  const Identity old{chunk->type, chunk->id};
  IffFile& file = doc_.File();
  if (logic.Type() != old.type || logic.Id() != old.id) file.RemoveChunk(logic.Type(), logic.Id());
  file.ChangeIdentity(old.type, old.id, logic.Type(), logic.Id(), logic.Name());
  doc_.ContainerChanged();
}

void ResourceListController::HexEdit() {
  if (!HasSelection()) return;
  IffChunk* chunk = SelectedChunks().front();
  if (!doc_.LoadChunk(*chunk, owner_)) return;
  ResourceData resource;
  if (!resource.Load(doc_.File(), *chunk)) return;
  EditorContext context{doc_.File(), owner_, platform()};
  ReportEditorResult(RunEditorFor(resource, context));
}

void ResourceListController::Duplicate() {
  if (!HasSelection()) return;
  std::vector<Identity> sources;
  for (IffChunk* chunk : SelectedChunks()) sources.push_back({chunk->type, chunk->id});
  for (const Identity& source : sources) {
    // Earlier rows may have replaced this one; look it up afresh.
    IffChunk* chunk = doc_.File().Find(source.type, source.id);
    if (!chunk || !doc_.LoadChunk(*chunk, owner_)) continue;
    ResourceData resource;
    if (!resource.Load(doc_.File(), *chunk)) continue;
    ItemDialogLogic logic(doc_.File(), platform(), QStringLiteral("Duplicate Item"));
    logic.SetInitial(chunk->type, chunk->id, chunk->name);
    if (!dialogs_.RunItemDialog(logic, owner_)) continue;
    if (resource.SaveAs(doc_.File(), logic.Type(), logic.Id(), logic.Name(), IffChunk::kDefaultFlags))
      doc_.ContainerChanged();
  }
  Refresh();
}

void ResourceListController::OpenResource() {
  if (!HasSelection()) return;
  IffChunk* chunk = SelectedChunks().front();
  if (!doc_.LoadChunk(*chunk, owner_)) return;
  if (chunk->type == MakeTypeCode("BMP_")) {
    platform().Message(owner_,
                       QStringLiteral("This resource should be edited by exporting and importing it to a .BMP file!"),
                       kAppTitle, MessageIcon::None);
    return;
  }
  if (chunk->type == MakeTypeCode("DGRP") && FindEditorEntry(MakeTypeCode("DGRP"))) {
    OpenDrawGroup(*chunk);
    return;
  }
  EditChunk(*chunk);
}

void ResourceListController::OpenDrawGroup(IffChunk& chunk) {
  if (askBlending_) {
    bool yes = platform().AskYesNo(owner_,
                                   QStringLiteral("Do you want to generate blending tables first?\n\nThis will take "
                                                  "some seconds but may speed up displaying large objects."),
                                   QStringLiteral("Question:"));
    if (yes) {
      BlendTableBuilder build = CurrentBlendTableBuilder();
      if (build && !build()) {
        platform().Error(owner_, QStringLiteral("Not enough memory!"), QStringLiteral("Error!"));
        return;
      }
    }
    askBlending_ = false;
  }
  EditChunk(chunk);
}

void ResourceListController::EditChunk(IffChunk& chunk) {
  std::unique_ptr<IffResource> resource = CreateResourceForType(chunk.type);
  if (!resource->Load(doc_.File(), chunk)) {
    platform().Message(owner_, QStringLiteral("Error while loading this resource or unknown format!"), kAppTitle,
                       MessageIcon::None);
    return;
  }
  EditorContext context{doc_.File(), owner_, platform()};
  ReportEditorResult(RunEditorFor(*resource, context));
}

void ResourceListController::ReportEditorResult(EditorResult result) {
  switch (result) {
    case EditorResult::Ok:
      doc_.ContainerChanged();
      break;
    case EditorResult::SaveFailed:
      platform().Error(owner_, QStringLiteral("Couldn't store the edited resource; it was left unchanged."));
      doc_.ContainerChanged();  // an entry may have stored companion chunks already
      break;
    default:
      break;
  }
}

}  // namespace scrivet
