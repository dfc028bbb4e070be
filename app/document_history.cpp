#include "app/document_history.h"

#include <algorithm>
#include <cstring>

#include "app/scrivet2_doc.h"

namespace scrivet {

namespace {

uint64_t Key(TypeCode type, uint16_t id) { return (uint64_t(type) << 16) | id; }

bool SameChunk(const IffChunk& a, const IffChunk& b) {
  return a.type == b.type && a.id == b.id && a.flags == b.flags && a.name == b.name && a.Size() == b.Size() &&
         (a.Size() == 0 || std::memcmp(a.Data(), b.Data(), a.Size()) == 0);
}

}  // namespace

ChunkSelection& ChunkSelection::Add(TypeCode type, uint16_t id) {
  const uint64_t key = Key(type, id);
  auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
  if (at == keys_.end() || *at != key) keys_.insert(at, key);
  return *this;
}

ChunkSelection& ChunkSelection::AnyTypeWithId(uint16_t id) {
  anyType_ = true;
  id_ = id;
  return *this;
}

bool ChunkSelection::Contains(const IffChunk& chunk) const {
  return (anyType_ && chunk.id == id_) || std::binary_search(keys_.begin(), keys_.end(), Key(chunk.type, chunk.id));
}

std::vector<size_t> ChunkSelection::PositionsIn(const IffFile& file) const {
  std::vector<size_t> positions;
  for (size_t i = 0; i < file.ChunkCount(); ++i)
    if (Contains(file.ChunkAt(i))) positions.push_back(i);
  return positions;
}

bool CaptureChunks(const IffFile& file, const ChunkSelection& selection, PlacedChunks& out) {
  out.clear();
  for (size_t i : selection.PositionsIn(file)) {
    if (!file.ChunkAt(i).IsLoaded()) return false;
    out.emplace_back(i, file.ChunkAt(i));
  }
  return true;
}

void RestoreChunks(IffFile& file, const ChunkSelection& selection, const PlacedChunks& state) {
  file.RemoveChunksAt(selection.PositionsIn(file));
  file.InsertChunksAt(PlacedChunks(state));
}

bool SameChunks(const PlacedChunks& a, const PlacedChunks& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const auto& x, const auto& y) { return x.first == y.first && SameChunk(x.second, y.second); });
}

// ---------------------------------------------------------------- command

ContainerCommand::ContainerCommand(CScrivet2Doc& doc, const QString& text, std::vector<ChunkChange> steps)
    : QUndoCommand(text), doc_(doc), steps_(std::move(steps)) {}

void ContainerCommand::undo() {
  // Later steps were recorded on the results of earlier ones: unwind them last first.
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step)
    RestoreChunks(doc_.File(), step->selection, step->before);
  Q_EMIT doc_.Changed();
}

void ContainerCommand::redo() {
  if (pushed_)
    for (const ChunkChange& step : steps_) RestoreChunks(doc_.File(), step.selection, step.after);
  pushed_ = true;
  Q_EMIT doc_.Changed();
}

// ---------------------------------------------------------------- recorder

DocumentChange::DocumentChange(CScrivet2Doc& doc, QString text, QWidget* messageOwner)
    : doc_(doc), text_(std::move(text)), owner_(messageOwner) {}

DocumentChange::~DocumentChange() {
  if (done_ || steps_.empty()) return;
  FinishStep();
  if (std::any_of(steps_.begin(), steps_.end(), [](const ChunkChange& s) { return !SameChunks(s.before, s.after); }))
    Push();
}

bool DocumentChange::Touch(const ChunkSelection& selection) {
  FinishStep();
  IffFile& file = doc_.File();
  for (size_t i : selection.PositionsIn(file))
    if (!doc_.LoadChunk(file.ChunkAt(i), owner_)) return false;
  ChunkChange step;
  step.selection = selection;
  if (!CaptureChunks(file, selection, step.before)) return false;
  steps_.push_back(std::move(step));
  open_ = true;
  return true;
}

void DocumentChange::FinishStep() {
  if (!open_) return;
  ChunkChange& step = steps_.back();
  // Touch loaded every selected chunk, and a change makes loaded chunks only.
  if (!CaptureChunks(doc_.File(), step.selection, step.after)) step.after = step.before;
  open_ = false;
}

void DocumentChange::Commit() {
  if (done_ || steps_.empty()) return;
  FinishStep();
  Push();
}

void DocumentChange::Push() {
  done_ = true;
  doc_.History().push(new ContainerCommand(doc_, text_, std::move(steps_)));
}

}  // namespace scrivet
