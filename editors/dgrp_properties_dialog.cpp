#include "editors/dgrp_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "editors/dgrp_editor_dialog.h"
#include "editors/dialog_undo.h"
#include "editors/draw_group_preview.h"
#include "editors/field_messages.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

QString EntryText(const DgrpSpriteEntry& entry) {
  if (!entry.found) return QStringLiteral("#%1 - SPRITE NOT FOUND").arg(entry.index);
  return QStringLiteral("#%1 - \"%2\"").arg(entry.index).arg(FromCp1252(entry.name));
}

QString PositionWords(qint64 dx, qint64 dy) { return QStringLiteral("Position = {%1, %2}").arg(dx).arg(dy); }

QSpinBox* PixelBox(QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return box;
}

}  // namespace

DgrpPropertiesDialog::DgrpPropertiesDialog(DgrpPropertiesEditor& logic, IffFile& file, Platform& platform,
                                           QWidget* parent)
    : QDialog(parent), logic_(logic), file_(file), platform_(platform) {
  setWindowTitle(QStringLiteral("Drawgroup properties..."));

  auto* headingBox = new QGroupBox(QStringLiteral("Direction and zoom"), this);
  heading_ = new QLabel(DgrpHeadingText(logic_.Image()), headingBox);
  (new QVBoxLayout(headingBox))->addWidget(heading_);

  list_ = new QListWidget(this);
  add_ = new QPushButton(QStringLiteral("&Add"), this);
  delete_ = new QPushButton(QStringLiteral("D&elete"), this);
  up_ = new QPushButton(QStringLiteral("U&p"), this);
  down_ = new QPushButton(QStringLiteral("&Dn"), this);
  auto* listButtons = new QHBoxLayout;
  for (QPushButton* button : {add_, delete_, up_, down_}) listButtons->addWidget(button);

  spriteId_ = new QComboBox(this);
  spriteId_->setEditable(true);
  spriteId_->setInsertPolicy(QComboBox::NoInsert);
  for (uint16_t id : logic_.SpriteIds()) spriteId_->addItem(QString::number(id));
  spriteIndex_ = new QLineEdit(this);
  pixelX_ = PixelBox(this);
  pixelY_ = PixelBox(this);
  xOffset_ = new QLineEdit(this);
  yOffset_ = new QLineEdit(this);
  zOffset_ = new QLineEdit(this);
  flip_ = new QCheckBox(QStringLiteral("&Flip"), this);
  luminous_ = new QCheckBox(QStringLiteral("&Luminous"), this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Sprite &ID"), spriteId_);
  form->addRow(QStringLiteral("Sprite i&ndex"), spriteIndex_);
  form->addRow(QStringLiteral("Offsetpixel &X"), pixelX_);
  form->addRow(QStringLiteral("Offsetpixel &Y"), pixelY_);
  form->addRow(QStringLiteral("XOffset"), xOffset_);
  form->addRow(QStringLiteral("YOffset"), yOffset_);
  form->addRow(QStringLiteral("ZOffset"), zOffset_);
  auto* checks = new QHBoxLayout;
  checks->addWidget(flip_);
  checks->addWidget(luminous_);
  checks->addStretch();
  form->addRow(checks);
  // "&Undo" and "&Redo" take U and R.
  update_ = new QPushButton(QStringLiteral("Upda&te"), this);
  autoUpdate_ = new QCheckBox(QStringLiteral("Aut&o update"), this);
  autoUpdate_->setChecked(logic_.AutoUpdate());
  auto* updateRow = new QHBoxLayout;
  updateRow->addWidget(update_);
  updateRow->addWidget(autoUpdate_);
  updateRow->addStretch();
  for (QPushButton* button : {add_, delete_, up_, down_, update_}) button->setAutoDefault(false);

  auto* left = new QVBoxLayout;
  left->addWidget(headingBox);
  left->addWidget(list_, 1);
  left->addLayout(listButtons);
  left->addLayout(form);
  left->addLayout(updateRow);

  preview_ = new DrawGroupPreview(this);
  preview_->MatchWindow(*this);
  preview_->setMinimumSize(256, 256);
  position_ = new QLabel(PositionWords(0, 0), this);
  auto* right = new QVBoxLayout;
  right->addWidget(preview_, 1);
  right->addWidget(position_);

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (guard_) return;
    logic_.SelectSprite(row < 0 ? kNoRow : size_t(row));
    ShowFields();
  });
  connect(spriteId_, &QComboBox::editTextChanged, this, [this] { Edited("spriteId"); });
  connect(spriteIndex_, &QLineEdit::textEdited, this, [this] { Edited("spriteIndex"); });
  connect(pixelX_, &QSpinBox::valueChanged, this, [this] { Edited("pixelX"); });
  connect(pixelY_, &QSpinBox::valueChanged, this, [this] { Edited("pixelY"); });
  connect(xOffset_, &QLineEdit::textEdited, this, [this] { Edited("xOffset"); });
  connect(yOffset_, &QLineEdit::textEdited, this, [this] { Edited("yOffset"); });
  connect(zOffset_, &QLineEdit::textEdited, this, [this] { Edited("zOffset"); });
  connect(flip_, &QCheckBox::clicked, this, [this] { Edited(""); });
  connect(luminous_, &QCheckBox::clicked, this, [this] { Edited(""); });
  connect(autoUpdate_, &QCheckBox::clicked, this, [this](bool on) {
    logic_.SetAutoUpdate(on, Fields());
    undo_->Follow(logic_);
  });
  connect(update_, &QPushButton::clicked, this, &DgrpPropertiesDialog::Update);
  connect(add_, &QPushButton::clicked, this, &DgrpPropertiesDialog::AddSprite);
  connect(delete_, &QPushButton::clicked, this, &DgrpPropertiesDialog::DeleteSprite);
  connect(up_, &QPushButton::clicked, this, &DgrpPropertiesDialog::MoveUp);
  connect(down_, &QPushButton::clicked, this, &DgrpPropertiesDialog::MoveDown);
  connect(preview_, &CanvasView::positionChanged, this,
          [this](qint64 dx, qint64 dy) { position_->setText(PositionWords(dx, dy)); });
  connect(preview_, &CanvasView::drawFailed, this, [this] {
    if (logic_.TakeDrawFailureNotice()) platform_.Error(this, QStringLiteral("Can't display the sprite!"));
  });
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  resize(640, 480);
  Refresh();
  preview_->Center();
}

