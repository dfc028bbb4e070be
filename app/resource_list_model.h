#pragma once
// Item models over a container: the alphabetical type list and the resource list in its two
// modes. Rows refer to resources by identity (type, id), never to chunk objects, so no change to
// the container can leave a row pointing at a freed chunk; nothing of the resource data is copied.

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "core/iff_file.h"

namespace scrivet {

// The value the ">> All resources" entry remembers.
inline constexpr TypeCode kAllResources = 0xFFFFFFFF;

// A resource of a container, by identity.
struct ResourceKey {
  TypeCode type = 0;
  uint16_t id = 0;
};
// Ordering of texts in the sorted lists (type list, type drop-down): case-insensitive first.
bool SortedListLess(const QString& a, const QString& b);

class TypeListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  struct Entry {
    QString text;
    TypeCode code;
  };

  using QAbstractListModel::QAbstractListModel;

  // One entry per type present (rsmp excluded) plus ">> All resources", sorted by text.
  void Rebuild(const IffFile& file);
  const std::vector<Entry>& Entries() const { return entries_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<Entry> entries_;
};

class ResourceListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Rows of one type in ascending id order, or every resource when type is kAllResources. The
  // model reads names and sizes from `file` until the next rebuild.
  void Rebuild(IffFile& file, TypeCode type);
  bool AllMode() const { return allMode_; }
  // The identity of a row (type 0 when there is no such row).
  ResourceKey KeyAt(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The texts of a row: the single item text in type mode, the three cells otherwise.
  static QString ItemText(const IffChunk& chunk);
  static QString ResourceCellText(const IffChunk& chunk);

 private:
  const IffChunk* ChunkAt(int row) const;

  const IffFile* file_ = nullptr;
  std::vector<ResourceKey> rows_;
  bool allMode_ = true;
};

}  // namespace scrivet
