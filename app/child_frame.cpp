#include "app/child_frame.h"

#include <QCloseEvent>

#include "app/main_frame.h"
#include "app/scrivet2_doc.h"
#include "app/scrivet2_view.h"

namespace scrivet {

CChildFrame::CChildFrame(CMainFrame& frame, CScrivet2Doc& doc, CScrivet2View* view)
    : frame_(frame), doc_(doc), view_(view) {
  setWidget(view);
  setAttribute(Qt::WA_DeleteOnClose);
}

// The view goes first: it refers to the document, which may go as soon as its last window has.
CChildFrame::~CChildFrame() { delete view_; }

void CChildFrame::UpdateTitle(int number, int count) {
  QString title = doc_.Title();
  if (count > 1) title += QStringLiteral(":%1").arg(number);
  // An explicit mark: a maximized window hands its title to the main frame's caption as it is.
  if (doc_.IsModified()) title += QLatin1Char('*');
  setWindowTitle(title);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!frame_.CanCloseFrame(this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace scrivet