DgrpSpriteFields DgrpPropertiesDialog::Fields() const {
  DgrpSpriteFields fields;
  fields.spriteId = ToCp1252(spriteId_->currentText());
  fields.spriteIndex = ToCp1252(spriteIndex_->text());
  fields.pixelX = std::to_string(pixelX_->value());
  fields.pixelY = std::to_string(pixelY_->value());
  fields.xOffset = ToCp1252(xOffset_->text());
  fields.yOffset = ToCp1252(yOffset_->text());
  fields.zOffset = ToCp1252(zOffset_->text());
  fields.flip = flip_->isChecked();
  fields.luminous = luminous_->isChecked();
  return fields;
}

void DgrpPropertiesDialog::Refresh() {
  ShowList();
  ShowFields();
  ShowPreview();
}

void DgrpPropertiesDialog::ShowList() {
  guard_ = true;
  const std::vector<DgrpSpriteEntry> entries = logic_.Entries();
  while (list_->count() > int(entries.size())) delete list_->takeItem(list_->count() - 1);
  while (list_->count() < int(entries.size())) list_->addItem(QString());
  for (const DgrpSpriteEntry& entry : entries) list_->item(int(entry.index))->setText(EntryText(entry));
  list_->setCurrentRow(logic_.HasSprite() ? int(logic_.SelectedSprite()) : -1);
  guard_ = false;
  const bool image = logic_.ImageIndex() < logic_.Group().images.size();
  add_->setEnabled(image);
  delete_->setEnabled(logic_.HasSprite());
  up_->setEnabled(logic_.HasSprite() && logic_.SelectedSprite() > 0);
  down_->setEnabled(logic_.HasSprite() && logic_.SelectedSprite() + 1 < logic_.SpriteCount());
}

