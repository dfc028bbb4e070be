#pragma once
// Undo and Redo of an editor dialog: Ctrl+Z, Ctrl+Y (and Ctrl+Shift+Z) wherever the focus is,
// and two buttons greyed by state. Text boxes would take those keys for their own undo, which
// knows nothing of the editor's steps; the keys are taken from them and the boxes' own undo is
// switched off, so that one history covers everything the dialog changes.

#include <QObject>
#include <functional>

class QDialog;
class QDialogButtonBox;
class QHBoxLayout;
class QMenu;
class QPushButton;

namespace scrivet {

class DialogUndo : public QObject {
 public:
  DialogUndo(QDialog* dialog, std::function<void()> undo, std::function<void()> redo);
  // The usual binding to an editor's logic (Undo, Redo, CanUndo, CanRedo): each step runs on the
  // logic, then `refresh` redraws the dialog.
  template <class Logic>
  static DialogUndo* For(QDialog* dialog, Logic& logic, std::function<void()> refresh) {
    return new DialogUndo(
        dialog, [&logic, refresh] { logic.Undo(); refresh(); }, [&logic, refresh] { logic.Redo(); refresh(); });
  }

  void Update(bool canUndo, bool canRedo);
  template <class Logic>
  void Follow(const Logic& logic) { Update(logic.CanUndo(), logic.CanRedo()); }
  // "&Undo" and "&Redo" at the end of a context menu, greyed by the logic's state.
  template <class Logic>
  void AddTo(QMenu& menu, const Logic& logic) { AddTo(menu, logic.CanUndo(), logic.CanRedo()); }
  void AddTo(QMenu& menu, bool canUndo, bool canRedo);
  // The dialog's bottom row: Undo and Redo, then OK and Cancel, which accept and reject the
  // dialog. Hands out the OK button and, when asked, the button box.
  QHBoxLayout* ButtonRow(QPushButton** ok, QDialogButtonBox** box = nullptr);
  // Takes the keys from every text box of the dialog; call once its widgets exist.
  void WatchTextBoxes();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QDialog* dialog_;
  std::function<void()> undo_;
  std::function<void()> redo_;
  QPushButton* undoButton_;
  QPushButton* redoButton_;
};

}  // namespace scrivet
