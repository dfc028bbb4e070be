#include "editors/string_table_editor_dialog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

#include "editors/dialog_undo.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

const QString kCaption = QStringLiteral("Scrivet 2");

// A cell shows a multi-line text on one line.
QString CellText(std::string_view bytes) {
  QString text = FromCp1252(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

// The box's text with LF line breaks and every character kept (toPlainText would turn
// no-break spaces into spaces).
QString BoxString(const QPlainTextEdit& box) {
  QString text = box.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

}  // namespace

// Rows of the item list: the visible items, numbered with their own index.
class StringRowsModel : public QAbstractTableModel {
 public:
  explicit StringRowsModel(const StringTableEditor& logic, QObject* parent)
      : QAbstractTableModel(parent), logic_(logic) {}

  const std::vector<size_t>& Items() const { return items_; }
  // Rebuilds the rows when the visible items changed, else rewrites the cells.
  void Update() {
    std::vector<size_t> items = logic_.VisibleItems();
    if (items != items_) {
      beginResetModel();
      items_ = std::move(items);
      endResetModel();
    } else if (!items_.empty()) {
      Q_EMIT dataChanged(index(0, 1), index(rowCount() - 1, 2));
    }
  }
  void RowChanged(int row) { Q_EMIT dataChanged(index(row, 1), index(row, 2)); }

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(items_.size()); }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= items_.size()) return {};
    const size_t item = items_[size_t(index.row())];
    switch (index.column()) {
      case 0: return QStringLiteral("#%1").arg(item);
      case 1: return CellText(logic_.Value(item));
      default: return CellText(logic_.Description(item));
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"ID", "Text", "Description"};
    return section >= 0 && section < 3 ? QString::fromLatin1(kHeaders[section]) : QVariant();
  }

 private:
  const StringTableEditor& logic_;
  std::vector<size_t> items_;
};

QString StringTableRefusalText(const EditFailure& failure) {
  switch (failure.error) {
    case EditError::TooManyStrings:
      return QStringLiteral(
          "The string table can't hold more than 65535 strings (items times languages with texts).");
    case EditError::TextTooLong:
      return QStringLiteral("The text of item #%1 is longer than 255 characters, which the basic mode can't store.")
          .arg(QString::fromStdString(failure.detail));
    case EditError::NoTextItem:
      return QStringLiteral("The text index %1 is beyond what a string table can hold.")
          .arg(QString::fromStdString(failure.detail));
    default: return {};
  }
}

StringTableEditorDialog::StringTableEditorDialog(StringTableEditor& logic, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(QStringLiteral("Strings editor"));

  auto* properties = new QGroupBox(QStringLiteral("Properties"), this);
  basic_ = new QCheckBox(QStringLiteral("&Basic mode"), properties);
  languages_ = new QCheckBox(QStringLiteral("Use different &languages"), properties);
  descriptions_ = new QCheckBox(QStringLiteral("Use &descriptions"), properties);
  auto* propertiesLayout = new QHBoxLayout(properties);
  for (QCheckBox* box : {basic_, languages_, descriptions_}) {
    propertiesLayout->addWidget(box);
    connect(box, &QCheckBox::clicked, this, [this, box] { ApplyLayoutBox(box); });
  }
  propertiesLayout->addStretch();

  auto* strings = new QGroupBox(QStringLiteral("Strings"), this);
  language_ = new QComboBox(strings);
  for (const char* name : kLanguageNames) language_->addItem(FromCp1252(name));
  setForAll_ = new QPushButton(QStringLiteral("&Set for all"), strings);
  setForAll_->setAutoDefault(false);
  filter_ = new QLineEdit(strings);
  filter_->setClearButtonEnabled(true);
  auto* filterLabel = new QLabel(QStringLiteral("&Filter:"), strings);
  filterLabel->setBuddy(filter_);
  list_ = new QTableView(strings);
  model_ = new StringRowsModel(logic_, this);
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
  list_->setColumnWidth(0, 50);
  list_->setColumnWidth(1, 205);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setWordWrap(false);
  auto* languageRow = new QHBoxLayout;
  languageRow->addWidget(language_, 1);
  languageRow->addWidget(setForAll_);
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filter_, 1);
  auto* stringsLayout = new QVBoxLayout(strings);
  stringsLayout->addLayout(languageRow);
  stringsLayout->addLayout(filterRow);
  stringsLayout->addWidget(list_, 1);

  auto* editing = new QGroupBox(QStringLiteral("Editing"), this);
  text_ = new QPlainTextEdit(editing);
  description_ = new QPlainTextEdit(editing);
  for (QPlainTextEdit* box : {text_, description_}) box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* textLabel = new QLabel(QStringLiteral("&Text:"), editing);
  textLabel->setBuddy(text_);
  auto* descriptionLabel = new QLabel(QStringLiteral("Descri&ption:"), editing);
  descriptionLabel->setBuddy(description_);
  auto* editingLayout = new QVBoxLayout(editing);
  editingLayout->addWidget(textLabel);
  editingLayout->addWidget(text_, 2);
  editingLayout->addWidget(descriptionLabel);
  editingLayout->addWidget(description_, 1);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(strings);
  splitter->addWidget(editing);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setChildrenCollapsible(false);

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  QDialogButtonBox* buttons = nullptr;
  auto* bottom = undo_->ButtonRow(&ok_, &buttons);
  buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
  // Enter in the multi-line boxes is a line break, never OK.
  ok_->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(properties);
  layout->addWidget(splitter, 1);
  layout->addLayout(bottom);

  connect(language_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (guard_) return;
    logic_.SetLanguage(index < 0 ? 0 : size_t(index));
    Refresh();
  });
  connect(setForAll_, &QPushButton::clicked, this, &StringTableEditorDialog::SetForAll);
  connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (guard_) return;
    logic_.SetFilter(ToCp1252(text));
    Refresh();
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &StringTableEditorDialog::SelectionChanged);
  connect(list_, &QWidget::customContextMenuRequested, this, &StringTableEditorDialog::ShowMenu);
  connect(text_, &QPlainTextEdit::textChanged, this, [this] { BoxEdited(ResourceStr::kPartValue); });
  connect(description_, &QPlainTextEdit::textChanged, this, [this] { BoxEdited(ResourceStr::kPartDescription); });
  undo_->WatchTextBoxes();

  setSizeGripEnabled(true);
  setMinimumSize(520, 360);
  resize(760, 480);
  Refresh();
}

