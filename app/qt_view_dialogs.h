#pragma once
// The resource list's dialogs as Qt widgets, bound to the logic classes.

#include "app/view_dialogs.h"

namespace scrivet {

class QtViewDialogs : public ViewDialogs {
 public:
  bool RunItemDialog(ItemDialogLogic& logic, QWidget* parent) override;
  bool RunExportDialog(ExportChoice& choice, QWidget* parent) override;
  bool RunImportDialog(ImportChoice& choice, QWidget* parent) override;
  bool RunImportFromIffDialog(ImportFromIffRows& rows, QWidget* parent) override;
};

}  // namespace scrivet
