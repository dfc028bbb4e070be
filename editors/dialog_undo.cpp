#include "editors/dialog_undo.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace scrivet {

namespace {

enum class UndoKey { None, Undo, Redo };

UndoKey KeyOf(const QKeyEvent& key) {
  const QKeyCombination combination = key.keyCombination();
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z)) return UndoKey::Undo;
  if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
      combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
    return UndoKey::Redo;
  return UndoKey::None;
}

}  // namespace

DialogUndo::DialogUndo(QDialog* dialog, std::function<void()> undo, std::function<void()> redo)
    : QObject(dialog), dialog_(dialog), undo_(std::move(undo)), redo_(std::move(redo)) {
  undoButton_ = new QPushButton(QStringLiteral("&Undo"), dialog);
  redoButton_ = new QPushButton(QStringLiteral("&Redo"), dialog);
  for (QPushButton* button : {undoButton_, redoButton_}) button->setAutoDefault(false);
  connect(undoButton_, &QPushButton::clicked, this, [this] { undo_(); });
  connect(redoButton_, &QPushButton::clicked, this, [this] { redo_(); });

  auto* undoAction = new QAction(dialog);
  undoAction->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
  auto* redoAction = new QAction(dialog);
  redoAction->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::Key_Y),
                            QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)});
  connect(undoAction, &QAction::triggered, this, [this] { undo_(); });
  connect(redoAction, &QAction::triggered, this, [this] { redo_(); });
  dialog->addAction(undoAction);
  dialog->addAction(redoAction);
  Update(false, false);
}

void DialogUndo::Update(bool canUndo, bool canRedo) {
  undoButton_->setEnabled(canUndo);
  redoButton_->setEnabled(canRedo);
}

void DialogUndo::WatchTextBoxes() {
  for (QLineEdit* box : dialog_->findChildren<QLineEdit*>()) box->installEventFilter(this);
  for (QPlainTextEdit* box : dialog_->findChildren<QPlainTextEdit*>()) {
    box->setUndoRedoEnabled(false);
    box->installEventFilter(this);
  }
  for (QTextEdit* box : dialog_->findChildren<QTextEdit*>()) {
    box->setUndoRedoEnabled(false);
    box->installEventFilter(this);
  }
}

bool DialogUndo::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
    return QObject::eventFilter(watched, event);
  const UndoKey key = KeyOf(*static_cast<QKeyEvent*>(event));
  if (key == UndoKey::None) return QObject::eventFilter(watched, event);
  // Accepting the override turns the key into a key press for the box, which ends here.
  event->accept();
  if (event->type() == QEvent::KeyPress) (key == UndoKey::Undo ? undo_ : redo_)();
  return true;
}

void DialogUndo::AddTo(QMenu& menu, bool canUndo, bool canRedo) {
  QAction* undo = menu.addAction(QStringLiteral("&Undo"), this, [this] { undo_(); });
  undo->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
  undo->setEnabled(canUndo);
  QAction* redo = menu.addAction(QStringLiteral("&Redo"), this, [this] { redo_(); });
  redo->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Y));
  redo->setEnabled(canRedo);
}

QHBoxLayout* DialogUndo::ButtonRow(QPushButton** ok, QDialogButtonBox** box) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog_);
  *ok = buttons->button(QDialogButtonBox::Ok);
  if (box) *box = buttons;
  // accept is virtual: an editor's own check on OK runs through it.
  connect(buttons, &QDialogButtonBox::accepted, dialog_, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, dialog_, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(undoButton_);
  row->addWidget(redoButton_);
  row->addStretch();
  row->addWidget(buttons);
  return row;
}

}  // namespace scrivet
