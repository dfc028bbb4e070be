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

#include "app/item_dialog_logic.h"
#include "app/resource_list_model.h"

namespace scrivet {

namespace {

QDialogButtonBox* OkCancel(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
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
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Export..."));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(choice.CountLabel(), &dialog));
  auto* dataOnly = new QRadioButton(QStringLiteral("Export data only"), &dialog);
  auto* withIdentity = new QRadioButton(QStringLiteral("Export data as well as type, id, name and flags"), &dialog);
  auto* single = new QCheckBox(QStringLiteral("Export all selected resources to a single file"), &dialog);
  dataOnly->setChecked(choice.mode == ExportChoice::Mode::DataOnly);
  withIdentity->setChecked(choice.mode == ExportChoice::Mode::WithIdentity);
  auto update = [&] {
    choice.mode = withIdentity->isChecked() ? ExportChoice::Mode::WithIdentity : ExportChoice::Mode::DataOnly;
    if (!choice.SingleFileEnabled()) single->setChecked(false);
    single->setEnabled(choice.SingleFileEnabled());
  };
  update();
  QObject::connect(dataOnly, &QRadioButton::toggled, &dialog, update);
  layout->addWidget(dataOnly);
  layout->addWidget(withIdentity);
  layout->addWidget(single);
  QDialogButtonBox* buttons = OkCancel(dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  update();
  choice.singleFile = single->isChecked();
  return true;
}

bool QtViewDialogs::RunImportDialog(ImportChoice& choice, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Import..."));
  auto* layout = new QVBoxLayout(&dialog);
  auto* dataOnly = new QRadioButton(QStringLiteral("Import one or more 'data-only' files"), &dialog);
  auto* iff = new QRadioButton(QStringLiteral("Import one or more IFF file with resources"), &dialog);
  auto* overwrite = new QCheckBox(QStringLiteral("Automatically overwrite existing resources"), &dialog);
  dataOnly->setChecked(choice.mode == ImportChoice::Mode::DataOnly);
  iff->setChecked(choice.mode == ImportChoice::Mode::IffFiles);
  auto update = [&] {
    choice.mode = iff->isChecked() ? ImportChoice::Mode::IffFiles : ImportChoice::Mode::DataOnly;
    if (!choice.AutoOverwriteEnabled()) overwrite->setChecked(false);
    overwrite->setEnabled(choice.AutoOverwriteEnabled());
  };
  update();
  QObject::connect(dataOnly, &QRadioButton::toggled, &dialog, update);
  layout->addWidget(dataOnly);
  layout->addWidget(iff);
  layout->addWidget(overwrite);
  QDialogButtonBox* buttons = OkCancel(dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  update();
  choice.autoOverwrite = overwrite->isChecked();
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