StringTableEditorDialog::~StringTableEditorDialog() = default;

void StringTableEditorDialog::Refresh() {
  if (guard_) return;
  guard_ = true;
  const StringControls controls = logic_.Controls();
  basic_->setChecked(logic_.BasicMode());
  languages_->setChecked(logic_.UseLanguages());
  descriptions_->setChecked(logic_.UseDescriptions());
  languages_->setEnabled(controls.useLanguagesBox);
  descriptions_->setEnabled(controls.useDescriptionsBox);
  language_->setEnabled(controls.languageList);
  setForAll_->setEnabled(controls.setForAll);
  language_->setCurrentIndex(int(logic_.Language()));
  if (filter_->text() != FromCp1252(logic_.Filter())) filter_->setText(FromCp1252(logic_.Filter()));

  model_->Update();
  QItemSelection selection;
  const std::vector<size_t>& rows = model_->Items();
  for (size_t item : logic_.Selection()) {
    const auto at = std::lower_bound(rows.begin(), rows.end(), item);
    if (at == rows.end() || *at != item) continue;
    const int row = int(at - rows.begin());
    selection.select(model_->index(row, 0), model_->index(row, 2));
  }
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  guard_ = false;
  RefreshBoxes();
  undo_->Follow(logic_);
}

void StringTableEditorDialog::RefreshBoxes() {
  guard_ = true;
  const StringControls controls = logic_.Controls();
  const std::vector<size_t>& selection = logic_.Selection();
  QString value, description;
  if (selection.size() == 1) {
    value = FromCp1252(BoxText(logic_.Value(selection.front())));
    description = FromCp1252(BoxText(logic_.Description(selection.front())));
  } else {
    value = description = selection.empty() ? QStringLiteral("No item selected") : QStringLiteral("Multiple items selected");
  }
  // Rewriting a box that already shows the text would move its cursor while the user types.
  if (BoxString(*text_) != value) text_->setPlainText(value);
  if (BoxString(*description_) != description) description_->setPlainText(description);
  text_->setEnabled(controls.textBox);
  description_->setEnabled(controls.descriptionBox);
  guard_ = false;
}

void StringTableEditorDialog::ApplyLayoutBox(QCheckBox* box) {
  const bool on = box->isChecked();
  EditFailure failure = box == basic_       ? logic_.SetBasicMode(on)
                        : box == languages_ ? logic_.SetUseLanguages(on)
                                            : logic_.SetUseDescriptions(on);
  Refuse(failure);
  Refresh();
}

void StringTableEditorDialog::SelectionChanged() {
  if (guard_) return;
  std::vector<size_t> items;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows())
    if (size_t(index.row()) < model_->Items().size()) items.push_back(model_->Items()[size_t(index.row())]);
  logic_.Select(std::move(items));
  RefreshBoxes();
}

void StringTableEditorDialog::BoxEdited(int part) {
  if (guard_) return;
  QPlainTextEdit* box = part == ResourceStr::kPartValue ? text_ : description_;
  if (Refuse(logic_.SetSelectedText(part, ToCp1252(BoxString(*box))))) {
    RefreshBoxes();
  } else if (logic_.Selection().size() == 1) {
    const std::vector<size_t>& rows = model_->Items();
    const auto at = std::lower_bound(rows.begin(), rows.end(), logic_.Selection().front());
    if (at != rows.end()) model_->RowChanged(int(at - rows.begin()));
  }
  undo_->Follow(logic_);
}

bool StringTableEditorDialog::Refuse(const EditFailure& failure) {
  if (failure.error == EditError::None) return false;
  platform_.Warn(this, StringTableRefusalText(failure));
  return true;
}

void StringTableEditorDialog::SetForAll() {
  if (!platform_.AskYesNo(this,
                          QStringLiteral("Do you want to set the contents of the selected items to all other languages?"),
                          kCaption))
    return;
  Refuse(logic_.SetForAll());
  Refresh();
}

void StringTableEditorDialog::AddItem() {
  Refuse(logic_.Add());
  Refresh();
  list_->scrollToBottom();
}

void StringTableEditorDialog::DeleteItems() {
  logic_.Delete();
  Refresh();
}

void StringTableEditorDialog::ShowMenu(const QPoint& position) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Add"), this, &StringTableEditorDialog::AddItem);
  menu.addAction(QStringLiteral("&Delete"), this, &StringTableEditorDialog::DeleteItems)
      ->setEnabled(logic_.CanDelete());
  menu.addSeparator();
  undo_->AddTo(menu, logic_);
  menu.exec(list_->viewport()->mapToGlobal(position));
}

bool RunStringTableEditor(ResourceStr& table, EditorContext& context) {
  StringTableEditor logic(table);
  StringTableEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  table = logic.Table();
  return true;
}

}  // namespace scrivet
