#include "editors/objd_editor_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <random>

#include "core/iff_file.h"
#include "editors/dialog_undo.h"
#include "editors/objd_help_texts.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

ObjdEditorDialog::ObjdEditorDialog(ObjdEditor& logic, std::function<uint32_t()> random, QWidget* parent)
    : QDialog(parent), logic_(logic), random_(std::move(random)) {
  setWindowTitle(QStringLiteral("Object definition editor"));

  find_ = new QLineEdit(this);
  find_->setClearButtonEnabled(true);
  auto* findLabel = new QLabel(QStringLiteral("&Find field:"), this);
  findLabel->setBuddy(find_);
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
  list_->setColumnWidth(0, 180);
  list_->setColumnWidth(1, 80);
  for (const ObjdField& field : ObjdEditor::Rows()) {
    auto* item = new QTreeWidgetItem(list_, {QString::fromLatin1(field.label)});
    if (field.IsHeading()) {
      QFont font = item->font(0);
      font.setBold(true);
      item->setFont(0, font);
    }
  }
  auto* findRow = new QHBoxLayout;
  findRow->addWidget(findLabel);
  findRow->addWidget(find_, 1);
  auto* left = new QWidget(this);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addLayout(findRow);
  leftLayout->addWidget(list_, 1);

  help_ = new QPlainTextEdit(this);
  help_->setReadOnly(true);
  help_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* group = new QGroupBox(QStringLiteral("Edit window"), this);
  auto* explanation = new QLabel(
      QStringLiteral("You can edit by change the binary number (used for flags and masks), the decimal number "
                     "(used for most things) or the hexadecimal number (like the GUID)."),
      group);
  explanation->setWordWrap(true);
  binary_ = new QLineEdit(group);
  decimal_ = new QLineEdit(group);
  hex_ = new QLineEdit(group);
  newGuid_ = new QPushButton(QStringLiteral("&New GUID"), group);
  newGuid_->setAutoDefault(false);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Binary number:"), binary_);
  form->addRow(QStringLiteral("&Decimal number:"), decimal_);
  form->addRow(QStringLiteral("&Hexadecimal number:"), hex_);
  auto* guidRow = new QHBoxLayout;
  guidRow->addStretch();
  guidRow->addWidget(newGuid_);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(explanation);
  groupLayout->addLayout(form);
  groupLayout->addLayout(guidRow);
  auto* right = new QWidget(this);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(help_, 1);
  rightLayout->addWidget(group);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(left);
  splitter->addWidget(right);
  splitter->setChildrenCollapsible(false);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addLayout(bottom);

  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    if (guard_) return;
    logic_.Select(size_t(list_->indexOfTopLevelItem(list_->currentItem())));
    ShowSelection();
  });
  connect(binary_, &QLineEdit::textEdited, this, [this] { Typed(NumberBase::Binary); });
  connect(decimal_, &QLineEdit::textEdited, this, [this] { Typed(NumberBase::Decimal); });
  connect(hex_, &QLineEdit::textEdited, this, [this] { Typed(NumberBase::Hex); });
  connect(find_, &QLineEdit::textEdited, this, [this] { Find(false); });
  connect(find_, &QLineEdit::returnPressed, this, [this] { Find(true); });
  connect(newGuid_, &QPushButton::clicked, this, [this] {
    logic_.NewGuid(random_);
    Refresh();
  });
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  setMinimumSize(560, 380);
  resize(720, 500);
  Refresh();
}

QLineEdit& ObjdEditorDialog::Box(NumberBase base) {
  return base == NumberBase::Binary ? *binary_ : base == NumberBase::Decimal ? *decimal_ : *hex_;
}

void ObjdEditorDialog::Refresh() {
  for (int row = 0; row < list_->topLevelItemCount(); ++row)
    list_->topLevelItem(row)->setText(1, QString::fromStdString(logic_.ValueText(size_t(row))));
  ShowSelection();
  undo_->Follow(logic_);
}

void ObjdEditorDialog::ShowSelection() {
  guard_ = true;
  QTreeWidgetItem* item = list_->topLevelItem(int(logic_.Selected()));
  if (item != list_->currentItem()) list_->setCurrentItem(item);
  if (item) list_->scrollToItem(item);
  guard_ = false;

  const ObjdField* field = logic_.SelectedField();
  const ObjdBoxes boxes = logic_.Boxes();
  help_->setPlainText(field ? ObjdHelpText(*field) : QString());
  binary_->setText(QString::fromStdString(boxes.binary));
  decimal_->setText(QString::fromStdString(boxes.decimal));
  hex_->setText(QString::fromStdString(boxes.hex));
  for (QLineEdit* box : {binary_, decimal_, hex_}) box->setEnabled(field != nullptr);
  newGuid_->setEnabled(logic_.IsGuidSelected());
}

void ObjdEditorDialog::Typed(NumberBase base) {
  const ObjdBoxes boxes = logic_.Type(base, ToCp1252(Box(base).text()));
  // The typed box keeps what was typed; the other two follow the value.
  if (base != NumberBase::Binary) binary_->setText(QString::fromStdString(boxes.binary));
  if (base != NumberBase::Decimal) decimal_->setText(QString::fromStdString(boxes.decimal));
  if (base != NumberBase::Hex) hex_->setText(QString::fromStdString(boxes.hex));
  const int row = int(logic_.Selected());
  if (QTreeWidgetItem* item = list_->topLevelItem(row))
    item->setText(1, QString::fromStdString(logic_.ValueText(size_t(row))));
  undo_->Follow(logic_);
}

void ObjdEditorDialog::Find(bool next) {
  const size_t from = next ? logic_.Selected() + 1 : 0;
  const size_t row = logic_.FindField(ToCp1252(find_->text()), from);
  if (row == kNoRow) return;
  logic_.Select(row);
  ShowSelection();
}

bool RunObjdEditor(ResourceObjd& objd, EditorContext& context) {
  std::vector<uint32_t> otherGuids;
  IffFile& file = context.file;
  for (size_t at = file.FirstOfType(ResourceObjd::kType); at < file.ChunkCount(); at = file.NextOfSameType(at)) {
    IffChunk& chunk = file.ChunkAt(at);
    if (chunk.id == objd.Chunk().id) continue;
    ResourceObjd other;
    uint32_t guid = 0;
    if (other.Load(file, chunk) && other.ReadField(ObjdEditor::kGuidOffset, 4, guid)) otherGuids.push_back(guid);
  }
  ObjdEditor logic(objd, std::move(otherGuids));
  std::mt19937 engine{std::random_device{}()};
  ObjdEditorDialog dialog(logic, [&engine] { return uint32_t(engine()); }, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  objd = logic.Objd();
  return true;
}

}  // namespace scrivet
