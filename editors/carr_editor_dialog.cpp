#include "editors/carr_editor_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editors/dialog_undo.h"
#include "editors/field_messages.h"
#include "editors/name_editor_dialogs.h"
#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

namespace {

const QString kCaption = QStringLiteral("Scrivet 2");

// In JobBox order.
constexpr const char* kNumberLabels[] = {"Friends", "Cooking", "Mechanical", "Charisma", "Body", "Logic",
                                         "Creativity", "Hunger", "Comfort", "Hygiene", "Bladder", "Energy",
                                         "Fun", "Social", "Salary", "Begintime", "Endtime"};
static_assert(std::size(kNumberLabels) == kJobBoxCount);
// In JobText order.
constexpr const char* kTextLabels[] = {"Job name:", "Male skin:", "Female skin:", "Texture:", "Accessory:"};
static_assert(std::size(kTextLabels) == kJobTextCount);

QString RowId(size_t row) { return QStringLiteral("#%1").arg(row); }

}  // namespace

ArrowNumberBox::ArrowNumberBox(QWidget* parent) : QAbstractSpinBox(parent) {
  setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-88888")) + 30);
}

void ArrowNumberBox::stepBy(int steps) {
  if (onStep) onStep(steps);
}

QAbstractSpinBox::StepEnabled ArrowNumberBox::stepEnabled() const {
  return isEnabled() ? StepUpEnabled | StepDownEnabled : StepNone;
}

CarrEditorDialog::CarrEditorDialog(CarrEditor& logic, Platform& platform, QWidget* parent)
    : QDialog(parent), logic_(logic), platform_(platform) {
  setWindowTitle(QStringLiteral("Career editor"));

  careerName_ = new QLineEdit(this);
  jobs_ = new QTreeWidget(this);
  jobs_->setRootIsDecorated(false);
  jobs_->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("Job name")});
  jobs_->setColumnWidth(0, 40);
  jobs_->setColumnWidth(1, 140);
  jobs_->setContextMenuPolicy(Qt::CustomContextMenu);
  jobs_->setMinimumWidth(40 + 140 + 2 * jobs_->frameWidth() + jobs_->verticalScrollBar()->sizeHint().width());
  auto* left = new QVBoxLayout;
  left->addWidget(careerName_);
  left->addWidget(jobs_, 1);

  auto* textForm = new QFormLayout;
  for (size_t i = 0; i < texts_.size(); ++i) {
    texts_[i] = new QLineEdit(this);
    textForm->addRow(QString::fromLatin1(kTextLabels[i]), texts_[i]);
  }
  for (size_t i = 0; i < numbers_.size(); ++i) {
    numbers_[i] = new ArrowNumberBox(this);
    numbers_[i]->onStep = [this, i](int steps) { Step(JobBox(i), steps); };
  }
  // Each group: its title and the boxes it holds, in JobBox order.
  auto* groups = new QHBoxLayout;
  auto group = [this, groups](const char* title, size_t first, size_t count) {
    auto* box = new QGroupBox(QString::fromLatin1(title), this);
    auto* grid = new QGridLayout(box);
    for (size_t i = first; i < first + count; ++i) {
      const int row = int(i - first);
      grid->addWidget(new QLabel(QString::fromLatin1(kNumberLabels[i]), box), row, 0);
      grid->addWidget(numbers_[i], row, 1);
    }
    grid->setRowStretch(int(count) + 1, 1);
    groups->addWidget(box);
    return grid;
  };
  group("Skills and friends needed", 0, 7);
  group("Mood changes per hour", 7, 7);
  QGridLayout* general = group("General information", 14, 3);
  // The index stored in extra20; the list has no entries, so the field cannot be changed.
  choice_ = new QComboBox(this);
  general->addWidget(choice_, 3, 0, 1, 2);
  auto* right = new QVBoxLayout;
  right->addLayout(textForm);
  right->addLayout(groups);
  right->addStretch();

  undo_ = DialogUndo::For(this, logic_, [this] { Refresh(); });
  auto* bottom = undo_->ButtonRow(&ok_);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addLayout(right, 5);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);

  connect(jobs_, &QWidget::customContextMenuRequested, this, &CarrEditorDialog::ShowMenu);
  connect(jobs_, &QTreeWidget::currentItemChanged, this, [this] {
    if (guard_) return;
    const int row = jobs_->indexOfTopLevelItem(jobs_->currentItem());
    logic_.Select(row < 0 ? kNoRow : size_t(row));
    ShowJob();
  });
  connect(careerName_, &QLineEdit::textEdited, this, [this](const QString& text) {
    TextEdited(careerName_, logic_.SetCareerName(ToCp1252(text)), logic_.Career().careerName);
  });
  for (size_t i = 0; i < texts_.size(); ++i) {
    connect(texts_[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      TextEdited(texts_[i], logic_.SetJobText(JobText(i), ToCp1252(text)), logic_.JobTextOf(JobText(i)));
      if (JobText(i) == JobText::Name && logic_.HasSelectedJob())
        jobs_->topLevelItem(int(logic_.Selected()))->setText(1, FromCp1252(logic_.JobTextOf(JobText::Name)));
    });
  }
  for (size_t i = 0; i < numbers_.size(); ++i)
    connect(numbers_[i], &QAbstractSpinBox::editingFinished, this, [this, i] { TakeNumber(JobBox(i)); });
  undo_->WatchTextBoxes();
  // A spin box hands its keys to its text box directly, past that box's filter.
  for (ArrowNumberBox* box : numbers_) box->installEventFilter(undo_);

  setSizeGripEnabled(true);
  // Never smaller than the layout needs, so that no label is cut.
  setMinimumSize(layout->minimumSize().expandedTo(QSize(640, 400)));
  Refresh();
}

