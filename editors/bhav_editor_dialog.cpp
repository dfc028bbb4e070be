#include "editors/bhav_editor_dialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "behaviour/function_catalogue.h"
#include "core/iff_file.h"
#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/platform.h"
#include "editors/qt_text.h"
#include "editors/select_function_dialog.h"

namespace scrivet {

namespace {

using Box = BhavEditorDialog::Box;
using Branch = BhavEditor::Branch;
using Command = BhavEditorDialog::Command;

constexpr const char* kBoxLabels[] = {"Number of para&meters:", "Number of &local variables:", "Rev&ision number:",
                                      "&Function:", "&True line:", "F&alse line:", "Parameter &1:", "Parameter &2:",
                                      "Parameter &3:", "Parameter &4:"};
static_assert(std::size(kBoxLabels) == BhavEditorDialog::kBoxCount);
constexpr const char* kTypes[] = {"Generic", "Portal", "Check", "Container", "Switch"};
// In the order of BhavEditor::TargetChoice.
constexpr const char* kTargetChoices[] = {"True", "False", "Error", "Line ..."};

NumberField FieldOf(Box box) {
  switch (box) {
    case Box::Parameters:
    case Box::Locals:
    case Box::TrueLine:
    case Box::FalseLine: return NumberField::Unsigned(1);
    case Box::Revision: return NumberField::Unsigned(4);
    case Box::Function: return NumberField::Unsigned(2);
    default: return NumberField::Signed(2);
  }
}

bool IsLineBox(Box box) { return box >= Box::Function; }

QString RefusalText(Command command, EditError error) {
  switch (error) {
    case EditError::NoLineSelected:
      switch (command) {
        case Command::Insert: return QStringLiteral("You must select a line to insert the new line!");
        case Command::Delete: return QStringLiteral("You must select a line to remove!");
        default: return QStringLiteral("You must select one or more lines to duplicate!");
      }
    case EditError::LineIsJumpTarget:
      return QStringLiteral(
          "Can't delete lines that are jumped too!\n\nMake sure that NO True/False number equals the current line "
          "number!");
    case EditError::TooManyLines:
      return QStringLiteral(
          "A routine can't have more than 253 lines!\n\nLine numbers 253 to 255 stand for Error, True and False, so "
          "no line after line 252 could ever be jumped to.");
    default: return {};
  }
}

// Background of the rows the selected line jumps to; translucent, so it reads on light and dark
// themes alike.
QBrush JumpBrush(bool onTrue, bool onFalse) {
  if (onTrue && onFalse) return QColor(200, 160, 0, 80);
  return onTrue ? QColor(0, 170, 0, 60) : QColor(220, 0, 0, 55);
}

// A number box sized for `characters` digits (up to twice that when the dialog grows).
QLineEdit* NewBox(QWidget* parent, int characters) {
  auto* box = new QLineEdit(parent);
  const int digit = QFontMetrics(box->font()).horizontalAdvance(QLatin1Char('8'));
  box->setMinimumWidth(characters * digit + 12);
  box->setMaximumWidth(2 * characters * digit + 12);
  return box;
}

// A label whose mnemonic moves to `field`.
QLabel* Label(const char* text, QWidget* field) {
  auto* label = new QLabel(QString::fromLatin1(text), field->parentWidget());
  label->setBuddy(field);
  return label;
}

}  // namespace

BhavEditorDialog::BhavEditorDialog(BhavEditor& logic, EditorContext& context)
    : QDialog(context.parent),
      logic_(logic),
      context_(context),
      formatter_(context.primitives, &context.functions, &context.privateFunctions) {
  setWindowTitle(QStringLiteral("SimAntics / Behavior editor"));

  // Header.
  version_ = new QComboBox(this);
  version_->addItems({QStringLiteral("8000"), QStringLiteral("8001"), QStringLiteral("8002")});
  type_ = new QComboBox(this);
  for (const char* name : kTypes) type_->addItem(QString::fromLatin1(name));
  for (size_t i = 0; i < 3; ++i) boxes_[i] = NewBox(this, i == size_t(Box::Revision) ? 10 : 3);
  auto* header = new QGridLayout;
  const auto addLabelled = [](QGridLayout* grid, int row, int column, const char* label, QWidget* field) {
    grid->addWidget(Label(label, field), row, column);
    grid->addWidget(field, row, column + 1);
  };
  addLabelled(header, 0, 0, "&Version:", version_);
  addLabelled(header, 1, 0, "T&ype:", type_);
  addLabelled(header, 0, 2, kBoxLabels[size_t(Box::Parameters)], boxes_[size_t(Box::Parameters)]);
  addLabelled(header, 1, 2, kBoxLabels[size_t(Box::Locals)], boxes_[size_t(Box::Locals)]);
  addLabelled(header, 0, 4, kBoxLabels[size_t(Box::Revision)], boxes_[size_t(Box::Revision)]);
  header->setColumnStretch(6, 1);

  // Lines.
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->setHeaderLabels({QStringLiteral("Line"), QStringLiteral("Instruction"), QStringLiteral("Next")});
  // At least the widths the columns always had, wider where the font needs it.
  const QFontMetrics metrics(list_->font());
  list_->setColumnWidth(0, std::max(35, metrics.horizontalAdvance(QStringLiteral("888")) + 12));
  list_->setColumnWidth(1, 340);
  list_->setColumnWidth(2, std::max(65, metrics.horizontalAdvance(QStringLiteral("False, False")) + 12));
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  list_->setMinimumSize(440, 200);
  list_->installEventFilter(this);
  description_ = new QLineEdit(this);
  description_->setReadOnly(true);
  auto* lines = new QVBoxLayout;
  lines->addWidget(list_, 1);
  lines->addWidget(description_);

  // Fields of the selected line.
  auto* fields = new QFormLayout;
  for (size_t i = size_t(Box::Function); i < kBoxCount; ++i) boxes_[i] = NewBox(this, 6);
  pick_ = new QPushButton(QStringLiteral("..."), this);
  pick_->setAutoDefault(false);
  pick_->setMaximumWidth(QFontMetrics(pick_->font()).horizontalAdvance(QStringLiteral("....")) + 16);
  auto* functionRow = new QHBoxLayout;
  functionRow->addWidget(boxes_[size_t(Box::Function)]);
  functionRow->addWidget(pick_);
  functionRow->addStretch();
  fields->addRow(Label(kBoxLabels[size_t(Box::Function)], boxes_[size_t(Box::Function)]), functionRow);
  for (Branch branch : {Branch::True, Branch::False}) {
    QComboBox*& choice = choices_[size_t(branch)];
    choice = new QComboBox(this);
    for (const char* name : kTargetChoices) choice->addItem(QString::fromLatin1(name));
    const Box box = branch == Branch::True ? Box::TrueLine : Box::FalseLine;
    auto* row = new QHBoxLayout;
    row->addWidget(boxes_[size_t(box)]);
    row->addWidget(choice);
    row->addStretch();
    fields->addRow(Label(kBoxLabels[size_t(box)], boxes_[size_t(box)]), row);
  }
  for (Box box : {Box::Param1, Box::Param2, Box::Param3, Box::Param4})
    fields->addRow(Label(kBoxLabels[size_t(box)], boxes_[size_t(box)]), boxes_[size_t(box)]);
  auto* hexGroup = new QGroupBox(QStringLiteral("&HEX parameters"), this);
  auto* hexGrid = new QGridLayout(hexGroup);
  for (size_t i = 0; i < hex_.size(); ++i) {
    hex_[i] = NewBox(hexGroup, 2);
    hexGrid->addWidget(hex_[i], int(i / 4), int(i % 4));
  }
  auto* lineFields = new QVBoxLayout;
  lineFields->addLayout(fields);
  lineFields->addWidget(hexGroup);
  lineFields->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addLayout(lines, 1);
  middle->addLayout(lineFields);

  undo_ = DialogUndo::For(this, logic_, [this] { ShowAll(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(header);
  layout->addLayout(middle, 1);
  layout->addLayout(bottom);

  // Bindings.
  connect(version_, &QComboBox::activated, this, [this](int index) {
    logic_.SetVersionIndex(index);
    undo_->Follow(logic_);
  });
  connect(type_, &QComboBox::activated, this, [this](int index) {
    logic_.SetType(uint8_t(index));
    undo_->Follow(logic_);
  });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (guard_) return;
    const int row = item ? list_->indexOfTopLevelItem(item) : -1;
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    ShowLine();
    ShowJumps();
  });
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OfferCalledRoutine(size_t(list_->indexOfTopLevelItem(item))); });
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = ContextMenu();
    menu->exec(list_->viewport()->mapToGlobal(at));
    menu->deleteLater();
  });
  for (size_t i = 0; i < kBoxCount; ++i) {
    QLineEdit* box = boxes_[i];
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, i] { TakeBox(Box(i), false); });
    connect(box, &QLineEdit::editingFinished, this, [this, i] {
      // A valid number shows in its usual form ("+5" as 5); a refused one waits for OK or Enter.
      if (TakeBox(Box(i), false)) boxes_[i]->setText(BoxText(Box(i)));
      logic_.BreakMerge();
    });
  }
  for (size_t i = 0; i < hex_.size(); ++i) {
    hex_[i]->installEventFilter(this);
    connect(hex_[i], &QLineEdit::textEdited, this, [this, i] { TakeHex(i); });
    connect(hex_[i], &QLineEdit::editingFinished, this, [this, i] {
      TakeHex(i);
      if (const BhavInstruction* line = logic_.SelectedLine())
        hex_[i]->setText(QString::fromStdString(FormatHex(line->operand[i], 2)));
      logic_.BreakMerge();
    });
  }
  for (Branch branch : {Branch::True, Branch::False}) {
    connect(choices_[size_t(branch)], &QComboBox::activated, this, [this, branch](int index) {
      logic_.SetTargetChoice(branch, BhavEditor::TargetChoice(index));
      AfterLineEdit(nullptr);
    });
  }
  connect(pick_, &QPushButton::clicked, this, &BhavEditorDialog::PickFunction);
  undo_->WatchTextBoxes();

  // Tab goes through the header, the list, then each line field with the choice beside it.
  const std::vector<QWidget*> tabOrder{version_,
                                       type_,
                                       boxes_[size_t(Box::Parameters)],
                                       boxes_[size_t(Box::Locals)],
                                       boxes_[size_t(Box::Revision)],
                                       list_,
                                       description_,
                                       boxes_[size_t(Box::Function)],
                                       pick_,
                                       boxes_[size_t(Box::TrueLine)],
                                       choices_[size_t(Branch::True)],
                                       boxes_[size_t(Box::FalseLine)],
                                       choices_[size_t(Branch::False)],
                                       boxes_[size_t(Box::Param1)],
                                       boxes_[size_t(Box::Param2)],
                                       boxes_[size_t(Box::Param3)],
                                       boxes_[size_t(Box::Param4)]};
  for (size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  setTabOrder(tabOrder.back(), hex_.front());
  for (size_t i = 1; i < hex_.size(); ++i) setTabOrder(hex_[i - 1], hex_[i]);

  setSizeGripEnabled(true);
  resize(820, 520);
  ShowAll();
  list_->setFocus();
}

