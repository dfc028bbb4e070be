#pragma once
// The document's form: the type list on the left, the resource list on the right.

#include <QWidget>

#include "app/resource_list_controller.h"

class QListView;
class QMenu;
class QTreeView;

namespace scrivet {

// One command of the Edit menu (also the context menu).
struct EditCommand {
  const char* text;
  const char* shortcut;
  void (ResourceListController::*run)();
  bool needsSelection;
};
const std::vector<EditCommand>& EditCommands();

class CScrivet2View : public QWidget {
  Q_OBJECT

 public:
  CScrivet2View(CScrivet2Doc& doc, ViewDialogs& dialogs, const BehaviourCatalogues& behaviour,
                QWidget* parent = nullptr);
  ~CScrivet2View() override;

  ResourceListController& Controller() { return controller_; }
  QListView* TypeList() { return typeList_; }
  QTreeView* ResourceList() { return resourceList_; }

  // The Edit commands as a menu (context menu and the frame's Edit menu share it).
  void FillEditMenu(QMenu& menu);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowContextMenu(const QPoint& position);
  void AdaptColumns();

  ResourceListController controller_;
  QListView* typeList_;
  QTreeView* resourceList_;
};

}  // namespace scrivet