void CarrEditorDialog::Refresh() {
  if (careerName_->text() != FromCp1252(logic_.Career().careerName))
    careerName_->setText(FromCp1252(logic_.Career().careerName));
  ShowList();
  ShowJob();
}

void CarrEditorDialog::ShowList() {
  guard_ = true;
  const std::vector<Job>& jobs = logic_.Career().jobs;
  while (jobs_->topLevelItemCount() > int(jobs.size())) delete jobs_->takeTopLevelItem(jobs_->topLevelItemCount() - 1);
  while (jobs_->topLevelItemCount() < int(jobs.size())) new QTreeWidgetItem(jobs_, {RowId(jobs_->topLevelItemCount())});
  for (size_t row = 0; row < jobs.size(); ++row) jobs_->topLevelItem(int(row))->setText(1, FromCp1252(jobs[row].jobName));
  jobs_->setCurrentItem(logic_.HasSelectedJob() ? jobs_->topLevelItem(int(logic_.Selected())) : nullptr);
  guard_ = false;
}

// The job-selection step: a selected job fills and enables the job controls, none clears and
// disables them. The career name stays enabled.
void CarrEditorDialog::ShowJob() {
  const bool any = logic_.HasSelectedJob();
  for (size_t i = 0; i < texts_.size(); ++i) {
    const QString text = FromCp1252(logic_.JobTextOf(JobText(i)));
    if (texts_[i]->text() != text) texts_[i]->setText(text);
    texts_[i]->setEnabled(any);
  }
  for (size_t i = 0; i < numbers_.size(); ++i) {
    numbers_[i]->Edit()->setText(QString::fromStdString(logic_.JobNumberText(JobBox(i))));
    numbers_[i]->setEnabled(any);
  }
  choice_->setCurrentIndex(any ? int(logic_.Career().jobs[logic_.Selected()].extra20) : -1);
  choice_->setEnabled(any);
  undo_->Follow(logic_);
}

void CarrEditorDialog::ShowMenu(const QPoint& position) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Add"), this, &CarrEditorDialog::AddJob);
  menu.addAction(QStringLiteral("&Delete"), this, &CarrEditorDialog::DeleteJob)->setEnabled(logic_.HasSelectedJob());
  menu.addSeparator();
  undo_->AddTo(menu, logic_);
  menu.exec(jobs_->viewport()->mapToGlobal(position));
}

void CarrEditorDialog::AddJob() {
  if (!platform_.AskYesNo(this,
                          QStringLiteral("Are you sure you want to add a new job?\n\nThe Sims is designed to have 10 "
                                         "jobs in every adult's career!"),
                          kCaption))
    return;
  logic_.AddJob();
  Refresh();
}

void CarrEditorDialog::DeleteJob() {
  if (!logic_.HasSelectedJob()) return;
  if (!platform_.AskYesNo(this,
                          QStringLiteral("Are you sure you want to delete the selected job?\n\nThe Sims is designed "
                                         "to have 10 jobs in every career!"),
                          kCaption))
    return;
  logic_.DeleteJob();
  Refresh();
}

bool CarrEditorDialog::TakeNumber(JobBox box) {
  ArrowNumberBox* edit = numbers_[size_t(box)];
  const QString shown = QString::fromStdString(logic_.JobNumberText(box));
  if (!edit->isEnabled() || edit->text() == shown) return true;
  const NumberParse parse = logic_.SetJobNumber(box, ToCp1252(edit->text()));
  // The box shows the stored value before any message: the message takes the focus, and leaving
  // the box must not refuse the same text twice.
  edit->Edit()->setText(QString::fromStdString(logic_.JobNumberText(box)));
  logic_.BreakMerge();
  undo_->Follow(logic_);
  return AcceptNumber(platform_, this, parse);
}

void CarrEditorDialog::Step(JobBox box, int steps) {
  if (!TakeNumber(box)) return;
  logic_.StepJobNumber(box, steps);
  numbers_[size_t(box)]->Edit()->setText(QString::fromStdString(logic_.JobNumberText(box)));
  undo_->Follow(logic_);
}

void CarrEditorDialog::TextEdited(QLineEdit* box, EditError error, const std::string& now) {
  if (error != EditError::None) {
    box->setText(FromCp1252(now));
    RefuseText(platform_, this, error);
  }
  undo_->Follow(logic_);
}

void CarrEditorDialog::accept() {
  for (size_t i = 0; i < numbers_.size(); ++i)
    if (!TakeNumber(JobBox(i))) return;
  QDialog::accept();
}

bool RunCarrEditor(ResourceCarr& career, EditorContext& context) {
  CarrEditor logic(career);
  CarrEditorDialog dialog(logic, context.platform, context.parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  career.CopyFrom(logic.Career());
  return true;
}

}  // namespace scrivet
