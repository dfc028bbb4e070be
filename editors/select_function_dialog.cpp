#include "editors/select_function_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/platform.h"
#include "editors/qt_text.h"

namespace scrivet {

QString FunctionChoiceText(const FunctionChoice& choice) {
  using Kind = FunctionChoice::Kind;
  switch (choice.kind) {
    case Kind::Separator: return QStringLiteral("----------");
    case Kind::Primitive: return FromCp1252(choice.name);
    case Kind::Global: return QStringLiteral("(glob:) ") + FromCp1252(choice.name);
    case Kind::Private: return QStringLiteral("(priv:) ") + FromCp1252(choice.name);
    case Kind::SemiGlobal: return QStringLiteral("(semi:) ") + FromCp1252(choice.name);
  }
  return {};
}

SelectFunctionDialog::SelectFunctionDialog(std::vector<FunctionChoice> choices, uint16_t opcode, Platform& platform,
                                           QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)), platform_(platform) {
  setWindowTitle(QStringLiteral("Select function..."));
  auto* group = new QGroupBox(QStringLiteral("Available functions"), this);
  list_ = new QComboBox(group);
  list_->setMaxVisibleItems(24);
  list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list_->setMinimumContentsLength(36);
  for (const FunctionChoice& choice : choices_) list_->addItem(FunctionChoiceText(choice));
  const size_t preselected = PreselectedChoice(choices_, opcode);
  list_->setCurrentIndex(preselected == kNoRow ? -1 : int(preselected));
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &SelectFunctionDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addStretch();
  layout->addWidget(buttons);
  list_->setFocus();
}

void SelectFunctionDialog::accept() {
  const int index = list_->currentIndex();
  if (ChooseFunction(choices_, index < 0 ? kNoRow : size_t(index), chosen_) != EditError::None) {
    platform_.Error(this, QStringLiteral("Select an item before clicking OK!"));
    return;
  }
  QDialog::accept();
}

}  // namespace scrivet