QMenu* BhavEditorDialog::ContextMenu() {
  auto* menu = new QMenu(this);
  const bool selected = logic_.SelectedLine() != nullptr;
  const auto add = [&](const char* text, Command command, bool enabled) {
    QAction* action = menu->addAction(QString::fromLatin1(text), this, [this, command] { Run(command); });
    action->setEnabled(enabled);
  };
  add("&Add", Command::Add, true);
  add("&Insert", Command::Insert, selected);
  add("&Delete", Command::Delete, selected);
  add("&Rewrite", Command::Rewrite, true);
  add("D&uplicate", Command::Duplicate, selected);
  menu->addSeparator();
  undo_->AddTo(*menu, logic_);
  return menu;
}

void BhavEditorDialog::Run(Command command) {
  EditError error = EditError::None;
  switch (command) {
    case Command::Add: error = logic_.Add(); break;
    case Command::Insert: error = logic_.Insert(); break;
    case Command::Delete: error = logic_.Delete(); break;
    case Command::Rewrite: error = logic_.Rewrite(); break;
    case Command::Duplicate: error = logic_.Duplicate(); break;
  }
  if (error != EditError::None) context_.platform.Error(this, RefusalText(command, error));
  ShowAll();
}

void BhavEditorDialog::OfferCalledRoutine(size_t line) {
  const std::optional<uint16_t> id = logic_.CalledRoutine(line);
  if (!id) return;
  const IffChunk* routine = context_.file.Find(ResourceBhav::kType, *id);
  if (!routine) return;  // a global or semi-global routine: not in this file
  const QString question =
      QStringLiteral(
          "Open the routine \"%1\" (BHAV %2) next?\n\nOK keeps your changes to this routine, closes this editor and "
          "then opens the called routine.")
          .arg(FromCp1252(routine->name))
          .arg(*id);
  if (context_.platform.Message(this, question, QStringLiteral("Question:"), MessageIcon::Question,
                                MessageButtons::OkCancel) != MessageAnswer::Ok)
    return;
  context_.openAfterClose = {true, ResourceBhav::kType, *id};
  accept();
  if (result() != QDialog::Accepted) context_.openAfterClose.requested = false;  // a box was refused
}

