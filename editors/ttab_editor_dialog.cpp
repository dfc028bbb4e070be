#include "editors/ttab_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/iff_file.h"
#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/platform.h"
#include "editors/qt_text.h"
#include "editors/string_table_editor_dialog.h"

namespace scrivet {

namespace {

constexpr const char* kMotives[] = {"Mood", "Energy", "Comfort", "Hunger", "Hygiene", "Bladder", "Room", "Social", "Fun"};
static_assert(std::size(kMotives) == TtabEditor::kAdvertisementRows.size());

constexpr const char* kPersonalities[] = {
    "None",          "Nice",          "Grouchy",         "Active",          "Lazy",        "Generous",
    "Selfish",       "Playful",       "Serious",         "Outgoing",        "Shy",         "Neat",
    "Sloppy",        "Cleaning Skill", "Cooking Skill",  "Social Skill",    "Repair Skill", "Gardening Skill",
    "Music Skill",   "Creative Skill", "Literacy Skill", "Physical Skill",  "Logic Skill"};
static_assert(std::size(kPersonalities) == TtabEditor::kPersonalityCount);

constexpr const char* kAttenuations[] = {"custom", "none", "low", "medium", "high"};
static_assert(std::size(kAttenuations) == TtabEditor::kAttenuationCount);

constexpr const char* kFlagLabels[] = {"Available to &visitors", "Available to c&hildren", "Available to a&dults",
                                       "Available to ca&ts",     "Available to d&ogs",     "Allow &consecutive",
                                       "Auto &first select",     "Can be &joined"};

QString EntryText(size_t index, const std::string& name) {
  return QStringLiteral("#%1: ").arg(index) + FromCp1252(name);
}

QString AdvertisementText(const Advertisement& ad) {
  if (ad.min == 0 && ad.max == 0) return QStringLiteral("N/A");
  QString text = QStringLiteral("%1 ... %2").arg(uint16_t(ad.min)).arg(uint16_t(ad.max));
  if (ad.personality >= 1 && ad.personality < TtabEditor::kPersonalityCount)
    text += QStringLiteral(", Vary by ") + QString::fromLatin1(kPersonalities[ad.personality]);
  return text;
}

}  // namespace

TtabEditorDialog::TtabEditorDialog(TtabEditor& logic, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(QStringLiteral("Interaction menu editor"));

  auto* items = new QGroupBox(QStringLiteral("Interaction items"), this);
  list_ = new QListWidget(items);
  add_ = new QPushButton(QStringLiteral("&Add"), items);
  delete_ = new QPushButton(QStringLiteral("D&elete"), items);
  auto* itemButtons = new QHBoxLayout;
  itemButtons->addWidget(add_);
  itemButtons->addWidget(delete_);
  itemButtons->addStretch();
  auto* itemsLayout = new QVBoxLayout(items);
  itemsLayout->addWidget(list_, 1);
  itemsLayout->addLayout(itemButtons);

  auto* properties = new QGroupBox(QStringLiteral("Properties"), this);
  name_ = new QLineEdit(properties);
  for (QLineEdit*& box : numbers_) box = new QLineEdit(this);
  auto* propertiesForm = new QFormLayout;
  propertiesForm->addRow(QStringLiteral("&Name:"), name_);
  propertiesForm->addRow(QStringLiteral("A&ction tree:"), numbers_[size_t(TtabNumber::ActionTree)]);
  propertiesForm->addRow(QStringLiteral("Chec&k tree:"), numbers_[size_t(TtabNumber::CheckTree)]);
  auto* flagGrid = new QGridLayout;
  for (size_t i = 0; i < flags_.size(); ++i) {
    flags_[i] = new QCheckBox(QString::fromLatin1(kFlagLabels[i]), properties);
    flagGrid->addWidget(flags_[i], int(i % 4), int(i / 4));
  }
  auto* joinForm = new QFormLayout;
  joinForm->addRow(QStringLiteral("Jo&in item:"), numbers_[size_t(TtabNumber::JoinItem)]);
  auto* propertiesLayout = new QVBoxLayout(properties);
  propertiesLayout->addLayout(propertiesForm);
  propertiesLayout->addLayout(flagGrid);
  propertiesLayout->addLayout(joinForm);
  propertiesLayout->addStretch();

  auto* advertisement = new QGroupBox(QStringLiteral("Advertisment"), this);
  attenuation_ = new QComboBox(advertisement);
  for (const char* name : kAttenuations) attenuation_->addItem(QString::fromLatin1(name));
  attenuationValue_ = new QLineEdit(advertisement);
  attenuationValue_->setMinimumWidth(attenuationValue_->fontMetrics().horizontalAdvance(QStringLiteral("0.00000000")));
  auto* attenuationRow = new QHBoxLayout;
  attenuationRow->addWidget(attenuation_);
  attenuationRow->addWidget(attenuationValue_, 1);
  ads_ = new QTreeWidget(advertisement);
  ads_->setRootIsDecorated(false);
  ads_->setHeaderLabels({QStringLiteral("Motive"), QStringLiteral("Advertisment")});
  for (const char* motive : kMotives) new QTreeWidgetItem(ads_, {QString::fromLatin1(motive)});
  // At least the classic widths, wider where the font needs it.
  ads_->resizeColumnToContents(0);
  ads_->setColumnWidth(0, std::max(50, ads_->columnWidth(0) + 8));
  ads_->setColumnWidth(1, 160);
  varyBy_ = new QComboBox(advertisement);
  for (const char* name : kPersonalities) varyBy_->addItem(QString::fromLatin1(name));
  auto* attenuationLabel = new QLabel(QStringLiteral("Attenuation &value:"), advertisement);
  attenuationLabel->setBuddy(attenuation_);
  auto* attenuationForm = new QFormLayout;
  attenuationForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  attenuationForm->addRow(attenuationLabel, attenuationRow);
  attenuationForm->addRow(QStringLiteral("Attenuation t&hreshold:"), numbers_[size_t(TtabNumber::Threshold)]);
  auto* adForm = new QFormLayout;
  adForm->addRow(QStringLiteral("&Min:"), numbers_[size_t(TtabNumber::Min)]);
  adForm->addRow(QStringLiteral("Ma&x:"), numbers_[size_t(TtabNumber::Max)]);
  adForm->addRow(QStringLiteral("Var&y by:"), varyBy_);
  auto* advertisementLayout = new QVBoxLayout(advertisement);
  advertisementLayout->addLayout(attenuationForm);
  advertisementLayout->addWidget(ads_, 1);
  advertisementLayout->addLayout(adForm);

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* groups = new QHBoxLayout;
  groups->addWidget(items, 3);
  groups->addWidget(properties, 3);
  groups->addWidget(advertisement, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups, 1);
  layout->addLayout(bottom);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (guard_) return;
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    ShowInteraction();
  });
  connect(add_, &QPushButton::clicked, this, [this] {
    Refuse(logic_.Add());
    Refresh();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    logic_.Delete();
    Refresh();
  });
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (Refuse(logic_.SetName(ToCp1252(text)))) {
      name_->setText(FromCp1252(logic_.Name(logic_.Current())));
    } else if (QListWidgetItem* entry = list_->item(int(logic_.Current()))) {
      entry->setText(EntryText(logic_.Current(), logic_.Name(logic_.Current())));
    }
    undo_->Follow(logic_);
  });
  for (size_t i = 0; i < numbers_.size(); ++i)
    connect(numbers_[i], &QLineEdit::editingFinished, this, [this, i] { TakeNumber(TtabNumber(i)); });
  for (size_t i = 0; i < flags_.size(); ++i) {
    connect(flags_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
      logic_.SetChecked(TtabFlag(i), checked);
      ShowInteraction();
    });
  }
  connect(attenuation_, &QComboBox::activated, this, [this](int index) {
    logic_.SetAttenuationChoice(index);
    ShowInteraction();
  });
  connect(attenuationValue_, &QLineEdit::editingFinished, this, [this] { TakeAttenuationValue(); });
  connect(ads_, &QTreeWidget::currentItemChanged, this, [this] {
    if (guard_) return;
    const int row = ads_->indexOfTopLevelItem(ads_->currentItem());
    logic_.SelectAdvertisement(row < 0 ? kNoRow : size_t(row));
    ShowAdvertisementBoxes();
  });
  connect(varyBy_, &QComboBox::activated, this, [this](int index) {
    logic_.SetPersonality(index);
    ShowAdvertisements();
    undo_->Follow(logic_);
  });
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  setMinimumSize(760, 420);
  resize(900, 480);
  Refresh();
}

