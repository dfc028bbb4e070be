#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QUndoGroup>
#include <QTreeView>
#include <QVBoxLayout>
#ifdef SCRIVET_HAVE_PRINT
#include <QPrintDialog>
#include <QPrinter>
#endif

#include <algorithm>

#include "app/child_frame.h"
#include "app/scrivet2_doc.h"
#include "app/scrivet2_view.h"
#include "app/startup.h"
#include "behaviour/behaviour_startup.h"

namespace scrivet {

namespace {

const QString kAppTitle = QStringLiteral("Scrivet 2");
const QString kRecentKey = QStringLiteral("Recent File List");
const QString kGeometryKey = QStringLiteral("MainFrame/Geometry");
const QString kIffFilter = QStringLiteral("IFF Files (*.iff)");

// "&Text\tShortcut": the text shows the shortcut the way the menus have always written it.
QAction* MakeAction(QObject* parent, const QString& text, const QString& shortcut = QString()) {
  auto* action = new QAction(text, parent);
  if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
  return action;
}

}  // namespace

CMainFrame::CMainFrame(Platform& platform, ViewDialogs& dialogs, BehaviourCatalogues& behaviour)
    : platform_(platform), dialogs_(dialogs), behaviour_(behaviour) {
  setWindowTitle(kAppTitle);
  setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  mdi_ = new QMdiArea(this);
  histories_ = new QUndoGroup(this);
  setCentralWidget(mdi_);
  setAcceptDrops(true);
  BuildHistoryActions();
  BuildMenus();
  BuildToolBar();
  statusBar()->showMessage(QStringLiteral("Ready"));
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateState(); });
  restoreGeometry(platform_.Setting(kGeometryKey).toByteArray());
  UpdateState();
}

CMainFrame::~CMainFrame() {
  // Views refer to their documents: close the windows before the documents go.
  closingAll_ = true;
  for (CChildFrame* frame : QList<CChildFrame*>(frames_)) delete frame;
  docs_.clear();
}

// ---------------------------------------------------------------- furniture

