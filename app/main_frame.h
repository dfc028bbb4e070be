#pragma once
// The main window: menus, toolbar, status bar and the document windows.

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/view_dialogs.h"
#include "editors/platform.h"

class QAction;
class QMdiArea;
class QMenu;
class QMimeData;
class QToolBar;
class QUndoGroup;

namespace scrivet {

class CChildFrame;
class CScrivet2Doc;
class CScrivet2View;
struct BehaviourCatalogues;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kRecentFiles = 4;

  // The application's behaviour catalogues serve every document; Load custom script.txt changes them.
  CMainFrame(Platform& platform, ViewDialogs& dialogs, BehaviourCatalogues& behaviour);
  ~CMainFrame() override;

  // File commands. Open returns null when the file could not be opened at all.
  CScrivet2Doc* NewDocument();
  CScrivet2Doc* OpenDocument(const QString& path);
  bool SaveDocument(CScrivet2Doc& doc);
  bool SaveDocumentAs(CScrivet2Doc& doc);
  // Asks to save a modified document; false when the user cancelled (or the save failed).
  bool CloseDocument(CScrivet2Doc& doc);
  // Asks about every modified document; true when the program may end.
  bool CloseAllDocuments();
  // A second window on the active document.
  CChildFrame* NewWindow();
  void LoadCustomScript();
  void ChooseGameFolder();
  void ArrangeIcons();
  // Opens the local files of a drop; true when it carried any.
  bool OpenDroppedFiles(const QMimeData* data);

  // Called by a document window that is about to close.
  bool CanCloseFrame(CChildFrame* frame);

  CScrivet2Doc* ActiveDocument() const;
  CScrivet2View* ActiveView() const;
  const std::vector<std::unique_ptr<CScrivet2Doc>>& Documents() const { return docs_; }
  QList<CChildFrame*> FramesOf(const CScrivet2Doc* doc) const;
  QStringList RecentFiles() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  // Undo and Redo in the Edit menu and the toolbar, for the active document's history.
  void BuildHistoryActions();
  void UpdateHistoryActions();
  CScrivet2Doc& AddDocument(const QString& untitledName);
  CChildFrame* AddFrame(CScrivet2Doc& doc);
  bool SaveModified(CScrivet2Doc& doc);
  void ForgetDocument(CScrivet2Doc* doc);
  void UpdateTitles(CScrivet2Doc* doc);
  void UpdateState();
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  void RebuildWindowMenu();
  void Print();
  void ShowAbout();

  Platform& platform_;
  ViewDialogs& dialogs_;
  BehaviourCatalogues& behaviour_;
  QMdiArea* mdi_;
  QUndoGroup* histories_;
  std::vector<std::unique_ptr<CScrivet2Doc>> docs_;
  QList<CChildFrame*> frames_;
  int untitledCount_ = 0;
  bool closingAll_ = false;
  CScrivet2Doc* closingDoc_ = nullptr;

  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* viewMenu_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QList<QAction*> docOnlyFileActions_;
  QList<QAction*> editActions_;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QList<QAction*> recentActions_;
  QAction* recentSeparator_ = nullptr;
  QAction* saveToolAction_ = nullptr;
  QAction* printToolAction_ = nullptr;
  QList<QAction*> windowCommandActions_;
};

}  // namespace scrivet
