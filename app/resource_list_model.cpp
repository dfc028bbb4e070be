#include "app/resource_list_model.h"

#include <algorithm>
#include <unordered_map>

#include "editors/qt_text.h"

namespace scrivet {

bool SortedListLess(const QString& a, const QString& b) {
  int c = QString::compare(a, b, Qt::CaseInsensitive);
  if (c != 0) return c < 0;
  return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

// ---------------------------------------------------------------- type list

void TypeListModel::Rebuild(const IffFile& file) {
  std::unordered_map<TypeCode, int> counts;
  for (size_t i = 0; i < file.ChunkCount(); ++i) ++counts[file.ChunkAt(i).type];
  std::vector<Entry> entries;
  entries.reserve(counts.size() + 1);
  entries.push_back({QStringLiteral(">> All resources"), kAllResources});
  for (TypeCode type : file.TypeList()) {
    if (type == IffFile::kMapType) continue;
    entries.push_back({QStringLiteral("%1 (%2)").arg(TypeText(type)).arg(counts[type]), type});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return SortedListLess(a.text, b.text); });
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

int TypeListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(entries_.size());
}

QVariant TypeListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(entries_.size())) return {};
  if (role == Qt::DisplayRole) return entries_[size_t(index.row())].text;
  return {};
}

// ---------------------------------------------------------------- resource list

void ResourceListModel::Rebuild(IffFile& file, TypeCode type) {
  std::vector<ResourceKey> rows;
  if (type == kAllResources) {
    const std::vector<IffChunk*> chunks = file.ResourcesByTypeAndId();
    rows.reserve(chunks.size());
    for (const IffChunk* chunk : chunks) rows.push_back({chunk->type, chunk->id});
  } else {
    for (size_t i = 0; i < file.ChunkCount(); ++i)
      if (file.ChunkAt(i).type == type) rows.push_back({type, file.ChunkAt(i).id});
    std::sort(rows.begin(), rows.end(), [](const ResourceKey& a, const ResourceKey& b) { return a.id < b.id; });
  }
  beginResetModel();
  file_ = &file;
  rows_ = std::move(rows);
  allMode_ = type == kAllResources;
  endResetModel();
}

ResourceKey ResourceListModel::KeyAt(int row) const {
  return row >= 0 && row < int(rows_.size()) ? rows_[size_t(row)] : ResourceKey{};
}

const IffChunk* ResourceListModel::ChunkAt(int row) const {
  if (!file_ || row < 0 || row >= int(rows_.size())) return nullptr;
  const ResourceKey& key = rows_[size_t(row)];
  return file_->Find(key.type, key.id);
}

int ResourceListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int ResourceListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return allMode_ ? 3 : 1;
}

QString ResourceListModel::ItemText(const IffChunk& chunk) {
  return QStringLiteral("#%1: \"%2\" (size: %3)").arg(chunk.id).arg(FromCp1252(chunk.name)).arg(chunk.Size());
}

QString ResourceListModel::ResourceCellText(const IffChunk& chunk) {
  return QStringLiteral("%1 (size: %2)").arg(FromCp1252(chunk.name)).arg(chunk.Size());
}

QVariant ResourceListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole) return {};
  const IffChunk* chunk = ChunkAt(index.row());
  if (!chunk) return {};
  if (!allMode_) return ItemText(*chunk);
  switch (index.column()) {
    case 0: return TypeText(chunk->type);
    case 1: return QString::number(chunk->id);
    case 2: return ResourceCellText(*chunk);
    default: return {};
  }
}

QVariant ResourceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (!allMode_) return section == 0 ? QStringLiteral("Resource") : QVariant();
  switch (section) {
    case 0: return QStringLiteral("Type");
    case 1: return QStringLiteral("ID");
    case 2: return QStringLiteral("Resource");
    default: return {};
  }
}

}  // namespace scrivet
