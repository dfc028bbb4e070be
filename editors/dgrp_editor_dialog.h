#pragma once
// "Drawgroup editor...": picks one image of a draw group and shows it composed; Properties edits
// that image's sprites, Export PNG writes it as a picture. Binds widgets to a DgrpEditor; OK
// leaves the result in it.

#include <QDialog>
#include <QString>

#include "edit/dgrp_editor.h"

class QComboBox;
class QPushButton;

namespace scrivet {

class DialogUndo;
class DrawGroupPreview;
class IffFile;
class Platform;
struct EditorContext;

// An image's line in the image list ("3 - Direction South-West - Zoom 1") and its heading
// without the number, which the properties dialog shows.
QString DgrpImageLabel(size_t index, const DgrpImage& image);
QString DgrpHeadingText(const DgrpImage& image);

class DgrpEditorDialog : public QDialog {
 public:
  DgrpEditorDialog(DgrpEditor& logic, IffFile& file, Platform& platform, QWidget* parent = nullptr);

  DgrpEditor& Logic() { return logic_; }
  QComboBox& ImageList() { return *images_; }
  DrawGroupPreview& Preview() { return *preview_; }
  QPushButton& PropertiesButton() { return *properties_; }
  QPushButton& ExportButton() { return *export_; }
  QPushButton& OkButton() { return *ok_; }

  // Runs the properties dialog on the selected image and takes its result on OK.
  void EditProperties();
  // Asks for a file name and writes the shown image as `render` does.
  void ExportPng();

 private:
  void Refresh();
  void ShowImage();

  DgrpEditor& logic_;
  IffFile& file_;
  Platform& platform_;
  bool guard_ = false;
  QComboBox* images_;
  DrawGroupPreview* preview_;
  QPushButton* properties_;
  QPushButton* export_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the editor modally on the draw group; true when the user pressed OK (the group then holds
// the result).
bool RunDgrpEditor(ResourceDgrp& group, EditorContext& context);

}  // namespace scrivet