void TtabEditorDialog::Refresh() {
  ShowList();
  ShowInteraction();
}

void TtabEditorDialog::ShowList() {
  guard_ = true;
  list_->clear();
  for (size_t i = 0; i < logic_.Count(); ++i) list_->addItem(EntryText(i, logic_.Name(i)));
  list_->setCurrentRow(logic_.Current() == kNoRow ? -1 : int(logic_.Current()));
  guard_ = false;
}

void TtabEditorDialog::ShowInteraction() {
  const Interaction* in = logic_.CurrentInteraction();
  const bool any = in != nullptr;
  delete_->setEnabled(any);
  name_->setEnabled(any);
  name_->setText(any ? FromCp1252(logic_.Name(logic_.Current())) : QString());
  for (size_t i = 0; i < flags_.size(); ++i) {
    flags_[i]->setEnabled(any);
    flags_[i]->setChecked(logic_.Checked(TtabFlag(i)));
  }
  for (TtabNumber box : {TtabNumber::ActionTree, TtabNumber::CheckTree, TtabNumber::JoinItem, TtabNumber::Threshold}) {
    numbers_[size_t(box)]->setText(QString::fromStdString(logic_.NumberText(box)));
    numbers_[size_t(box)]->setEnabled(any);
  }
  numbers_[size_t(TtabNumber::JoinItem)]->setEnabled(logic_.JoinEnabled());
  attenuation_->setEnabled(any);
  attenuation_->setCurrentIndex(logic_.AttenuationChoice());
  attenuationValue_->setText(QString::fromStdString(logic_.AttenuationText()));
  attenuationValue_->setEnabled(logic_.AttenuationEditable());
  ads_->setEnabled(any);
  ShowAdvertisements();
  ShowAdvertisementBoxes();
  undo_->Follow(logic_);
}

