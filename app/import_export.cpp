// The Import and Export commands of the resource list.

#include <QFileInfo>
#include <functional>

#include "app/document_history.h"
#include "app/item_dialog_logic.h"
#include "app/resource_list_controller.h"
#include "core/stream.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

const QString kAllFilesFilter = QStringLiteral("All files (*.*)");
const QString kIffFilter = QStringLiteral("IFF files (*.iff)");

// Proposed file name "<type><id>.<suffix>", with the type written the way the command-line tool
// writes it: unsafe characters as %XX, so the proposal never points into another folder.
QString DefaultFileName(const IffChunk& chunk, const char* suffix) {
  return QStringLiteral("%1%2.%3")
      .arg(QString::fromLatin1(TypeCodeToFileName(chunk.type)))
      .arg(chunk.id)
      .arg(QLatin1String(suffix));
}

bool WriteFileSafely(const QString& path, const std::function<bool(Stream&)>& writer, CoreFailure* reason) {
  return SaveFileAtomically(path.toStdString(), writer, reason);
}

}  // namespace

QString ImportFromIffRows::ResourceText(const IffChunk& chunk) { return ResourceListModel::ResourceCellText(chunk); }

// ---------------------------------------------------------------- export

void ResourceListController::Export() {
  if (!HasSelection()) return;
  // The container does not change while the export runs: the chunks stay where they are.
  std::vector<IffChunk*> chunks;
  for (const ResourceKey& key : SelectedResources())
    if (IffChunk* chunk = doc_.File().Find(key.type, key.id)) chunks.push_back(chunk);
  ExportChoice choice;
  choice.count = int(chunks.size());
  if (!dialogs_.RunExportDialog(choice, owner_)) return;
  if (!choice.SingleFileEnabled()) choice.singleFile = false;

  auto reportFailure = [this](const QString& path, const CoreFailure& reason) {
    platform().Error(owner_, QStringLiteral("Couldn't create the file \"%1\"!\n%2").arg(path, CoreErrorText(reason)));
  };

  if (choice.mode == ExportChoice::Mode::WithIdentity && choice.singleFile) {
    std::unique_ptr<IffFile> out = IffFile::CreateEmpty(false);
    for (IffChunk* chunk : chunks) {
      if (!doc_.LoadChunk(*chunk, owner_)) continue;
      if (IffChunk* added = out->AddChunk(chunk->type, chunk->id, chunk->name, chunk->Data(), chunk->Size()))
        added->flags = chunk->flags;
    }
    FileDialogRequest request{QString(), kIffFilter, QStringLiteral("*.iff"), QStringLiteral("iff"), true};
    QString path = platform().SaveFileName(owner_, request);
    if (path.isEmpty()) return;
    CoreFailure reason;
    if (!WriteFileSafely(path, [&](Stream& s) { return out->Write(&s); }, &reason)) {
      reportFailure(path, reason);
      return;
    }
    platform().Message(owner_, QStringLiteral("Success!"), QStringLiteral("Scrivet 2"), MessageIcon::Information);
    return;
  }

  const bool withIdentity = choice.mode == ExportChoice::Mode::WithIdentity;
  for (IffChunk* chunk : chunks) {
    FileDialogRequest request;
    request.filter = withIdentity ? kIffFilter : kAllFilesFilter;
    request.defaultName = DefaultFileName(*chunk, withIdentity ? "iff" : "bin");
    request.defaultSuffix = withIdentity ? QStringLiteral("iff") : QString();
    QString path = platform().SaveFileName(owner_, request);
    if (path.isEmpty()) return;
    // A chunk whose data cannot be read leaves its file empty.
    const bool loaded = doc_.LoadChunk(*chunk, owner_);
    CoreFailure reason;
    bool ok;
    if (withIdentity) {
      std::unique_ptr<IffFile> out = IffFile::CreateEmpty(false);
      if (loaded) {
        if (IffChunk* added = out->AddChunk(chunk->type, chunk->id, chunk->name, chunk->Data(), chunk->Size()))
          added->flags = chunk->flags;
      }
      ok = WriteFileSafely(path, [&](Stream& s) { return loaded ? out->Write(&s) : true; }, &reason);
    } else {
      ok = WriteFileSafely(path, [&](Stream& s) { return !loaded || s.Write(chunk->Data(), chunk->Size()); }, &reason);
    }
    if (!ok) reportFailure(path, reason);
  }
}

// ---------------------------------------------------------------- import

