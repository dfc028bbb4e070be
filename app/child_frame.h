#pragma once
// The window of one view of a document inside the main frame.

#include <QMdiSubWindow>

namespace scrivet {

class CScrivet2Doc;
class CScrivet2View;
class CMainFrame;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(CMainFrame& frame, CScrivet2Doc& doc, CScrivet2View* view);
  ~CChildFrame() override;

  CScrivet2Doc& Document() { return doc_; }
  CScrivet2View* View() { return view_; }
  // Title "name", or "name:n" when the document has several windows; '*' marks changes.
  void UpdateTitle(int number, int count);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CMainFrame& frame_;
  CScrivet2Doc& doc_;
  CScrivet2View* view_;
};

}  // namespace scrivet
