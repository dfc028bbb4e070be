#pragma once
// The resource list's own dialogs, behind an interface so that tests can script them.
// Each dialog returns false for Cancel.

#include <QString>
#include <QStringList>
#include <vector>

#include "core/iff_file.h"

class QWidget;

namespace scrivet {

class ItemDialogLogic;

struct ExportChoice {
  enum class Mode { DataOnly, WithIdentity };
  int count = 1;             // resources selected (label "Single file" / "Multiple files")
  Mode mode = Mode::DataOnly;
  bool singleFile = false;   // only with WithIdentity and several resources

  QString CountLabel() const { return count > 1 ? QStringLiteral("Multiple files") : QStringLiteral("Single file"); }
  bool SingleFileEnabled() const { return mode == Mode::WithIdentity && count > 1; }
};

struct ImportChoice {
  enum class Mode { DataOnly, IffFiles };
  Mode mode = Mode::DataOnly;
  bool autoOverwrite = false;  // only with IffFiles

  bool AutoOverwriteEnabled() const { return mode == Mode::IffFiles; }
};

// The rows of the "Import from an IFF file..." dialog and which of them are selected.
struct ImportFromIffRows {
  QString fileName;                 // without its folder
  std::vector<IffChunk*> chunks;    // the source file's resources, rsmp left out
  std::vector<bool> selected;       // all true when the dialog opens

  static QString ResourceText(const IffChunk& chunk);
};

class ViewDialogs {
 public:
  virtual ~ViewDialogs() = default;
  virtual bool RunItemDialog(ItemDialogLogic& logic, QWidget* parent) = 0;
  virtual bool RunExportDialog(ExportChoice& choice, QWidget* parent) = 0;
  virtual bool RunImportDialog(ImportChoice& choice, QWidget* parent) = 0;
  virtual bool RunImportFromIffDialog(ImportFromIffRows& rows, QWidget* parent) = 0;
};

}  // namespace scrivet
