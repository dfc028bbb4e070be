#include "app/editor_screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTimer>

#include "app/resource_list_controller.h"

namespace scrivet {

EditorShot ShootEditor(ResourceListController& list, TypeCode type, uint16_t id, const QString& pngPath) {
  if (!list.SelectResource(type, id)) return EditorShot::NoSuchResource;
  QImage picture;
  int shownFor = 0;
  // Runs inside the editor's own event loop. Every window that comes up modally is closed, also
  // one that an editor might raise after the first, so the command always returns.
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || !window->isVisible()) return;
    // A few turns of the loop let the layout settle and the first paint happen.
    if (picture.isNull() && ++shownFor < 3) return;
    if (picture.isNull()) picture = window->grab().toImage();
    if (auto* dialog = qobject_cast<QDialog*>(window))
      dialog->reject();
    else
      window->close();
  });
  timer.start();
  if (list.OpensInEditor())
    list.OpenResource();
  else
    list.HexEdit();
  timer.stop();
  if (picture.isNull()) return EditorShot::NoWindow;
  return picture.save(pngPath, "PNG") ? EditorShot::Saved : EditorShot::CantWrite;
}

}  // namespace scrivet
