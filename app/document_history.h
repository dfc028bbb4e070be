#pragma once
// Undo and redo of the document's commands. A step records the chunks a change may touch: where
// each stood in the list and everything it held (identity, flags, name, data), before and after
// the change. Undo and redo take the touched chunks out and put the recorded ones back, so the
// container is byte for byte what it was, and nothing else is copied.

#include <QString>
#include <QUndoCommand>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/iff_file.h"

class QWidget;

namespace scrivet {

class CScrivet2Doc;

// The chunks a step may touch: some identities, and optionally every chunk with one id (an
// editor's entry may store companions of its resource, such as a TTAB's TTAs).
class ChunkSelection {
 public:
  ChunkSelection& Add(TypeCode type, uint16_t id);
  ChunkSelection& AnyTypeWithId(uint16_t id);
  bool Contains(const IffChunk& chunk) const;
  // The list positions of the file's chunks it holds, ascending.
  std::vector<size_t> PositionsIn(const IffFile& file) const;

 private:
  std::vector<uint64_t> keys_;  // sorted
  bool anyType_ = false;
  uint16_t id_ = 0;
};

// Chunks with their list positions, ascending.
using PlacedChunks = std::vector<std::pair<size_t, IffChunk>>;

struct ChunkChange {
  ChunkSelection selection;
  PlacedChunks before;
  PlacedChunks after;
};

// Copies of the selected chunks with their positions; false when one's data is not loaded.
bool CaptureChunks(const IffFile& file, const ChunkSelection& selection, PlacedChunks& out);
// Replaces the selected chunks by copies of `state`.
void RestoreChunks(IffFile& file, const ChunkSelection& selection, const PlacedChunks& state);
bool SameChunks(const PlacedChunks& a, const PlacedChunks& b);

// One user action on the history. Its first redo comes from the push, after the action has run.
class ContainerCommand : public QUndoCommand {
 public:
  ContainerCommand(CScrivet2Doc& doc, const QString& text, std::vector<ChunkChange> steps);
  void undo() override;
  void redo() override;

 private:
  CScrivet2Doc& doc_;
  std::vector<ChunkChange> steps_;
  bool pushed_ = false;
};

// Records one user action. Touch before each change names what it may touch; Commit puts the
// action on the history. Going out of scope commits only what really changed, so an early return
// after a change still records it, and a cancelled dialog records nothing.
class DocumentChange {
 public:
  DocumentChange(CScrivet2Doc& doc, QString text, QWidget* messageOwner);
  ~DocumentChange();
  DocumentChange(const DocumentChange&) = delete;
  DocumentChange& operator=(const DocumentChange&) = delete;

  // Starts a step (finishing the one before). False, after a message, when data of a selected
  // chunk can't be loaded: the change must then not be made.
  bool Touch(const ChunkSelection& selection);
  // Records the action even when it left every byte as it was (an editor's OK is a change).
  void Commit();

 private:
  void FinishStep();
  void Push();

  CScrivet2Doc& doc_;
  QString text_;
  QWidget* owner_;
  std::vector<ChunkChange> steps_;
  bool open_ = false;
  bool done_ = false;
};

}  // namespace scrivet
