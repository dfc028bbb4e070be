#include "editors/objf_editor_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "behaviour/function_catalogue.h"
#include "codecs/resource_bhav.h"
#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/objf_entry_points.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

enum Column { kFunction, kTree, kCheckTree, kTreeName, kCheckTreeName };

QString RoutineText(const RoutineRef& routine) {
  switch (routine.kind) {
    case RoutineRef::Kind::None: return QString();
    case RoutineRef::Kind::Missing: return QStringLiteral("(missing)");
    default: return FromCp1252(routine.name);
  }
}

RoutineNames NamesFor(EditorContext& context) {
  RoutineNames names;
  for (const FunctionListEntry& entry : context.privateFunctions.entries) names.inFile.emplace(entry.id, entry.name);
  for (const FunctionListEntry& entry : context.functions.GlobalList().entries)
    names.elsewhere.emplace(entry.id, entry.name);
  if (const FunctionList* semiGlobals = context.functions.FindSemiGlobalList(SemiGlobalName(context.file)))
    for (const FunctionListEntry& entry : semiGlobals->entries) names.elsewhere.emplace(entry.id, entry.name);
  return names;
}

}  // namespace

ObjfEditorDialog::ObjfEditorDialog(ObjfEditor& logic, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(QStringLiteral("Object function table editor"));

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("Function"), QStringLiteral("Tree"), QStringLiteral("Check tree"),
                          QStringLiteral("Tree name"), QStringLiteral("Check tree name")});
  list_->setColumnWidth(kTree, 70);
  list_->setColumnWidth(kCheckTree, 70);
  list_->setColumnWidth(kTreeName, 140);
  for (size_t i = 0; i < ResourceObjf::kEntryCount; ++i)
    new QTreeWidgetItem(list_, {QString::fromLatin1(ResourceObjf::kEntryNames[i])});
  // The longer entry point names need more than the usual width.
  list_->resizeColumnToContents(kFunction);
  list_->setColumnWidth(kFunction, std::max(list_->columnWidth(kFunction), 140));
  description_ = new QPlainTextEdit(this);
  description_->setReadOnly(true);
  description_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  description_->setMaximumHeight(fontMetrics().lineSpacing() * 6);

  auto* boxes = new QGridLayout;
  const QString labels[] = {QStringLiteral("ID# of the BHAV resource &used:"),
                            QStringLiteral("ID# of the BHAV resource chec&k tree:")};
  const QString buttons[] = {QStringLiteral("&Open"), QStringLiteral("O&pen")};
  for (size_t i = 0; i < ids_.size(); ++i) {
    ids_[i] = new QLineEdit(this);
    open_[i] = new QPushButton(buttons[i], this);
    open_[i]->setAutoDefault(false);
    open_[i]->setToolTip(QStringLiteral("Opens this routine once the editor has closed, keeping the changes made here."));
    auto* label = new QLabel(labels[i], this);
    label->setBuddy(ids_[i]);
    boxes->addWidget(label, int(i), 0);
    boxes->addWidget(ids_[i], int(i), 1);
    boxes->addWidget(open_[i], int(i), 2);
  }

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addWidget(description_);
  layout->addLayout(boxes);
  layout->addLayout(bottom);

  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    if (guard_) return;
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    ShowBoxes();
  });
  for (size_t i = 0; i < ids_.size(); ++i) {
    connect(ids_[i], &QLineEdit::editingFinished, this, [this, i] { TakeId(ObjfBox(i)); });
    connect(open_[i], &QPushButton::clicked, this, [this, i] { Open(ObjfBox(i)); });
  }
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  setMinimumSize(layout->minimumSize().expandedTo(QSize(520, 420)));
  resize(620, 520);
  Refresh();
}

void ObjfEditorDialog::Refresh() {
  for (size_t row = 0; row < ResourceObjf::kEntryCount; ++row) ShowEntry(row);
  guard_ = true;
  list_->setCurrentItem(logic_.HasSelection() ? list_->topLevelItem(int(logic_.Selected())) : nullptr);
  guard_ = false;
  ShowBoxes();
}

void ObjfEditorDialog::ShowEntry(size_t row) {
  QTreeWidgetItem* item = list_->topLevelItem(int(row));
  const FunctionEntry& entry = logic_.Table().entries[row];
  item->setText(kTree, QString::number(entry.actionFunction));
  item->setText(kCheckTree, QString::number(entry.checkFunction));
  item->setText(kTreeName, RoutineText(logic_.Routine(entry.actionFunction)));
  item->setText(kCheckTreeName, RoutineText(logic_.Routine(entry.checkFunction)));
}

void ObjfEditorDialog::ShowBoxes() {
  const bool any = logic_.HasSelection();
  description_->setPlainText(any ? EntryPointDescription(logic_.Selected()) : QString());
  for (size_t i = 0; i < ids_.size(); ++i) {
    const uint16_t id = logic_.Id(ObjfBox(i));
    ids_[i]->setText(QString::number(id));
    ids_[i]->setEnabled(any);
    open_[i]->setEnabled(any && logic_.InFile(id));
  }
  undo_->Follow(logic_);
}

bool ObjfEditorDialog::TakeId(ObjfBox box) {
  QLineEdit* edit = ids_[size_t(box)];
  if (!logic_.HasSelection() || edit->text() == QString::number(logic_.Id(box))) return true;
  const NumberParse parse = logic_.SetId(box, ToCp1252(edit->text()));
  // The box shows the stored id before any message, so that leaving it does not refuse twice.
  edit->setText(QString::number(logic_.Id(box)));
  open_[size_t(box)]->setEnabled(logic_.InFile(logic_.Id(box)));
  ShowEntry(logic_.Selected());
  logic_.BreakMerge();
  undo_->Follow(logic_);
  return AcceptNumber(platform_, this, parse);
}

void ObjfEditorDialog::Open(ObjfBox box) {
  if (!TakeId(box) || !logic_.InFile(logic_.Id(box))) return;
  toOpen_ = logic_.Id(box);
  accept();
  if (result() != QDialog::Accepted) toOpen_.reset();
}

void ObjfEditorDialog::accept() {
  if (TakeId(ObjfBox::Action) && TakeId(ObjfBox::Check)) QDialog::accept();
}

bool RunObjfEditor(ResourceObjf& table, EditorContext& context) {
  ObjfEditor logic(table, NamesFor(context));
  ObjfEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (const std::optional<uint16_t> id = dialog.RoutineToOpen()) {
    context.openAfterClose = {true, ResourceBhav::kType, *id};
    // Nothing changed here: the file is not marked modified just for passing through.
    if (logic.IsClean()) return false;
  }
  table.CopyFrom(logic.Table());
  return true;
}

}  // namespace scrivet
