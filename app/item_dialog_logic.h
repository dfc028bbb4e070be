#pragma once
// The "Add item" dialog's behaviour (shared by Add, Properties, Duplicate and data-only Import):
// its type choices, initial values and the validations run on OK.

#include <QString>
#include <QStringList>
#include <string>

#include "core/iff_file.h"
#include "editors/platform.h"

class QWidget;

namespace scrivet {

class ItemDialogLogic {
 public:
  static constexpr int kMaxNameLength = 64;

  // The type choices are `presets` and every other type of the file. `editMode` is set only by
  // Properties: keeping type and id then asks no overwrite question.
  ItemDialogLogic(const IffFile& file, Platform& platform, QString title, const QStringList& presets,
                  bool editMode = false);

  // Starts from an existing resource instead of the defaults (empty name, id 0, first type).
  void SetInitial(TypeCode type, uint16_t id, const std::string& name);
  // Starts with the given name text (a file path for data-only imports).
  void SetInitialName(const QString& name);

  const QString& Title() const { return title_; }
  // The drop-down's entries, sorted; the first is the default type.
  const QStringList& TypeChoices() const { return choices_; }
  const QString& InitialTypeText() const { return initialTypeText_; }
  uint16_t InitialId() const { return initialId_; }
  const QString& InitialName() const { return initialName_; }

  // OK pressed with these field values. Shows the validation messages and the overwrite
  // question; true when the dialog may close, with the results below filled in.
  bool Accept(const QString& typeText, qint64 id, const QString& name, QWidget* parent);

  TypeCode Type() const { return type_; }
  uint16_t Id() const { return id_; }
  // Name bytes: the original bytes when the name text was left as it was.
  const std::string& Name() const { return name_; }

 private:
  const IffFile& file_;
  Platform& platform_;
  QString title_;
  bool editMode_;
  QStringList choices_;
  QString initialTypeText_;
  TypeCode initialType_ = 0;
  uint16_t initialId_ = 0;
  QString initialName_;
  std::string initialNameBytes_;
  bool haveInitialBytes_ = false;

  TypeCode type_ = 0;
  uint16_t id_ = 0;
  std::string name_;
};

}  // namespace scrivet
