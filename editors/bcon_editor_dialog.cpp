#include "editors/bcon_editor_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

enum Column { kIdColumn, kValueColumn, kLabelColumn };

}  // namespace

BconEditorDialog::BconEditorDialog(BconEditor& logic, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(QStringLiteral("Constants editor"));

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("Value"), QStringLiteral("Label")});
  list_->setColumnWidth(kIdColumn, 40);
  list_->setColumnWidth(kValueColumn, 120);
  // Only a file with a label table has something to show there.
  list_->setColumnHidden(kLabelColumn, !logic_.HasLabels());
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  value_ = new QLineEdit(this);
  editable_ = new QCheckBox(QStringLiteral("&Editable constants"), this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Value:"), value_);

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(form);
  layout->addWidget(editable_);
  layout->addLayout(bottom);

  connect(list_, &QWidget::customContextMenuRequested, this, &BconEditorDialog::ShowMenu);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    if (guard_) return;
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    ShowValue();
  });
  connect(value_, &QLineEdit::editingFinished, this, [this] { TakeValue(); });
  connect(editable_, &QCheckBox::clicked, this, [this](bool checked) {
    logic_.SetEditable(checked);
    undo_->Follow(logic_);
  });
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  setMinimumSize(layout->minimumSize().expandedTo(QSize(280, 320)));
  Refresh();
}

void BconEditorDialog::Refresh() {
  guard_ = true;
  const std::vector<int16_t>& values = logic_.Constants().values;
  while (list_->topLevelItemCount() > int(values.size())) delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
  while (list_->topLevelItemCount() < int(values.size())) new QTreeWidgetItem(list_);
  for (size_t row = 0; row < values.size(); ++row) {
    QTreeWidgetItem* item = list_->topLevelItem(int(row));
    item->setText(kIdColumn, QString::number(row));
    item->setText(kValueColumn, QString::number(values[row]));
    item->setText(kLabelColumn, FromCp1252(logic_.Label(row)));
  }
  list_->setCurrentItem(logic_.HasSelection() ? list_->topLevelItem(int(logic_.Selected())) : nullptr);
  guard_ = false;
  editable_->setChecked(logic_.Constants().editable);
  ShowValue();
}

void BconEditorDialog::ShowValue() {
  value_->setText(logic_.HasSelection() ? QString::number(logic_.SelectedValue()) : QString());
  value_->setEnabled(logic_.HasSelection());
  undo_->Follow(logic_);
}

void BconEditorDialog::ShowMenu(const QPoint& position) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Add"), this, &BconEditorDialog::AddValue);
  menu.addAction(QStringLiteral("&Delete"), this, &BconEditorDialog::DeleteValue)->setEnabled(logic_.HasSelection());
  menu.addSeparator();
  undo_->AddTo(menu, logic_);
  menu.exec(list_->viewport()->mapToGlobal(position));
}

void BconEditorDialog::AddValue() {
  if (!TakeValue()) return;
  if (logic_.Add() == EditError::ListFull)
    platform_.Warn(this, QStringLiteral("A constants list can't hold more than %1 values.").arg(ResourceBcon::kMaxValues));
  Refresh();
}

void BconEditorDialog::DeleteValue() {
  logic_.Delete();
  Refresh();
}

bool BconEditorDialog::TakeValue() {
  const QString shown = QString::number(logic_.SelectedValue());
  if (!logic_.HasSelection() || value_->text() == shown) return true;
  const NumberParse parse = logic_.SetValue(ToCp1252(value_->text()));
  // The box shows the stored value before any message, so that leaving it does not refuse twice.
  value_->setText(QString::number(logic_.SelectedValue()));
  if (parse.ok()) list_->topLevelItem(int(logic_.Selected()))->setText(kValueColumn, value_->text());
  logic_.BreakMerge();
  undo_->Follow(logic_);
  return AcceptNumber(platform_, this, parse);
}

void BconEditorDialog::accept() {
  if (TakeValue()) QDialog::accept();
}

bool RunBconEditor(ResourceBcon& constants, EditorContext& context) {
  BconEditor logic(constants, ConstantLabels(context.file, constants.Chunk().id));
  BconEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  constants.CopyFrom(logic.Constants());
  return true;
}

}  // namespace scrivet
