#pragma once
// The interaction menu editor without a window: the working interaction table and its menu texts
// (the TTAs string table of the same id), the current interaction, every field of it, Add,
// Delete, and undo. TtabEditorDialog shows this state and forwards the user's actions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codecs/resource_str.h"
#include "codecs/resource_ttab.h"
#include "edit/edit_error.h"
#include "edit/edit_history.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

// The check boxes of an interaction, each one bit of its flags ("children" and "adults" are
// checked while their "not available" bit is clear).
enum class TtabFlag : uint8_t { Visitors, Children, Adults, Cats, Dogs, Consecutive, AutoFirst, Joinable };

// The number boxes, with the values each accepts.
enum class TtabNumber : uint8_t { ActionTree, CheckTree, JoinItem, Threshold, Min, Max };

class TtabEditor {
 public:
  // The advertisement list's rows, as indexes of an interaction's advertisements: Mood, Energy,
  // Comfort, Hunger, Hygiene, Bladder, Room, Social, Fun. The other indexes are never touched.
  static constexpr std::array<uint8_t, 9> kAdvertisementRows = {3, 5, 6, 7, 8, 9, 13, 14, 15};
  // "Vary by" choices: 0 none, 1-22 personality traits and skills.
  static constexpr int kPersonalityCount = 23;
  // Attenuation choices: 0 custom, 1 none, 2 low, 3 medium, 4 high, with the values shown for
  // the fixed ones (medium shows the larger value, as the game's tool always has).
  static constexpr int kAttenuationCount = 5;
  static constexpr std::array<float, kAttenuationCount> kAttenuationPresets = {0.0f, 0.0f, 0.02f, 0.2f, 0.1f};

  static NumberField FieldOf(TtabNumber box);

  TtabEditor(const ResourceTtab& table, const ResourceStr& texts);

  const ResourceTtab& Table() const { return state_.table; }
  const ResourceStr& Texts() const { return state_.texts; }
  size_t Count() const { return state_.table.interactions.size(); }

  // The current interaction (kNoRow: none; the first one at opening). Choosing is not an edit.
  size_t Current() const { return state_.current; }
  void Select(size_t index);
  const Interaction* CurrentInteraction() const;

  // An interaction's menu text: the TTAs value at its text index in the first language.
  std::string Name(size_t index) const;
  // Sets the current interaction's menu text. Refused when its text index names no item a
  // string table can hold (NoTextItem), the text is too long for a basic-layout table
  // (TextTooLong) or the table would hold too many strings (TooManyStrings). A text index past
  // the table's items is reached by adding empty items.
  EditFailure SetName(std::string_view text);

  // The number boxes: the text shown, and a typed text (refused texts store nothing). The join
  // box shows 0 while the interaction cannot be joined; its stored index stays.
  std::string NumberText(TtabNumber box) const;
  NumberParse EnterNumber(TtabNumber box, std::string_view text);
  bool JoinEnabled() const { return Checked(TtabFlag::Joinable); }

  bool Checked(TtabFlag flag) const;
  void SetChecked(TtabFlag flag, bool checked);

  // Attenuation list (0-4; a stored code outside them shows no choice) and value box: editable
  // for "custom", which shows the stored value; the fixed choices show their preset and leave the
  // stored value as it is.
  int AttenuationChoice() const;
  void SetAttenuationChoice(int choice);
  bool AttenuationEditable() const { return AttenuationChoice() == 0; }
  std::string AttenuationText() const;
  // A real number (NotANumber otherwise); stored as the bits of a 32-bit float.
  EditError EnterAttenuationValue(std::string_view text);

  // The advertisement list. The selected row (kNoRow: none) is the one Min, Max and Vary by edit.
  size_t SelectedAdvertisement() const { return selectedAd_; }
  void SelectAdvertisement(size_t row);
  const Advertisement* AdvertisementAt(size_t row) const;
  void SetPersonality(int choice);

  // Appends an interaction whose menu text is a new "New Item" in the first language, and makes
  // it current. Refused when either table cannot hold one more.
  EditFailure Add();
  // Removes the current interaction (its menu text stays) and makes the first one current. Join
  // indexes are renumbered with the interactions; one that joined the removed interaction is -1.
  bool Delete();

  // Every change is one step (typing a name is one step until another interaction is chosen).
  // Undo brings back both tables and the current interaction.
  bool Undo() { return history_.Undo(state_); }
  bool Redo() { return history_.Redo(state_); }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  bool IsClean() const { return history_.IsClean(); }

 private:
  struct State {
    ResourceTtab table;
    ResourceStr texts;
    size_t current = kNoRow;
  };

  // Changes a copy of the current record and writes it back as one step.
  template <class Change>
  bool ChangeCurrent(const char* label, Change&& change, std::string mergeKey = {});

  State state_;
  EditHistory<State> history_;
  size_t selectedAd_ = kNoRow;
};

}  // namespace scrivet