void BhavEditorDialog::accept() {
  for (size_t i = 0; i < kBoxCount; ++i)
    if (!TakeBox(Box(i), true)) return;
  QDialog::accept();
}

bool BhavEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (watched == list_ && key->modifiers() == Qt::NoModifier) {
    if (key->key() == Qt::Key_Insert || key->key() == Qt::Key_Delete) {
      Run(key->key() == Qt::Key_Insert ? Command::Insert : Command::Delete);
      return true;
    }
    if (enter && logic_.SelectedLine()) {
      QLineEdit* function = boxes_[size_t(Box::Function)];
      function->setFocus(Qt::TabFocusReason);
      function->selectAll();
      return true;
    }
  }
  // Enter in a box takes the box; it does not end the dialog.
  if (enter) {
    for (size_t i = 0; i < kBoxCount; ++i) {
      if (watched != boxes_[i]) continue;
      if (TakeBox(Box(i), true)) boxes_[i]->setText(BoxText(Box(i)));
      boxes_[i]->selectAll();
      logic_.BreakMerge();
      return true;
    }
    for (QLineEdit* box : hex_) {
      if (watched != box) continue;
      box->selectAll();
      logic_.BreakMerge();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

QString BhavEditorDialog::BoxText(Box box) const {
  const ResourceBhav& routine = logic_.Routine();
  const BhavInstruction* line = logic_.SelectedLine();
  if (IsLineBox(box) && !line) return {};
  switch (box) {
    case Box::Parameters: return QString::number(routine.parameterCount);
    case Box::Locals: return QString::number(routine.localCount);
    case Box::Revision: return QString::number(routine.revision);
    case Box::Function: return QString::number(line->opcode);
    case Box::TrueLine: return QString::number(line->trueTarget);
    case Box::FalseLine: return QString::number(line->falseTarget);
    default: return QString::number(line->OperandWord(size_t(box) - size_t(Box::Param1)));
  }
}

bool BhavEditorDialog::TakeBox(Box box, bool report) {
  QLineEdit* edit = boxes_[size_t(box)];
  if (!edit->isEnabled() || edit->text() == BoxText(box)) {
    edit->setPalette(QPalette());
    return true;
  }
  const NumberParse parse = ParseNumber(ToCp1252(edit->text()), FieldOf(box));
  // A text that is no number yet stays as typed, marked, until it is finished.
  QPalette palette;
  if (!parse.ok()) palette.setColor(QPalette::Text, QColor(200, 0, 0));
  edit->setPalette(palette);
  if (!parse.ok()) {
    if (report) {
      AcceptNumber(context_.platform, this, parse);
      edit->setFocus();
      edit->selectAll();
    }
    return false;
  }
  const int64_t value = parse.value;
  switch (box) {
    case Box::Parameters: logic_.SetParameterCount(uint8_t(value)); break;
    case Box::Locals: logic_.SetLocalCount(uint8_t(value)); break;
    case Box::Revision: logic_.SetRevision(uint32_t(value)); break;
    case Box::Function: logic_.SetOpcode(uint16_t(value)); break;
    case Box::TrueLine: logic_.SetTarget(Branch::True, uint8_t(value)); break;
    case Box::FalseLine: logic_.SetTarget(Branch::False, uint8_t(value)); break;
    default: logic_.SetParameter(size_t(box) - size_t(Box::Param1), int16_t(value)); break;
  }
  if (IsLineBox(box))
    AfterLineEdit(edit);
  else
    undo_->Follow(logic_);
  return true;
}

bool BhavEditorDialog::TakeHex(size_t index) {
  if (!logic_.SetOperandByteText(index, ToCp1252(hex_[index]->text()))) return false;
  AfterLineEdit(hex_[index]);
  return true;
}

void BhavEditorDialog::PickFunction() {
  const BhavInstruction* line = logic_.SelectedLine();
  if (!line) return;
  SelectFunctionDialog picker(FunctionChoices(&context_.functions, context_.privateFunctions, logic_.SemiGlobalName()),
                              line->opcode, context_.platform, this);
  if (picker.exec() != QDialog::Accepted) return;
  logic_.BreakMerge();
  logic_.SetOpcode(picker.Chosen());
  logic_.BreakMerge();
  AfterLineEdit(nullptr);
}

void BhavEditorDialog::ShowAll() {
  ShowHeader();
  ShowRows();
  SelectRowOfLogic();
  ShowLine();
  ShowJumps();
  undo_->Follow(logic_);
}

void BhavEditorDialog::ShowHeader() {
  const ResourceBhav& routine = logic_.Routine();
  version_->setCurrentIndex(logic_.VersionIndex());
  type_->setCurrentIndex(routine.type < std::size(kTypes) ? routine.type : -1);
  for (Box box : {Box::Parameters, Box::Locals, Box::Revision}) {
    boxes_[size_t(box)]->setText(BoxText(box));
    boxes_[size_t(box)]->setPalette(QPalette());
  }
}

void BhavEditorDialog::ShowRows() {
  guard_ = true;
  const int count = int(logic_.LineCount());
  while (list_->topLevelItemCount() > count) delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
  while (list_->topLevelItemCount() < count) new QTreeWidgetItem(list_);
  for (size_t line = 0; line < size_t(count); ++line) ShowRow(line);
  highlighted_.clear();  // rows may have been rebuilt; ShowJumps marks them afresh
  for (int row = 0; row < count; ++row)
    for (int column = 0; column < 3; ++column) list_->topLevelItem(row)->setBackground(column, QBrush());
  guard_ = false;
}

void BhavEditorDialog::ShowRow(size_t line) {
  QTreeWidgetItem* item = list_->topLevelItem(int(line));
  if (!item) return;
  const BhavRow row = logic_.Row(line, formatter_);
  item->setText(0, QString::fromStdString(row.line));
  item->setText(1, FromCp1252(row.instruction));
  item->setText(2, QString::fromStdString(row.next));
}

void BhavEditorDialog::SelectRowOfLogic() {
  guard_ = true;
  QTreeWidgetItem* item = list_->topLevelItem(logic_.Selected() == kNoRow ? -1 : int(logic_.Selected()));
  list_->setCurrentItem(item);
  if (item) {
    list_->scrollToItem(item);
  } else {
    list_->clearSelection();
  }
  guard_ = false;
}

void BhavEditorDialog::ShowLine() {
  const BhavInstruction* line = logic_.SelectedLine();
  for (size_t i = size_t(Box::Function); i < kBoxCount; ++i) {
    boxes_[i]->setEnabled(line != nullptr);
    boxes_[i]->setText(BoxText(Box(i)));
    boxes_[i]->setPalette(QPalette());
  }
  for (size_t i = 0; i < hex_.size(); ++i) {
    hex_[i]->setEnabled(line != nullptr);
    hex_[i]->setText(line ? QString::fromStdString(FormatHex(line->operand[i], 2)) : QString());
  }
  for (Branch branch : {Branch::True, Branch::False}) {
    QComboBox* choice = choices_[size_t(branch)];
    choice->setEnabled(line != nullptr);
    const uint8_t target = !line ? 0 : branch == Branch::True ? line->trueTarget : line->falseTarget;
    choice->setCurrentIndex(line ? int(BhavEditor::ChoiceOf(target)) : -1);
  }
  pick_->setEnabled(line != nullptr);
  const QTreeWidgetItem* item = line ? list_->topLevelItem(int(logic_.Selected())) : nullptr;
  description_->setText(item ? item->text(1) : QString());
}

void BhavEditorDialog::ShowJumps() {
  for (size_t row : highlighted_) {
    if (QTreeWidgetItem* item = list_->topLevelItem(int(row)))
      for (int column = 0; column < 3; ++column) item->setBackground(column, QBrush());
  }
  highlighted_ = logic_.JumpRows();
  const BhavInstruction* line = logic_.SelectedLine();
  for (size_t row : highlighted_) {
    QTreeWidgetItem* item = list_->topLevelItem(int(row));
    if (!item || !line) continue;
    const QBrush brush = JumpBrush(line->trueTarget == row, line->falseTarget == row);
    for (int column = 0; column < 3; ++column) item->setBackground(column, brush);
  }
}

void BhavEditorDialog::AfterLineEdit(QLineEdit* typing) {
  const size_t selected = logic_.Selected();
  ShowRow(selected);
  // Every other field follows the edit; the box being typed in keeps its text as typed.
  const BhavInstruction* line = logic_.SelectedLine();
  if (!line) return;
  for (size_t i = size_t(Box::Function); i < kBoxCount; ++i) {
    if (boxes_[i] != typing) {
      boxes_[i]->setText(BoxText(Box(i)));
      boxes_[i]->setPalette(QPalette());
    }
  }
  for (size_t i = 0; i < hex_.size(); ++i)
    if (hex_[i] != typing) hex_[i]->setText(QString::fromStdString(FormatHex(line->operand[i], 2)));
  choices_[0]->setCurrentIndex(int(BhavEditor::ChoiceOf(line->trueTarget)));
  choices_[1]->setCurrentIndex(int(BhavEditor::ChoiceOf(line->falseTarget)));
  description_->setText(list_->topLevelItem(int(selected))->text(1));
  ShowJumps();
  undo_->Follow(logic_);
}

bool RunBhavEditor(ResourceBhav& routine, EditorContext& context) {
  BhavEditor logic(routine, SemiGlobalName(context.file));
  BhavEditorDialog dialog(logic, context);
  if (dialog.exec() != QDialog::Accepted) return false;
  routine.CopyFrom(logic.Routine());
  return true;
}

}  // namespace scrivet
