#pragma once
// "Strings editor": one string table (STR#, TTAs, CTSS, FAMs) item by item, one language at a
// time. Binds widgets to a StringTableEditor, which holds every rule; OK leaves the result in it.

#include <QDialog>

#include "edit/string_table_editor.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace scrivet {

class DialogUndo;
class Platform;
class StringRowsModel;
struct EditorContext;

// The words for a refused string-table edit (also used where other editors write menu texts).
QString StringTableRefusalText(const EditFailure& failure);

class StringTableEditorDialog : public QDialog {
 public:
  StringTableEditorDialog(StringTableEditor& logic, Platform& platform, QWidget* parent = nullptr);
  ~StringTableEditorDialog() override;

  StringTableEditor& Logic() { return logic_; }
  QTableView& ItemList() { return *list_; }
  QPlainTextEdit& TextBox() { return *text_; }
  QPlainTextEdit& DescriptionBox() { return *description_; }
  QComboBox& LanguageList() { return *language_; }
  QPushButton& OkButton() { return *ok_; }

  // Right-click menu commands.
  void AddItem();
  void DeleteItems();
  void SetForAll();

 private:
  void Refresh();
  void RefreshBoxes();
  void ApplyLayoutBox(QCheckBox* box);
  void SelectionChanged();
  void BoxEdited(int part);
  void ShowMenu(const QPoint& position);
  bool Refuse(const EditFailure& failure);

  StringTableEditor& logic_;
  Platform& platform_;
  bool guard_ = false;
  QCheckBox* basic_;
  QCheckBox* languages_;
  QCheckBox* descriptions_;
  QComboBox* language_;
  QPushButton* setForAll_;
  QLineEdit* filter_;
  QTableView* list_;
  StringRowsModel* model_;
  QPlainTextEdit* text_;
  QPlainTextEdit* description_;
  QPushButton* ok_;
  DialogUndo* undo_;
};

// Runs the dialog modally on the table; true when the user pressed OK (the table then holds the
// result).
bool RunStringTableEditor(ResourceStr& table, EditorContext& context);

}  // namespace scrivet
