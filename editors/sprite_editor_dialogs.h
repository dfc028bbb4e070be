#pragma once
// "SPR# editor..." and "SPR2 editor...": a sprite's frames, its header and frame fields, and the
// selected frame in a SpriteView. Both bind widgets to their logic (SprEditor, Spr2Editor); OK
// leaves the result there. The SPR# editor exchanges frames with BMP pairs, the SPR2 editor with
// PNG pictures.

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "edit/sprite_editor.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace scrivet {

class DialogUndo;
class IffFile;
class Platform;
class SpriteView;
struct EditorContext;

// What both editors share. L is SprEditor or Spr2Editor.
template <class L>
class SpriteEditorDialog : public QDialog {
 public:
  L& Logic() { return logic_; }
  QListWidget& FrameList() { return *list_; }
  // By the logic's field numbers.
  QLineEdit& FieldBox(int field) { return *boxes_[size_t(field)]; }
  QLineEdit& WidthBox() { return *width_; }
  QLineEdit& HeightBox() { return *height_; }
  QRadioButton& ViewButton(int mode) { return *views_[size_t(mode)]; }
  QCheckBox& AutoUpdateBox() { return *autoUpdate_; }
  QPushButton& UpdateButton() { return *update_; }
  QPushButton& AddButton() { return *add_; }
  QPushButton& DeleteButton() { return *delete_; }
  QPushButton& UpButton() { return *up_; }
  QPushButton& DownButton() { return *down_; }
  QPushButton& ImportButton() { return *import_; }
  QPushButton& ExportButton() { return *export_; }
  QPushButton& OkButton() { return *ok_; }
  SpriteView& View() { return *view_; }
  QLabel& PositionText() { return *position_; }

  // The fields become the sprite's and the selected frame's; a refused box says why and keeps
  // the focus, and nothing is applied.
  bool Update();
  void AddFrame();
  // Asks first.
  void DeleteFrame();
  void MoveUp();
  void MoveDown();
  virtual void Import() = 0;
  virtual void Export() = 0;

 protected:
  // A box of the form: the logic's field number, or kWidth / kHeight for the read-only sizes.
  static constexpr int kWidth = -1;
  static constexpr int kHeight = -2;
  struct FieldRow {
    int field;
    QString label;
  };
  SpriteEditorDialog(L& logic, IffFile& file, Platform& platform, uint32_t background, QWidget* parent,
                     const QString& title, const std::vector<FieldRow>& header, const std::vector<FieldRow>& frame,
                     const QStringList& views);

  // Shows the logic's state again: the list, the boxes and the frame (centred when asked).
  void Refresh(bool centre);
  void Error(const QString& text, const QString& caption);
  void Inform(const QString& text);

  IffFile& file_;
  Platform& platform_;

 private:
  std::vector<std::string> Texts() const;
  void Edited(int field);
  void ShowFrame(bool centre);
  void AfterEdit();
  void Undo();
  void Redo();

  L& logic_;
  uint32_t background_;
  bool guard_ = false;
  QListWidget* list_;
  std::vector<QLineEdit*> boxes_;
  QLineEdit* width_ = nullptr;
  QLineEdit* height_ = nullptr;
  std::vector<QRadioButton*> views_;
  QCheckBox* autoUpdate_;
  QPushButton* update_;
  QPushButton* add_;
  QPushButton* delete_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* import_;
  QPushButton* export_;
  QPushButton* ok_;
  SpriteView* view_;
  QLabel* position_;
  DialogUndo* undo_;
};

class SprEditorDialog : public SpriteEditorDialog<SprEditor> {
 public:
  // `background` (0x00RRGGBB) shows behind the frames' transparent pixels.
  SprEditorDialog(SprEditor& logic, IffFile& file, Platform& platform, uint32_t background, QWidget* parent = nullptr);

  // A pixel file and a transparency file into the selected frame (or a new one), with every message.
  void Import() override;
  void Export() override;
};

class Spr2EditorDialog : public SpriteEditorDialog<Spr2Editor> {
 public:
  Spr2EditorDialog(Spr2Editor& logic, IffFile& file, Platform& platform, uint32_t background,
                   QWidget* parent = nullptr);

  // A colour picture and, if the user picks one, a depth picture of the same size.
  void Import() override;
  // The colour picture, and the depth picture when the frame has depth.
  void Export() override;
};

// Run the dialogs modally on the working copy with the window's background colour; true when the
// user pressed OK (the copy then holds the result).
bool RunSprEditor(ResourceSpr& sprite, EditorContext& context);
bool RunSpr2Editor(ResourceSpr2& sprite, EditorContext& context);

}  // namespace scrivet