void DgrpPropertiesDialog::ShowFields() {
  guard_ = true;
  const DgrpSpriteFields fields = logic_.SelectedFields();
  const QString id = FromCp1252(fields.spriteId);
  // The id's entry of the list when the file has that sprite, else the id as text.
  const int entry = spriteId_->findText(id);
  spriteId_->setCurrentIndex(entry);
  spriteId_->setEditText(id);
  spriteIndex_->setText(FromCp1252(fields.spriteIndex));
  const DgrpSprite* sprite = logic_.HasSprite() ? &logic_.Image().sprites[logic_.SelectedSprite()] : nullptr;
  pixelX_->setValue(sprite ? sprite->pixelX : 0);
  pixelY_->setValue(sprite ? sprite->pixelY : 0);
  xOffset_->setText(FromCp1252(fields.xOffset));
  yOffset_->setText(FromCp1252(fields.yOffset));
  zOffset_->setText(FromCp1252(fields.zOffset));
  flip_->setChecked(fields.flip);
  luminous_->setChecked(fields.luminous);
  for (QWidget* box : std::initializer_list<QWidget*>{spriteId_, spriteIndex_, pixelX_, pixelY_, xOffset_, yOffset_,
                                                      zOffset_, flip_, luminous_, update_})
    box->setEnabled(sprite != nullptr);
  guard_ = false;
  undo_->Follow(logic_);
}

void DgrpPropertiesDialog::ShowPreview() { preview_->SetImage(file_, logic_.Image()); }

void DgrpPropertiesDialog::Edited(const char* mergeKey) {
  if (guard_) return;
  // While typing a box may hold a number only in part: it is taken once it reads as one.
  if (!logic_.FieldEdited(Fields(), mergeKey).ok() || !logic_.AutoUpdate()) return;
  ShowList();
  ShowPreview();
  undo_->Follow(logic_);
}

bool DgrpPropertiesDialog::Report(const DgrpFieldRefusal& refusal) {
  using Field = DgrpFieldRefusal::Field;
  QWidget* box = nullptr;
  switch (refusal.field) {
    case Field::None: return true;
    case Field::SpriteIndex: box = spriteIndex_; break;
    case Field::PixelX: box = pixelX_; break;
    case Field::PixelY: box = pixelY_; break;
    case Field::XOffset: box = xOffset_; break;
    case Field::YOffset: box = yOffset_; break;
    case Field::ZOffset: box = zOffset_; break;
  }
  const bool real = refusal.field == Field::XOffset || refusal.field == Field::YOffset ||
                    refusal.field == Field::ZOffset;
  if (real)
    platform_.Warn(this, RealRefusalText());
  else
    AcceptNumber(platform_, this, refusal.parse);
  box->setFocus();
  return false;
}

bool DgrpPropertiesDialog::Update() {
  const DgrpFieldRefusal refusal = logic_.Apply(Fields());
  logic_.BreakMerge();
  if (!Report(refusal)) return false;
  Refresh();
  return true;
}

void DgrpPropertiesDialog::AddSprite() {
  if (!logic_.Add()) return;
  Refresh();
}

void DgrpPropertiesDialog::DeleteSprite() {
  if (!logic_.HasSprite()) return;
  if (!platform_.AskYesNo(this, QStringLiteral("Are you sure you want to delete the selected item?"),
                          QStringLiteral("Warning"), MessageIcon::Warning))
    return;
  logic_.Delete();
  Refresh();
}

void DgrpPropertiesDialog::MoveUp() {
  logic_.Up();
  Refresh();
}

void DgrpPropertiesDialog::MoveDown() {
  logic_.Down();
  Refresh();
}

void DgrpPropertiesDialog::accept() {
  if (Update()) QDialog::accept();
}

}  // namespace scrivet
