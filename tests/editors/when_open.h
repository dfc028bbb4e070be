// Editors run their own modal loop: the test's steps go in through a timer once the dialog is up.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

namespace scrivet {

// Runs `action` on the open dialog, then closes it unless the action did. Keyboard shortcuts need
// an `active` window.
template <class Dialog>
void WhenOpen(std::function<void(Dialog&)> action, bool active = false) {
  QTimer::singleShot(0, [action, active] {
    auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (active) {
      ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    action(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
}

}  // namespace scrivet
