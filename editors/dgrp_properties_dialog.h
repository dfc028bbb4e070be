#pragma once
// "Drawgroup properties...": the sprite list of one draw-group image with the selected sprite's
// fields and a live preview. Binds widgets to a DgrpPropertiesEditor; OK applies the fields as
// Update does and leaves the result in it.

#include <QDialog>

#include "edit/dgrp_editor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace scrivet {

class DialogUndo;
class DrawGroupPreview;
class IffFile;
class Platform;

class DgrpPropertiesDialog : public QDialog {
 public:
  DgrpPropertiesDialog(DgrpPropertiesEditor& logic, IffFile& file, Platform& platform, QWidget* parent = nullptr);

  DgrpPropertiesEditor& Logic() { return logic_; }
  QListWidget& SpriteList() { return *list_; }
  QComboBox& SpriteIdBox() { return *spriteId_; }
  QLineEdit& SpriteIndexBox() { return *spriteIndex_; }
  QSpinBox& PixelXBox() { return *pixelX_; }
  QSpinBox& PixelYBox() { return *pixelY_; }
  QLineEdit& XOffsetBox() { return *xOffset_; }
  QLineEdit& YOffsetBox() { return *yOffset_; }
  QLineEdit& ZOffsetBox() { return *zOffset_; }
  QCheckBox& FlipBox() { return *flip_; }
  QCheckBox& LuminousBox() { return *luminous_; }
  QCheckBox& AutoUpdateBox() { return *autoUpdate_; }
  QPushButton& UpdateButton() { return *update_; }
  QPushButton& AddButton() { return *add_; }
  QPushButton& DeleteButton() { return *delete_; }
  QPushButton& UpButton() { return *up_; }
  QPushButton& DownButton() { return *down_; }
  QLabel& PositionText() { return *position_; }
  DrawGroupPreview& Preview() { return *preview_; }
  QPushButton& OkButton() { return *ok_; }

  // Update: the fields become the selected sprite; a refused box says why and keeps the focus.
  bool Update();
  void AddSprite();
  void DeleteSprite();
  void MoveUp();
  void MoveDown();

  void accept() override;

 private:
  DgrpSpriteFields Fields() const;
  void Refresh();
  void ShowList();
  void ShowFields();
  void ShowPreview();
  void Edited(const char* mergeKey);
  bool Report(const DgrpFieldRefusal& refusal);

  DgrpPropertiesEditor& logic_;
  IffFile& file_;
  Platform& platform_;
  bool guard_ = false;
  QLabel* heading_;
  QListWidget* list_;
  QComboBox* spriteId_;
  QLineEdit* spriteIndex_;
  QSpinBox* pixelX_;
  QSpinBox* pixelY_;
  QLineEdit* xOffset_;
  QLineEdit* yOffset_;
  QLineEdit* zOffset_;
  QCheckBox* flip_;
  QCheckBox* luminous_;
  QCheckBox* autoUpdate_;
  QPushButton* update_;
  QPushButton* add_;
  QPushButton* delete_;
  QPushButton* up_;
  QPushButton* down_;
  QLabel* position_;
  DrawGroupPreview* preview_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

}  // namespace scrivet
