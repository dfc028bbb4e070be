#include "app/item_dialog_logic.h"

#include <algorithm>

#include "app/resource_list_model.h"
#include "editors/qt_text.h"

namespace scrivet {

ItemDialogLogic::ItemDialogLogic(const IffFile& file, Platform& platform, QString title, const QStringList& presets,
                                 bool editMode)
    : file_(file), platform_(platform), title_(std::move(title)), editMode_(editMode), choices_(presets) {
  for (TypeCode type : file.TypeList()) {
    if (type == IffFile::kMapType) continue;
    QString text = TypeText(type);
    if (!choices_.contains(text)) choices_ << text;
  }
  std::stable_sort(choices_.begin(), choices_.end(), SortedListLess);
  initialTypeText_ = choices_.value(0);
}

void ItemDialogLogic::SetInitial(TypeCode type, uint16_t id, const std::string& name) {
  initialType_ = type;
  initialTypeText_ = TypeText(type);
  initialId_ = id;
  initialNameBytes_ = name;
  haveInitialBytes_ = true;
  initialName_ = FromCp1252(name);
}

void ItemDialogLogic::SetInitialName(const QString& name) {
  initialName_ = name.left(kMaxNameLength);
  haveInitialBytes_ = false;
}

bool ItemDialogLogic::Accept(const QString& typeText, qint64 id, const QString& name, QWidget* parent) {
  if (id < 0 || id > 65535) {
    platform_.Message(parent, QStringLiteral("Please enter an integer between 0 and 65535."),
                      QStringLiteral("Scrivet 2"), MessageIcon::Warning);
    return false;
  }
  std::string typeBytes = ToCp1252(typeText);
  TypeCode type = 0;
  if (typeText.size() != 4 || !ParseTypeCode(typeBytes, type)) {
    platform_.Message(parent, QStringLiteral("The Type must be exactly 4 characters long!"), QStringLiteral("Error:"),
                      MessageIcon::Error);
    return false;
  }
  const bool sameIdentity = type == initialType_ && uint16_t(id) == initialId_;
  if (!(editMode_ && sameIdentity) && file_.Find(type, uint16_t(id))) {
    if (!platform_.AskYesNo(parent,
                            QStringLiteral("This item already exists! Do you want to overwrite the existing item?"),
                            QStringLiteral("Scrivet 2")))
      return false;
  }
  type_ = type;
  id_ = uint16_t(id);
  QString trimmed = name.left(kMaxNameLength);
  name_ = haveInitialBytes_ && trimmed == initialName_ ? initialNameBytes_ : ToCp1252(trimmed);
  return true;
}

}  // namespace scrivet