void CMainFrame::BuildMenus() {
  fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* newAction = MakeAction(this, QStringLiteral("&New\tCtrl+N"), QStringLiteral("Ctrl+N"));
  connect(newAction, &QAction::triggered, this, [this] { NewDocument(); });
  QAction* openAction = MakeAction(this, QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("Ctrl+O"));
  connect(openAction, &QAction::triggered, this, [this] {
    FileDialogRequest request;
    request.filter = kIffFilter + QStringLiteral(";;All Files (*.*)");
    QString path = platform_.OpenFileName(this, request);
    if (!path.isEmpty()) OpenDocument(path);
  });
  QAction* closeAction = MakeAction(this, QStringLiteral("&Close"));
  connect(closeAction, &QAction::triggered, this, [this] {
    if (CScrivet2Doc* doc = ActiveDocument()) CloseDocument(*doc);
  });
  QAction* saveAction = MakeAction(this, QStringLiteral("&Save\tCtrl+S"), QStringLiteral("Ctrl+S"));
  connect(saveAction, &QAction::triggered, this, [this] {
    if (CScrivet2Doc* doc = ActiveDocument()) SaveDocument(*doc);
  });
  QAction* saveAsAction = MakeAction(this, QStringLiteral("Save &As..."));
  connect(saveAsAction, &QAction::triggered, this, [this] {
    if (CScrivet2Doc* doc = ActiveDocument()) SaveDocumentAs(*doc);
  });
  QAction* scriptAction = MakeAction(this, QStringLiteral("Load custom script.txt"));
  connect(scriptAction, &QAction::triggered, this, &CMainFrame::LoadCustomScript);
  QAction* settingsAction = MakeAction(this, QStringLiteral("Settings..."));
  connect(settingsAction, &QAction::triggered, this, &CMainFrame::ChooseGameFolder);
  QAction* exitAction = MakeAction(this, QStringLiteral("E&xit"));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);

  fileMenu_->addActions({newAction, openAction, closeAction, saveAction, saveAsAction});
  fileMenu_->addSeparator();
  fileMenu_->addAction(scriptAction);
  fileMenu_->addAction(settingsAction);
  recentSeparator_ = fileMenu_->addSeparator();
  for (int i = 0; i < kRecentFiles; ++i) {
    QAction* recent = fileMenu_->addAction(QString());
    connect(recent, &QAction::triggered, this, [this, recent] { OpenDocument(recent->data().toString()); });
    recentActions_ << recent;
  }
  fileMenu_->addSeparator();
  fileMenu_->addAction(exitAction);
  docOnlyFileActions_ = {closeAction, saveAction, saveAsAction};
  RebuildRecentMenu();

  editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
  editMenu_->addActions({undoAction_, redoAction_});
  editMenu_->addSeparator();
  for (const EditCommand& command : EditCommands()) {
    QAction* action = MakeAction(this, QString::fromLatin1(command.text), QString::fromLatin1(command.shortcut));
    auto run = command.run;
    connect(action, &QAction::triggered, this, [this, run] {
      if (CScrivet2View* view = ActiveView()) (view->Controller().*run)();
    });
    action->setData(command.needsSelection);
    editMenu_->addAction(action);
    editActions_ << action;
  }
  // Shortcuts must work while the menu is closed; the greyed state is shown only in the menu.
  connect(editMenu_, &QMenu::aboutToShow, this, [this] {
    CScrivet2View* view = ActiveView();
    const bool selection = view && view->Controller().HasSelection();
    for (QAction* action : editActions_) action->setEnabled(selection || !action->data().toBool());
  });
  connect(editMenu_, &QMenu::aboutToHide, this, [this] {
    for (QAction* action : editActions_) action->setEnabled(true);
  });
  addActions(editActions_);

  viewMenu_ = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* toolBarAction = viewMenu_->addAction(QStringLiteral("&Toolbar"));
  toolBarAction->setCheckable(true);
  toolBarAction->setChecked(true);
  QAction* statusAction = viewMenu_->addAction(QStringLiteral("&Status Bar"));
  statusAction->setCheckable(true);
  statusAction->setChecked(true);
  connect(toolBarAction, &QAction::toggled, this, [this](bool on) { toolBar_->setVisible(on); });
  connect(statusAction, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

  windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
  QAction* newWindow = windowMenu_->addAction(QStringLiteral("&New Window"));
  connect(newWindow, &QAction::triggered, this, [this] { NewWindow(); });
  QAction* cascade = windowMenu_->addAction(QStringLiteral("&Cascade"));
  connect(cascade, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
  QAction* tile = windowMenu_->addAction(QStringLiteral("&Tile"));
  connect(tile, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
  QAction* arrange = windowMenu_->addAction(QStringLiteral("&Arrange Icons"));
  connect(arrange, &QAction::triggered, this, &CMainFrame::ArrangeIcons);
  windowCommandActions_ = {newWindow, cascade, tile, arrange};
  connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::RebuildWindowMenu);

  helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
  helpMenu_->addAction(QStringLiteral("&About Scrivet 2..."), this, &CMainFrame::ShowAbout);
}

void CMainFrame::BuildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Standard"));
  toolBar_->setObjectName(QStringLiteral("Standard"));
  toolBar_->setMovable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  // Theme icons where the desktop has them; otherwise the style's own for the file commands
  // and plain text for the rest, rather than a picture that means something else.
  auto add = [this](QStyle::StandardPixmap pixmap, const QString& theme, const QString& tip) {
    QIcon icon = QIcon::fromTheme(theme);
    if (icon.isNull() && pixmap != QStyle::SP_CustomBase) icon = style()->standardIcon(pixmap);
    QAction* action = toolBar_->addAction(icon, tip);
    action->setToolTip(tip);
    return action;
  };
  constexpr QStyle::StandardPixmap kNoPixmap = QStyle::SP_CustomBase;
  connect(add(QStyle::SP_FileIcon, QStringLiteral("document-new"), QStringLiteral("New")), &QAction::triggered, this,
          [this] { NewDocument(); });
  connect(add(QStyle::SP_DialogOpenButton, QStringLiteral("document-open"), QStringLiteral("Open")),
          &QAction::triggered, fileMenu_->actions().at(1), &QAction::trigger);
  saveToolAction_ = add(QStyle::SP_DialogSaveButton, QStringLiteral("document-save"), QStringLiteral("Save"));
  connect(saveToolAction_, &QAction::triggered, docOnlyFileActions_.at(1), &QAction::trigger);
  toolBar_->addSeparator();
  // Cut, Copy and Paste have no use in the resource list and stay disabled.
  add(kNoPixmap, QStringLiteral("edit-cut"), QStringLiteral("Cut"))->setEnabled(false);
  add(kNoPixmap, QStringLiteral("edit-copy"), QStringLiteral("Copy"))->setEnabled(false);
  add(kNoPixmap, QStringLiteral("edit-paste"), QStringLiteral("Paste"))->setEnabled(false);
  toolBar_->addSeparator();
  QAction* undoTool = add(QStyle::SP_ArrowBack, QStringLiteral("edit-undo"), QStringLiteral("Undo"));
  QAction* redoTool = add(QStyle::SP_ArrowForward, QStringLiteral("edit-redo"), QStringLiteral("Redo"));
  connect(undoTool, &QAction::triggered, undoAction_, &QAction::trigger);
  connect(redoTool, &QAction::triggered, redoAction_, &QAction::trigger);
  connect(histories_, &QUndoGroup::canUndoChanged, undoTool, &QAction::setEnabled);
  connect(histories_, &QUndoGroup::canRedoChanged, redoTool, &QAction::setEnabled);
  connect(histories_, &QUndoGroup::undoTextChanged, undoTool,
          [undoTool](const QString& text) { undoTool->setToolTip(text.isEmpty() ? "Undo" : "Undo " + text); });
  connect(histories_, &QUndoGroup::redoTextChanged, redoTool,
          [redoTool](const QString& text) { redoTool->setToolTip(text.isEmpty() ? "Redo" : "Redo " + text); });
  undoTool->setEnabled(false);
  redoTool->setEnabled(false);
  toolBar_->addSeparator();
  printToolAction_ = add(kNoPixmap, QStringLiteral("document-print"), QStringLiteral("Print"));
  connect(printToolAction_, &QAction::triggered, this, &CMainFrame::Print);
  toolBar_->addSeparator();
  connect(add(QStyle::SP_MessageBoxQuestion, QStringLiteral("help-about"), QStringLiteral("About")),
          &QAction::triggered, this, &CMainFrame::ShowAbout);
}

