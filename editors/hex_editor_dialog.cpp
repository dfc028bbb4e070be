#include "editors/hex_editor_dialog.h"

#include <QPushButton>
#include <algorithm>

#include "core/iff_resource.h"
#include "editors/hex_edit_control.h"

namespace scrivet {

namespace {

constexpr int kMargin = 10;

QSize ButtonSize(const QPushButton& button) {
  const QSize hint = button.sizeHint();
  return QSize(std::max(hint.width(), 75), hint.height());
}

}  // namespace

HexEditorDialog::HexEditorDialog(ResourceData& resource, Platform& platform, QWidget* parent)
    : QDialog(parent), resource_(resource) {
  setWindowTitle(QStringLiteral("HEX editor"));
  control_ = new HexEditControl(platform, this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  // Buttons never take the focus from the bytes, so Tab stays with the control.
  ok_->setFocusPolicy(Qt::NoFocus);
  cancel_->setFocusPolicy(Qt::NoFocus);
  connect(ok_, &QPushButton::clicked, this, &HexEditorDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &HexEditorDialog::reject);
  // Ctrl+K ends the dialog like OK: the edits are taken over, not dropped.
  connect(control_, &HexEditControl::acceptRequested, this, &HexEditorDialog::accept);

  control_->SetData(resource.bytes.data(), resource.bytes.size());

  const QSize button = ButtonSize(*ok_);
  setMinimumSize(std::max(2 * button.width() + 40, control_->minimumWidth() + 2 * kMargin),
                 button.height() + 180);
  resize(640, 420);
  Arrange();
  control_->setFocus();
}

void HexEditorDialog::accept() {
  resource_.bytes = control_->Model().Data();
  QDialog::accept();
}

void HexEditorDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Arrange();
}

void HexEditorDialog::Arrange() {
  const QSize button = ButtonSize(*ok_);
  const int w = width();
  const int h = height();
  const int buttonY = h - kMargin - button.height();
  cancel_->setGeometry(w - kMargin - button.width(), buttonY, button.width(), button.height());
  ok_->setGeometry(w - 2 * (kMargin + button.width()), buttonY, button.width(), button.height());
  control_->setGeometry(kMargin, kMargin, std::max(0, w - 2 * kMargin), std::max(0, buttonY - 2 * kMargin));
}

bool RunHexEditor(ResourceData& resource, Platform& platform, QWidget* parent) {
  HexEditorDialog dialog(resource, platform, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace scrivet
