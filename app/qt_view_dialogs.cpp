#include "app/qt_view_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "app/item_dialog_logic.h"
#include "app/resource_list_model.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

QDialogButtonBox* OkCancel(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

struct ChoiceTexts {
  QString first;
  QString second;
  QString check;
};

// The shape of the Export and Import dialogs: two choices, and a check box that only some choices
// allow (it is cleared and greyed otherwise). `second` and `checked` go in and come out.
bool RunChoiceDialog(QWidget* parent, const QString& title, const QString& header, const ChoiceTexts& texts,
                     bool& second, bool& checked, const std::function<bool(bool second)>& checkAllowed) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  if (!header.isEmpty()) layout->addWidget(new QLabel(header, &dialog));
  auto* firstButton = new QRadioButton(texts.first, &dialog);
  auto* secondButton = new QRadioButton(texts.second, &dialog);
  auto* check = new QCheckBox(texts.check, &dialog);
  firstButton->setChecked(!second);
  secondButton->setChecked(second);
  check->setChecked(checked);
  auto update = [&] {
    const bool allowed = checkAllowed(secondButton->isChecked());
    if (!allowed) check->setChecked(false);
    check->setEnabled(allowed);
  };
  update();
  QObject::connect(firstButton, &QRadioButton::toggled, &dialog, update);
  layout->addWidget(firstButton);
  layout->addWidget(secondButton);
  layout->addWidget(check);
  QDialogButtonBox* buttons = OkCancel(dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  update();
  second = secondButton->isChecked();
  checked = check->isChecked();
  return true;
}

}  // namespace

bool QtViewDialogs::RunItemDialog(ItemDialogLogic& logic, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(logic.Title());
  auto* form = new QFormLayout(&dialog);
  auto* type = new QComboBox(&dialog);
  type->setEditable(true);
  type->setInsertPolicy(QComboBox::NoInsert);
  type->addItems(logic.TypeChoices());
  type->lineEdit()->setMaxLength(4);
  type->setEditText(logic.InitialTypeText());
  auto* id = new QSpinBox(&dialog);
  id->setRange(0, 65535);
  id->setValue(logic.InitialId());
  auto* name = new QLineEdit(&dialog);
  name->setMaxLength(ItemDialogLogic::kMaxNameLength);
  name->setText(logic.InitialName());
  name->setMinimumWidth(320);
  form->addRow(QStringLiteral("Type:"), type);
  form->addRow(QStringLiteral("ID:"), id);
  form->addRow(QStringLiteral("Name:"), name);
  QDialogButtonBox* buttons = OkCancel(dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    if (logic.Accept(type->currentText(), id->value(), name->text(), &dialog)) dialog.accept();
  });
  return dialog.exec() == QDialog::Accepted;
}

bool QtViewDialogs::RunExportDialog(ExportChoice& choice, QWidget* parent) {
  bool withIdentity = choice.mode == ExportChoice::Mode::WithIdentity;
  bool singleFile = choice.singleFile;
  const bool ok = RunChoiceDialog(parent, QStringLiteral("Export..."), choice.CountLabel(),
                                  {QStringLiteral("Export data only"),
                                   QStringLiteral("Export data as well as type, id, name and flags"),
                                   QStringLiteral("Export all selected resources to a single file")},
                                  withIdentity, singleFile, [&choice](bool second) {
                                    ExportChoice probe = choice;
                                    probe.mode = second ? ExportChoice::Mode::WithIdentity : ExportChoice::Mode::DataOnly;
                                    return probe.SingleFileEnabled();
                                  });
  if (!ok) return false;
  choice.mode = withIdentity ? ExportChoice::Mode::WithIdentity : ExportChoice::Mode::DataOnly;
  choice.singleFile = singleFile;
  return true;
}

bool QtViewDialogs::RunImportDialog(ImportChoice& choice, QWidget* parent) {
  bool iffFiles = choice.mode == ImportChoice::Mode::IffFiles;
  bool autoOverwrite = choice.autoOverwrite;
  const bool ok = RunChoiceDialog(parent, QStringLiteral("Import..."), QString(),
                                  {QStringLiteral("Import one or more 'data-only' files"),
                                   QStringLiteral("Import one or more IFF file with resources"),
                                   QStringLiteral("Automatically overwrite existing resources")},
                                  iffFiles, autoOverwrite, [](bool second) {
                                    ImportChoice probe;
                                    probe.mode = second ? ImportChoice::Mode::IffFiles : ImportChoice::Mode::DataOnly;
                                    return probe.AutoOverwriteEnabled();
                                  });
  if (!ok) return false;
  choice.mode = iffFiles ? ImportChoice::Mode::IffFiles : ImportChoice::Mode::DataOnly;
  choice.autoOverwrite = autoOverwrite;
  return true;
}

bool QtViewDialogs::RunImportFromIffDialog(ImportFromIffRows& rows, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Import from an IFF file..."));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Filename: %1").arg(rows.fileName), &dialog));
  auto* group = new QGroupBox(QStringLiteral("Select resources to import"), &dialog);
  auto* groupLayout = new QVBoxLayout(group);
  auto* list = new QTreeWidget(group);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("ID"), QStringLiteral("Resource")});
  list->header()->resizeSection(0, 50);
  list->header()->resizeSection(1, 50);
  list->header()->resizeSection(2, 380);
  list->setMinimumWidth(500);
  for (const IffChunk* chunk : rows.chunks) {
    auto* item = new QTreeWidgetItem(list, {TypeText(chunk->type), QString::number(chunk->id),
                                            ImportFromIffRows::ResourceText(*chunk)});
    item->setSelected(true);
  }
  if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
  groupLayout->addWidget(list);
  layout->addWidget(group);
  QDialogButtonBox* buttons = OkCancel(dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  list->setFocus();
  if (dialog.exec() != QDialog::Accepted) return false;
  for (int i = 0; i < list->topLevelItemCount() && size_t(i) < rows.selected.size(); ++i)
    rows.selected[size_t(i)] = list->topLevelItem(i)->isSelected();
  return true;
}

}  // namespace scrivet