void CMainFrame::BuildHistoryActions() {
  undoAction_ = MakeAction(this, QString(), QStringLiteral("Ctrl+Z"));
  redoAction_ = MakeAction(this, QString(), QStringLiteral("Ctrl+Y"));
  connect(undoAction_, &QAction::triggered, histories_, &QUndoGroup::undo);
  connect(redoAction_, &QAction::triggered, histories_, &QUndoGroup::redo);
  for (auto signal : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged})
    connect(histories_, signal, this, &CMainFrame::UpdateHistoryActions);
  for (auto signal : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged})
    connect(histories_, signal, this, &CMainFrame::UpdateHistoryActions);
  addActions({undoAction_, redoAction_});
  UpdateHistoryActions();
}

void CMainFrame::UpdateHistoryActions() {
  // "&Undo Delete\tCtrl+Z": the action is named; '&' in a name is not a mnemonic.
  auto text = [](const char* verb, QString name, const char* key) {
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1%2\t%3")
        .arg(QLatin1String(verb), name.isEmpty() ? QString() : QLatin1Char(' ') + name, QLatin1String(key));
  };
  undoAction_->setText(text("Undo", histories_->undoText(), "Ctrl+Z"));
  redoAction_->setText(text("Redo", histories_->redoText(), "Ctrl+Y"));
  undoAction_->setEnabled(histories_->canUndo());
  redoAction_->setEnabled(histories_->canRedo());
}

void CMainFrame::UpdateState() {
  const bool haveDoc = !docs_.empty();
  for (QAction* action : docOnlyFileActions_) action->setVisible(haveDoc);
  editMenu_->menuAction()->setVisible(haveDoc);
  windowMenu_->menuAction()->setVisible(haveDoc);
  for (QAction* action : editActions_) action->setEnabled(haveDoc);
  CScrivet2Doc* active = ActiveDocument();
  histories_->setActiveStack(active ? &active->History() : nullptr);
  saveToolAction_->setEnabled(haveDoc);
  printToolAction_->setEnabled(haveDoc);
#ifndef SCRIVET_HAVE_PRINT
  printToolAction_->setVisible(false);
#endif
  // A maximized document window adds " - [name]" to this title itself.
  if (windowTitle().isEmpty()) setWindowTitle(kAppTitle);
}

// ---------------------------------------------------------------- documents and windows

CChildFrame* CMainFrame::AddFrame(CScrivet2Doc& doc) {
  auto* view = new CScrivet2View(doc, dialogs_, behaviour_);
  auto* frame = new CChildFrame(*this, doc, view);
  mdi_->addSubWindow(frame);
  frames_ << frame;
  connect(frame, &QObject::destroyed, this, [this, frame, docPtr = &doc] {
    frames_.removeOne(frame);
    if (FramesOf(docPtr).isEmpty()) ForgetDocument(docPtr);
    UpdateTitles(docPtr);
    UpdateState();
  });
  frame->showMaximized();
  UpdateTitles(&doc);
  UpdateState();
  return frame;
}

