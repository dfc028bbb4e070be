#include "app/scrivet2_view.h"

#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QResizeEvent>
#include <QTreeView>

namespace scrivet {

const std::vector<EditCommand>& EditCommands() {
  using C = ResourceListController;
  static const std::vector<EditCommand> commands = {
      {"&Add...\tIns", "Ins", &C::Add, false},
      {"&Delete\tDel", "Del", &C::Delete, true},
      {"&Import...\tCtrl+I", "Ctrl+I", &C::Import, false},
      {"&Export...\tCtrl+E", "Ctrl+E", &C::Export, true},
      {"&Properties...\tCtrl+P", "Ctrl+P", &C::Properties, true},
      {"&Hex Edit...\tCtrl+H", "Ctrl+H", &C::HexEdit, true},
      {"D&uplicate...\tCtrl+U", "Ctrl+U", &C::Duplicate, true},
  };
  return commands;
}

CScrivet2View::CScrivet2View(CScrivet2Doc& doc, ViewDialogs& dialogs, const BehaviourCatalogues& behaviour,
                             QWidget* parent)
    : QWidget(parent), controller_(doc, dialogs, behaviour) {
  controller_.SetOwner(this);
  typeList_ = new QListView(this);
  typeList_->setModel(&controller_.Types());
  typeList_->setSelectionModel(&controller_.TypeSelection());
  typeList_->setSelectionMode(QAbstractItemView::SingleSelection);
  typeList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  typeList_->setUniformItemSizes(true);

  resourceList_ = new QTreeView(this);
  resourceList_->setModel(&controller_.Resources());
  resourceList_->setSelectionModel(&controller_.ResourceSelection());
  resourceList_->setRootIsDecorated(false);
  resourceList_->setItemsExpandable(false);
  resourceList_->setUniformRowHeights(true);
  resourceList_->setAllColumnsShowFocus(true);
  resourceList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  resourceList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  resourceList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resourceList_->setContextMenuPolicy(Qt::CustomContextMenu);
  resourceList_->header()->setStretchLastSection(false);

  // Keep the selection visible while another control has the focus.
  for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(typeList_), static_cast<QAbstractItemView*>(resourceList_)}) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Button));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::WindowText));
    list->setPalette(palette);
  }

  connect(&controller_.Resources(), &QAbstractItemModel::modelReset, this, &CScrivet2View::AdaptColumns);
  connect(resourceList_, &QTreeView::doubleClicked, this, [this] { controller_.OpenResource(); });
  connect(resourceList_, &QWidget::customContextMenuRequested, this, &CScrivet2View::ShowContextMenu);
  controller_.Refresh();
}

CScrivet2View::~CScrivet2View() {
  // The lists use the controller's models: they go first.
  delete typeList_;
  delete resourceList_;
}

void CScrivet2View::AdaptColumns() {
  QHeaderView* header = resourceList_->header();
  if (controller_.Resources().AllMode()) {
    header->show();
    header->resizeSection(0, 70);
    header->resizeSection(1, 50);
    header->resizeSection(2, 420);
  } else {
    header->hide();
  }
  header->setStretchLastSection(!controller_.Resources().AllMode());
}

void CScrivet2View::resizeEvent(QResizeEvent* event) {
  const int w = event->size().width();
  const int h = event->size().height();
  typeList_->setGeometry(7, 7, w / 5, h - 14);
  resourceList_->setGeometry(w / 5 + 14, 7, 4 * w / 5 - 21, h - 14);
  QWidget::resizeEvent(event);
}

void CScrivet2View::FillEditMenu(QMenu& menu) {
  const bool selection = controller_.HasSelection();
  for (const EditCommand& command : EditCommands()) {
    QAction* action = menu.addAction(QString::fromLatin1(command.text), &controller_, command.run);
    action->setEnabled(selection || !command.needsSelection);
  }
}

void CScrivet2View::ShowContextMenu(const QPoint& position) {
  QMenu menu(this);
  FillEditMenu(menu);
  menu.exec(resourceList_->viewport()->mapToGlobal(position));
}

}  // namespace scrivet
