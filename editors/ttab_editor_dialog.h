#pragma once
// "Interaction menu editor": an interaction table (TTAB) with its menu texts (the TTAs string
// table of the same id). Binds widgets to a TtabEditor, which holds every rule; OK leaves the
// result in it.

#include <QDialog>
#include <array>

#include "edit/ttab_editor.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace scrivet {

class DialogUndo;
class Platform;
struct EditorContext;

class TtabEditorDialog : public QDialog {
 public:
  TtabEditorDialog(TtabEditor& logic, Platform& platform, QWidget* parent = nullptr);

  TtabEditor& Logic() { return logic_; }
  QListWidget& InteractionList() { return *list_; }
  QLineEdit& NameBox() { return *name_; }
  QLineEdit& NumberBox(TtabNumber box) { return *numbers_[size_t(box)]; }
  QCheckBox& FlagBox(TtabFlag flag) { return *flags_[size_t(flag)]; }
  QComboBox& AttenuationList() { return *attenuation_; }
  QLineEdit& AttenuationValueBox() { return *attenuationValue_; }
  QTreeWidget& AdvertisementList() { return *ads_; }
  QComboBox& VaryByList() { return *varyBy_; }
  QPushButton& OkButton() { return *ok_; }

  // Reads every box that was typed in but not yet taken; a refused one keeps the dialog open.
  void accept() override;

 private:
  void ShowList();
  void ShowInteraction();
  void ShowAdvertisements();
  void ShowAdvertisementBoxes();
  bool TakeNumber(TtabNumber box);
  bool TakeAttenuationValue();
  bool Refuse(const EditFailure& failure);
  void Refresh();

  TtabEditor& logic_;
  Platform& platform_;
  bool guard_ = false;
  QListWidget* list_;
  QPushButton* add_;
  QPushButton* delete_;
  QLineEdit* name_;
  std::array<QLineEdit*, 6> numbers_{};
  std::array<QCheckBox*, 8> flags_{};
  QComboBox* attenuation_;
  QLineEdit* attenuationValue_;
  QTreeWidget* ads_;
  QComboBox* varyBy_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog on the table and the TTAs of the same id in `context.file` (an empty string
// table when there is none). On OK the TTAs is stored when its texts changed, or added (flags
// 0x0010, empty name) when the file had none; the caller stores the table itself. A TTAs that
// cannot be read stops the editor before it opens.
bool RunTtabEditor(ResourceTtab& table, EditorContext& context);

}  // namespace scrivet
