#pragma once
// One open IFF file. The document owns its container; every view of it listens to Changed().

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <memory>

#include "behaviour/function_catalogue.h"
#include "core/iff_file.h"
#include "editors/platform.h"

class QWidget;

namespace scrivet {

class CScrivet2Doc : public QObject {
  Q_OBJECT

 public:
  // A new document: an empty in-memory container named `untitledName` (e.g. "IFFFile1").
  CScrivet2Doc(Platform& platform, const QString& untitledName);
  ~CScrivet2Doc() override;

  IffFile& File() { return *file_; }
  Platform& GetPlatform() { return platform_; }
  // The routines of this document's file, as calls name them. Refilled from the container on
  // each call, so it always matches the file; every document has its own.
  const FunctionList& PrivateFunctions();

  // Attaches the file and reads its directory. A file that is not IFF, or of an unknown version,
  // gives its message and leaves the document empty but titled with the file; false only when
  // the file cannot be opened at all (reported too).
  bool Open(const QString& path, QWidget* messageOwner);
  // Writes everything to `path` through a safe save. On failure: "Couldn't save the file!" or
  // the system's reason, the old file stays, the document stays modified.
  bool Save(const QString& path, QWidget* messageOwner);

  // Loads a chunk's data for a command, refusing (with a message) when another program has
  // changed the file on disk since it was opened: its bytes would no longer match the directory.
  bool LoadChunk(IffChunk& chunk, QWidget* messageOwner);

  // The commands that changed the container since it was opened, for Undo and Redo. The
  // modified mark follows the history's clean state: undoing back to the last save clears it.
  QUndoStack& History() { return history_; }

  bool IsModified() const { return unrecorded_ || !history_.isClean(); }
  // Marking unmodified makes the present state of the history the saved one.
  void SetModified(bool modified);
  // The container was changed outside the history: mark modified and refresh every view. The
  // history is dropped, since its steps no longer fit the container.
  void ContainerChanged();

  // Full path, empty while the document has never been saved or opened.
  const QString& PathName() const { return path_; }
  // The name shown in titles: the file name, or the untitled name.
  QString Title() const;

 Q_SIGNALS:
  void Changed();
  void TitleChanged();

 private:
  Platform& platform_;
  std::unique_ptr<IffFile> file_;
  FunctionList privateFunctions_;
  QString untitled_;
  QString path_;
  QUndoStack history_;
  bool unrecorded_ = false;
};

}  // namespace scrivet