QList<CChildFrame*> CMainFrame::FramesOf(const CScrivet2Doc* doc) const {
  QList<CChildFrame*> frames;
  for (CChildFrame* frame : frames_)
    if (&frame->Document() == doc) frames << frame;
  return frames;
}

void CMainFrame::UpdateTitles(CScrivet2Doc* doc) {
  if (std::none_of(docs_.begin(), docs_.end(), [doc](const auto& d) { return d.get() == doc; })) return;
  QList<CChildFrame*> frames = FramesOf(doc);
  for (int i = 0; i < frames.size(); ++i) frames[i]->UpdateTitle(i + 1, int(frames.size()));
  UpdateState();
}

CScrivet2Doc& CMainFrame::AddDocument(const QString& untitledName) {
  CScrivet2Doc* doc = docs_.emplace_back(std::make_unique<CScrivet2Doc>(platform_, untitledName)).get();
  histories_->addStack(&doc->History());
  connect(doc, &CScrivet2Doc::TitleChanged, this, [this, doc] { UpdateTitles(doc); });
  return *doc;
}

CScrivet2Doc* CMainFrame::NewDocument() {
  CScrivet2Doc& doc = AddDocument(QStringLiteral("IFFFile%1").arg(++untitledCount_));
  AddFrame(doc);
  return &doc;
}

CScrivet2Doc* CMainFrame::OpenDocument(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  for (const auto& open : docs_) {
    if (open->PathName() == absolute) {
      QList<CChildFrame*> frames = FramesOf(open.get());
      if (!frames.isEmpty()) mdi_->setActiveSubWindow(frames.first());
      return open.get();
    }
  }
  CScrivet2Doc* doc = &AddDocument(QFileInfo(path).fileName());
  CChildFrame* frame = AddFrame(*doc);
  if (!doc->Open(path, frame->View())) {
    closingDoc_ = doc;
    frame->close();
    closingDoc_ = nullptr;
    return nullptr;
  }
  AddRecentFile(absolute);
  return doc;
}

bool CMainFrame::SaveDocument(CScrivet2Doc& doc) {
  if (doc.PathName().isEmpty()) return SaveDocumentAs(doc);
  QList<CChildFrame*> frames = FramesOf(&doc);
  return doc.Save(doc.PathName(), frames.isEmpty() ? static_cast<QWidget*>(this) : frames.first()->View());
}

bool CMainFrame::SaveDocumentAs(CScrivet2Doc& doc) {
  FileDialogRequest request;
  request.filter = kIffFilter;
  request.defaultSuffix = QStringLiteral("iff");
  request.defaultName = doc.PathName().isEmpty() ? doc.Title() : doc.PathName();
  QString path = platform_.SaveFileName(this, request);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".iff");
  if (!doc.Save(path, this)) return false;
  AddRecentFile(doc.PathName());
  return true;
}

bool CMainFrame::SaveModified(CScrivet2Doc& doc) {
  if (!doc.IsModified()) return true;
  MessageAnswer answer = platform_.Message(this, QStringLiteral("Save changes to %1?").arg(doc.Title()), kAppTitle,
                                           MessageIcon::Warning, MessageButtons::YesNoCancel);
  if (answer == MessageAnswer::Cancel) return false;
  if (answer == MessageAnswer::Yes) return SaveDocument(doc);
  return true;
}

bool CMainFrame::CanCloseFrame(CChildFrame* frame) {
  if (closingAll_ || closingDoc_ == &frame->Document()) return true;
  if (FramesOf(&frame->Document()).size() > 1) return true;
  return SaveModified(frame->Document());
}

bool CMainFrame::CloseDocument(CScrivet2Doc& doc) {
  if (!SaveModified(doc)) return false;
  closingDoc_ = &doc;
  for (CChildFrame* frame : FramesOf(&doc)) frame->close();
  closingDoc_ = nullptr;
  return true;
}

bool CMainFrame::CloseAllDocuments() {
  for (const auto& doc : docs_)
    if (!SaveModified(*doc)) return false;
  closingAll_ = true;
  for (QMdiSubWindow* window : mdi_->subWindowList()) window->close();
  closingAll_ = false;
  return true;
}

void CMainFrame::ForgetDocument(CScrivet2Doc* doc) {
  // Its windows are gone, views first (CChildFrame), so nothing refers to it any more.
  std::erase_if(docs_, [doc](const auto& d) { return d.get() == doc; });
}

CScrivet2Doc* CMainFrame::ActiveDocument() const {
  auto* frame = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
  if (frame) return &frame->Document();
  return docs_.empty() ? nullptr : docs_.back().get();
}