void TtabEditorDialog::ShowAdvertisements() {
  for (size_t row = 0; row < TtabEditor::kAdvertisementRows.size(); ++row) {
    const Advertisement* ad = logic_.AdvertisementAt(row);
    ads_->topLevelItem(int(row))->setText(1, ad ? AdvertisementText(*ad) : QString());
  }
}

void TtabEditorDialog::ShowAdvertisementBoxes() {
  guard_ = true;
  const size_t row = logic_.SelectedAdvertisement();
  if (ads_->currentItem() != ads_->topLevelItem(int(row))) ads_->setCurrentItem(ads_->topLevelItem(int(row)));
  guard_ = false;
  const Advertisement* ad = logic_.AdvertisementAt(row);
  for (TtabNumber box : {TtabNumber::Min, TtabNumber::Max}) {
    numbers_[size_t(box)]->setText(QString::fromStdString(logic_.NumberText(box)));
    numbers_[size_t(box)]->setEnabled(ad != nullptr);
  }
  varyBy_->setEnabled(ad != nullptr);
  varyBy_->setCurrentIndex(!ad ? 0 : ad->personality < TtabEditor::kPersonalityCount ? ad->personality : -1);
}

bool TtabEditorDialog::TakeNumber(TtabNumber box) {
  QLineEdit* edit = numbers_[size_t(box)];
  if (!edit->isEnabled() || edit->text() == QString::fromStdString(logic_.NumberText(box))) return true;
  if (!AcceptNumber(platform_, this, logic_.EnterNumber(box, ToCp1252(edit->text())))) {
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  edit->setText(QString::fromStdString(logic_.NumberText(box)));
  if (box == TtabNumber::Min || box == TtabNumber::Max) ShowAdvertisements();
  undo_->Follow(logic_);
  return true;
}

bool TtabEditorDialog::TakeAttenuationValue() {
  if (!attenuationValue_->isEnabled() ||
      attenuationValue_->text() == QString::fromStdString(logic_.AttenuationText()))
    return true;
  if (logic_.EnterAttenuationValue(ToCp1252(attenuationValue_->text())) != EditError::None) {
    platform_.Warn(this, RealRefusalText());
    attenuationValue_->setFocus();
    attenuationValue_->selectAll();
    return false;
  }
  undo_->Follow(logic_);
  return true;
}

bool TtabEditorDialog::Refuse(const EditFailure& failure) {
  if (failure.error == EditError::None) return false;
  const QString text = failure.error == EditError::TooManyInteractions
                           ? QStringLiteral("An interaction table can't hold more than 65535 interactions.")
                           : StringTableRefusalText(failure);
  platform_.Warn(this, text);
  return true;
}

void TtabEditorDialog::accept() {
  for (TtabNumber box : {TtabNumber::ActionTree, TtabNumber::CheckTree, TtabNumber::JoinItem, TtabNumber::Threshold,
                         TtabNumber::Min, TtabNumber::Max})
    if (!TakeNumber(box)) return;
  if (!TakeAttenuationValue()) return;
  QDialog::accept();
}

bool RunTtabEditor(ResourceTtab& table, EditorContext& context) {
  static constexpr TypeCode kTexts = MakeTypeCode("TTAs");
  const uint16_t id = table.Chunk().id;
  ResourceStr texts;
  IffChunk* existing = context.file.Find(kTexts, id);
  if (existing && !texts.Load(context.file, *existing)) {
    context.platform.Warn(context.parent,
                             QStringLiteral("The menu texts of this interaction table (TTAs #%1) can't be read, so "
                                            "the table can't be edited.")
                                 .arg(id));
    return false;
  }
  TtabEditor logic(table, texts);
  TtabEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;

  // The menu texts go in first; their chunk is the only one stored here (the table itself is
  // stored by the caller). Unchanged texts keep their bytes.
  ResourceStr edited = logic.Texts();
  const bool stored = !existing                  ? edited.SaveAs(context.file, kTexts, id, "", IffChunk::kDefaultFlags)
                      : edited.ModelEquals(texts) ? true
                                                  : edited.Save(context.file);
  if (!stored) {
    context.platform.Error(context.parent, QStringLiteral("Couldn't store the menu texts (TTAs #%1).").arg(id));
    return false;
  }
  table = logic.Table();
  return true;
}

}  // namespace scrivet
