#include "edit/ttab_editor.h"

#include <bit>
#include <cmath>

#include "edit/string_table_editor.h"

namespace scrivet {

namespace {

uint32_t FlagBit(TtabFlag flag) {
  switch (flag) {
    case TtabFlag::Visitors: return Interaction::kFlagVisitors;
    case TtabFlag::Children: return Interaction::kFlagNotChildren;
    case TtabFlag::Adults: return Interaction::kFlagNotAdults;
    case TtabFlag::Cats: return Interaction::kFlagCats;
    case TtabFlag::Dogs: return Interaction::kFlagDogs;
    case TtabFlag::Consecutive: return Interaction::kFlagConsecutive;
    case TtabFlag::AutoFirst: return Interaction::kFlagAutoFirst;
    case TtabFlag::Joinable: return Interaction::kFlagJoinable;
  }
  return 0;
}

// Checked while the bit is clear.
bool Inverted(TtabFlag flag) { return flag == TtabFlag::Children || flag == TtabFlag::Adults; }

}  // namespace

NumberField TtabEditor::FieldOf(TtabNumber box) {
  switch (box) {
    case TtabNumber::ActionTree:
    case TtabNumber::CheckTree:
    case TtabNumber::Min:
    case TtabNumber::Max: return NumberField::Unsigned(2);
    case TtabNumber::JoinItem: return NumberField::Signed(4);
    case TtabNumber::Threshold: return NumberField::Range(4, 0, 100);
  }
  return NumberField::Unsigned(2);
}

TtabEditor::TtabEditor(const ResourceTtab& table, const ResourceStr& texts) {
  state_.table = table;
  state_.texts = texts;
  state_.current = table.interactions.empty() ? kNoRow : 0;
}

void TtabEditor::Select(size_t index) {
  if (index >= Count()) index = kNoRow;
  if (index != state_.current) history_.BreakMerge();
  state_.current = index;
}

const Interaction* TtabEditor::CurrentInteraction() const {
  return state_.current < Count() ? &state_.table.interactions[state_.current] : nullptr;
}

template <class Change>
bool TtabEditor::ChangeCurrent(const char* label, Change&& change, std::string mergeKey) {
  if (!CurrentInteraction()) return false;
  return history_.Apply(
      state_, label,
      [&](State& s) {
        Interaction record = s.table.interactions[s.current];
        change(record);
        if (record == s.table.interactions[s.current]) return false;
        s.table.interactions[s.current] = std::move(record);
        return true;
      },
      std::move(mergeKey));
}

std::string TtabEditor::Name(size_t index) const {
  std::string name;
  if (index < Count()) state_.texts.GetString(state_.table.interactions[index].textIndex, 0, ResourceStr::kPartValue, name);
  return name;
}

EditFailure TtabEditor::SetName(std::string_view text) {
  const Interaction* current = CurrentInteraction();
  if (!current) return {};
  const size_t item = current->textIndex;
  if (item >= ResourceStr::kMaxStrings) return {EditError::NoTextItem, std::to_string(item)};
  std::string bytes;
  for (char c : text)
    if (c != '\0') bytes.push_back(c);
  if (bytes == Name(state_.current) && item < state_.texts.items.size()) return {};
  if (state_.texts.basicMode && bytes.size() > StringTableEditor::kBasicTextLimit)
    return {EditError::TextTooLong, std::to_string(item)};

  EditFailure failure;
  history_.Apply(
      state_, "Name",
      [&](State& s) {
        const size_t oldCount = s.texts.items.size();
        std::string old;
        s.texts.GetString(item, 0, ResourceStr::kPartValue, old);
        if (item >= oldCount) s.texts.items.resize(item + 1);
        s.texts.SetString(item, 0, ResourceStr::kPartValue, bytes);
        if (StringCountFits(s.texts)) return true;
        if (item >= oldCount) s.texts.items.resize(oldCount);
        else s.texts.SetString(item, 0, ResourceStr::kPartValue, old);
        failure = {EditError::TooManyStrings, {}};
        return false;
      },
      "name " + std::to_string(state_.current));
  return failure;
}

std::string TtabEditor::NumberText(TtabNumber box) const {
  const Interaction* in = CurrentInteraction();
  if (!in) return {};
  int64_t value = 0;
  const Advertisement* ad = AdvertisementAt(selectedAd_);
  switch (box) {
    case TtabNumber::ActionTree: value = in->actionFunction; break;
    case TtabNumber::CheckTree: value = in->checkFunction; break;
    case TtabNumber::JoinItem: value = JoinEnabled() ? in->joinIndex : 0; break;
    case TtabNumber::Threshold: value = in->attenuationThreshold; break;
    case TtabNumber::Min: value = ad ? uint16_t(ad->min) : 0; break;
    case TtabNumber::Max: value = ad ? uint16_t(ad->max) : 0; break;
  }
  return FormatDecimal(value);
}

NumberParse TtabEditor::EnterNumber(TtabNumber box, std::string_view text) {
  NumberParse parse = ParseNumber(text, FieldOf(box));
  if (!parse.ok() || !CurrentInteraction()) return parse;
  if ((box == TtabNumber::Min || box == TtabNumber::Max) && selectedAd_ == kNoRow) return parse;
  if (box == TtabNumber::JoinItem && !JoinEnabled()) return parse;
  const int64_t v = parse.value;
  const uint8_t ad = selectedAd_ < kAdvertisementRows.size() ? kAdvertisementRows[selectedAd_] : 0;
  ChangeCurrent("Number", [&](Interaction& in) {
    switch (box) {
      case TtabNumber::ActionTree: in.actionFunction = uint16_t(v); break;
      case TtabNumber::CheckTree: in.checkFunction = uint16_t(v); break;
      case TtabNumber::JoinItem: in.joinIndex = int32_t(v); break;
      case TtabNumber::Threshold: in.attenuationThreshold = uint32_t(v); break;
      case TtabNumber::Min: in.advertisements[ad].min = int16_t(uint16_t(v)); break;
      case TtabNumber::Max: in.advertisements[ad].max = int16_t(uint16_t(v)); break;
    }
  });
  return parse;
}

bool TtabEditor::Checked(TtabFlag flag) const {
  const Interaction* in = CurrentInteraction();
  if (!in) return false;
  return ((in->flags & FlagBit(flag)) != 0) != Inverted(flag);
}

void TtabEditor::SetChecked(TtabFlag flag, bool checked) {
  ChangeCurrent("Flag", [&](Interaction& in) {
    if (checked != Inverted(flag)) in.flags |= FlagBit(flag);
    else in.flags &= ~FlagBit(flag);
  });
}

int TtabEditor::AttenuationChoice() const {
  const Interaction* in = CurrentInteraction();
  return in && in->attenuationCode < uint32_t(kAttenuationCount) ? int(in->attenuationCode) : -1;
}

void TtabEditor::SetAttenuationChoice(int choice) {
  if (choice < 0 || choice >= kAttenuationCount) return;
  ChangeCurrent("Attenuation", [&](Interaction& in) { in.attenuationCode = uint32_t(choice); });
}

std::string TtabEditor::AttenuationText() const {
  const Interaction* in = CurrentInteraction();
  if (!in) return {};
  const int choice = AttenuationChoice();
  if (choice > 0) return FormatReal(kAttenuationPresets[size_t(choice)]);
  return FormatReal(std::bit_cast<float>(in->attenuationValue));
}

EditError TtabEditor::EnterAttenuationValue(std::string_view text) {
  float value = 0;
  if (!ParseReal(text, value).ok() || !std::isfinite(value)) return EditError::NotANumber;
  if (AttenuationEditable())
    ChangeCurrent("Attenuation value", [&](Interaction& in) { in.attenuationValue = std::bit_cast<uint32_t>(value); });
  return EditError::None;
}

void TtabEditor::SelectAdvertisement(size_t row) {
  selectedAd_ = row < kAdvertisementRows.size() ? row : kNoRow;
  history_.BreakMerge();
}

const Advertisement* TtabEditor::AdvertisementAt(size_t row) const {
  const Interaction* in = CurrentInteraction();
  if (!in || row >= kAdvertisementRows.size()) return nullptr;
  return &in->advertisements[kAdvertisementRows[row]];
}

void TtabEditor::SetPersonality(int choice) {
  if (choice < 0 || choice >= kPersonalityCount || selectedAd_ == kNoRow) return;
  const uint8_t ad = kAdvertisementRows[selectedAd_];
  ChangeCurrent("Vary by", [&](Interaction& in) { in.advertisements[ad].personality = int16_t(choice); });
}

EditFailure TtabEditor::Add() {
  if (Count() >= 0xFFFF) return {EditError::TooManyInteractions, {}};
  EditFailure failure;
  history_.Apply(state_, "Add", [&](State& s) {
    const size_t item = s.texts.items.size();
    if (item >= ResourceStr::kMaxStrings) {
      failure = {EditError::TooManyStrings, {}};
      return false;
    }
    s.texts.SetString(item, 0, ResourceStr::kPartValue, "New Item");
    if (!StringCountFits(s.texts)) {
      s.texts.items.pop_back();
      failure = {EditError::TooManyStrings, {}};
      return false;
    }
    Interaction in;
    in.textIndex = uint32_t(item);
    in.attenuationCode = 1;
    in.joinIndex = -1;
    s.table.interactions.push_back(in);
    s.current = s.table.interactions.size() - 1;
    return true;
  });
  return failure;
}

bool TtabEditor::Delete() {
  return history_.Apply(state_, "Delete", [](State& s) {
    const std::optional<IndexMap> map = RemoveRow(s.table.interactions, s.current);
    if (!map) return false;
    // Joins follow the interactions they name; a join to the removed one is none. An index that
    // named no interaction stays as it was.
    for (Interaction& in : s.table.interactions) {
      if (in.joinIndex < 0 || size_t(in.joinIndex) >= map->OldCount()) continue;
      const size_t joined = (*map)[size_t(in.joinIndex)];
      in.joinIndex = joined == kNoRow ? -1 : int32_t(joined);
    }
    s.current = SelectionAfter(*map, s.current, AfterRemoval::First);
    return true;
  });
}

}  // namespace scrivet