void ResourceListController::Import() {
  ImportChoice choice;
  if (!dialogs_.RunImportDialog(choice, owner_)) return;
  if (!choice.AutoOverwriteEnabled()) choice.autoOverwrite = false;
  const bool iff = choice.mode == ImportChoice::Mode::IffFiles;
  FileDialogRequest request;
  request.filter = iff ? kIffFilter : kAllFilesFilter;
  QStringList files = platform().OpenFileNames(owner_, request);
  if (files.isEmpty()) return;
  // Every file of one import is one step of the history.
  DocumentChange change(doc_, QStringLiteral("Import"), owner_);
  if (iff)
    ImportIffFiles(files, choice.autoOverwrite, change);
  else
    ImportDataFiles(files, change);
  change.Commit();
}

void ResourceListController::ImportDataFiles(const QStringList& files, DocumentChange& change) {
  for (const QString& path : files) {
    // Checked before reading: a chunk cannot hold more than this.
    if (QFileInfo(path).size() > qint64(IffFile::kMaxChunkSize - IffFile::kChunkHeaderSize)) {
      platform().Error(owner_, QStringLiteral("The file \"%1\" is too large for a resource!").arg(path));
      continue;
    }
    std::vector<uint8_t> bytes;
    CoreFailure reason;
    if (!ReadWholeFile(path.toStdString(), bytes, &reason) ||
        bytes.size() > IffFile::kMaxChunkSize - IffFile::kChunkHeaderSize) {
      platform().Error(owner_, QStringLiteral("Couldn't open file!\n%1").arg(CoreErrorText(reason)));
      continue;
    }
    ItemDialogLogic logic = ItemDialog(QStringLiteral("Insert Item"));
    logic.SetInitialName(QFileInfo(path).absoluteFilePath());
    if (!dialogs_.RunItemDialog(logic, owner_)) return;
    if (!change.Touch(ChunkSelection().Add(logic.Type(), logic.Id()))) return;
    doc_.File().AddChunk(logic.Type(), logic.Id(), logic.Name(), bytes.data(), bytes.size());
  }
}

void ResourceListController::ImportIffFiles(const QStringList& files, bool autoOverwrite, DocumentChange& change) {
  for (const QString& path : files) {
    // The whole source is read into memory so that nothing can change under the import.
    std::vector<uint8_t> bytes;
    std::unique_ptr<IffFile> source;
    if (ReadWholeFile(path.toStdString(), bytes)) {
      MemoryStream memory(std::move(bytes));
      source = IffFile::AttachMemoryCopy(memory);
      if (source && !source->ReadDirectory()) source.reset();
    }
    if (!source) {
      platform().Message(owner_, QStringLiteral("Couldn't load the supposed IFF file \"%1\"!").arg(path),
                         QStringLiteral("Error while loading file!"), MessageIcon::Error);
      continue;
    }
    ImportFromIffRows rows;
    rows.fileName = QFileInfo(path).fileName();
    rows.chunks = source->ResourcesByTypeAndId();
    rows.selected.assign(rows.chunks.size(), true);
    if (!dialogs_.RunImportFromIffDialog(rows, owner_)) return;

    ChunkSelection picked;
    for (size_t i = 0; i < rows.chunks.size() && i < rows.selected.size(); ++i)
      if (rows.selected[i]) picked.Add(rows.chunks[i]->type, rows.chunks[i]->id);
    if (!change.Touch(picked)) return;
    IffFile& target = doc_.File();
    for (size_t i = 0; i < rows.chunks.size(); ++i) {
      if (i >= rows.selected.size() || !rows.selected[i]) continue;
      IffChunk& chunk = *rows.chunks[i];
      if (!autoOverwrite && target.Find(chunk.type, chunk.id)) {
        QString question = QStringLiteral(
                               "The resource with properties\n\ntype: %1\nid: %2\nname: %3\n\nalready exists!\n\n"
                               "Do you want to overwrite this resource?")
                               .arg(TypeText(chunk.type))
                               .arg(chunk.id)
                               .arg(FromCp1252(chunk.name));
        if (!platform().AskYesNo(owner_, question, QStringLiteral("Resource already exists!"))) continue;
      }
      if (!source->LoadChunkData(chunk)) continue;
      if (IffChunk* added = target.AddChunk(chunk.type, chunk.id, chunk.name, chunk.Data(), chunk.Size()))
        added->flags = chunk.flags;
    }
  }
}

}  // namespace scrivet