CScrivet2View* CMainFrame::ActiveView() const {
  auto* frame = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
  if (frame) return frame->View();
  QList<CChildFrame*> frames = FramesOf(ActiveDocument());
  return frames.isEmpty() ? nullptr : frames.last()->View();
}

CChildFrame* CMainFrame::NewWindow() {
  CScrivet2Doc* doc = ActiveDocument();
  return doc ? AddFrame(*doc) : nullptr;
}

void CMainFrame::ArrangeIcons() {
  // Minimized windows line up along the bottom edge.
  int x = 0;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (!window->isMinimized()) continue;
    QSize size = window->size();
    window->move(x, mdi_->viewport()->height() - size.height());
    x += size.width();
  }
}

void CMainFrame::RebuildWindowMenu() {
  for (QAction* action : windowMenu_->actions())
    if (!windowCommandActions_.contains(action)) {
      windowMenu_->removeAction(action);
      action->deleteLater();
    }
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  if (windows.isEmpty()) return;
  windowMenu_->addSeparator();
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    QString title = window->windowTitle();
    QAction* action = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
    action->setCheckable(true);
    action->setChecked(window == mdi_->activeSubWindow());
    connect(action, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
  }
}

// ---------------------------------------------------------------- other commands

QStringList CMainFrame::RecentFiles() const { return platform_.Setting(kRecentKey).toStringList(); }

void CMainFrame::AddRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFiles) files.removeLast();
  platform_.SetSetting(kRecentKey, files);
  RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
  const QStringList files = RecentFiles();
  for (int i = 0; i < recentActions_.size(); ++i) {
    QAction* action = recentActions_[i];
    const bool used = i < files.size();
    action->setVisible(used);
    if (used) {
      action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
      action->setData(files[i]);
    }
  }
  recentSeparator_->setVisible(!files.isEmpty());
}

void CMainFrame::LoadCustomScript() {
  FileDialogRequest request;
  request.defaultName = QStringLiteral("script.txt");
  request.defaultSuffix = QStringLiteral("txt");
  request.filter = QStringLiteral("Text files (*.txt);;All files(*.*)");
  QString path = platform_.OpenFileName(this, request);
  if (path.isEmpty()) return;
  scrivet::LoadCustomScript(path, behaviour_.primitives, platform_, this);
}

void CMainFrame::ChooseGameFolder() {
  QString current = platform_.Setting(QStringLiteral("GameFolder")).toString();
  QString folder = platform_.ExistingFolder(this, QStringLiteral("Game folder of The Sims"), current);
  if (folder.isEmpty()) return;
  platform_.SetSetting(QStringLiteral("GameFolder"), folder);
  platform_.Message(this,
                    QStringLiteral("The game folder is now \"%1\".\n\nThis takes effect the next time Scrivet 2 starts.")
                        .arg(folder),
                    kAppTitle, MessageIcon::Information);
}

void CMainFrame::Print() {
#ifdef SCRIVET_HAVE_PRINT
  CScrivet2View* view = ActiveView();
  if (!view) return;
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  // The list as it is shown, one row per line.
  QAbstractItemModel* model = view->ResourceList()->model();
  QString text;
  for (int row = 0; row < model->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
      cells << model->index(row, column).data().toString();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  QTextDocument document;
  document.setPlainText(text);
  document.print(&printer);
#endif
}

void CMainFrame::ShowAbout() {
  QDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("About Scrivet 2"));
  auto* layout = new QHBoxLayout(&dialog);
  auto* icon = new QLabel(&dialog);
  icon->setPixmap(windowIcon().pixmap(32, 32));
  layout->addWidget(icon, 0, Qt::AlignTop);
  auto* column = new QVBoxLayout;
  column->addWidget(new QLabel(QStringLiteral("Scrivet 2 Version 2.0"), &dialog));
  column->addWidget(new QLabel(QStringLiteral("An editor for the resource files of The Sims."), &dialog));
  column->addWidget(new QLabel(QStringLiteral("Quorvane Applications"), &dialog));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  column->addWidget(buttons);
  layout->addLayout(column);
  dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!CloseAllDocuments()) {
    event->ignore();
    return;
  }
  platform_.SetSetting(kGeometryKey, saveGeometry());
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (OpenDroppedFiles(event->mimeData())) event->acceptProposedAction();
}

bool CMainFrame::OpenDroppedFiles(const QMimeData* data) {
  bool any = false;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    OpenDocument(url.toLocalFile());
    any = true;
  }
  return any;
}

}  // namespace scrivet
