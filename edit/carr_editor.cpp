#include "edit/carr_editor.h"

#include <algorithm>

namespace scrivet {

namespace {

constexpr NumberField kUnchecked = NumberField::Unsigned(4);
constexpr NumberField kSkill = NumberField::Range(4, 0, 1000);
constexpr NumberField kMotive = NumberField::Range(4, -100, 100);
constexpr NumberField kHour = NumberField::Range(4, 0, 23);

// Field indexes into Job::Numbers(): 0-6 friends and skills, 10-16 motives, 17-19 salary and hours.
const std::array<JobBoxRule, kJobBoxCount> kRules = {{
    {0, 0, 32767, kUnchecked, true},
    {1, 0, 1000, kSkill, false},
    {2, 0, 1000, kSkill, false},
    {3, 0, 1000, kSkill, false},
    {4, 0, 1000, kSkill, false},
    {5, 0, 1000, kSkill, false},
    {6, 0, 1000, kSkill, false},
    {10, -100, 100, kMotive, false},
    {11, -100, 100, kMotive, false},
    {12, -100, 100, kMotive, false},
    {13, -100, 100, kMotive, false},
    {14, -100, 100, kMotive, false},
    {15, -100, 100, kMotive, false},
    {16, -100, 100, kMotive, false},
    {17, 0, 32767, kUnchecked, true},
    {18, 0, 23, kHour, false},
    {19, 0, 23, kHour, false},
}};

const std::string kNoText;

std::string Key(const char* what, size_t row, size_t index) {
  return std::string(what) + std::to_string(row) + '.' + std::to_string(index);
}

}  // namespace

const JobBoxRule& RuleOf(JobBox box) { return kRules[static_cast<size_t>(box)]; }

CarrEditor::CarrEditor(const ResourceCarr& career)
    : EditorState(CarrEditorState{career, career.jobs.empty() ? kNoRow : 0}) {}

void CarrEditor::Select(size_t row) { Quietly().selected = row < JobCount() ? row : kNoRow; }

Job* CarrEditor::SelectedJob(CarrEditorState& state) const {
  return state.selected < state.career.jobs.size() ? &state.career.jobs[state.selected] : nullptr;
}

int64_t CarrEditor::JobNumber(JobBox box) const {
  if (!HasSelectedJob()) return 0;
  const JobBoxRule& rule = RuleOf(box);
  const int32_t stored = *Career().jobs[Selected()].Numbers()[rule.field];
  return rule.isUnsigned ? int64_t{static_cast<uint32_t>(stored)} : int64_t{stored};
}

std::string CarrEditor::JobNumberText(JobBox box) const { return FormatDecimal(JobNumber(box)); }

const std::string& CarrEditor::JobTextOf(JobText text) const {
  if (!HasSelectedJob()) return kNoText;
  return *Career().jobs[Selected()].Texts()[static_cast<size_t>(text)];
}

EditError CarrEditor::SetCareerName(std::string_view name) {
  if (EditError error = CheckText(name); error != EditError::None) return error;
  Change(
      "Career name",
      [&](CarrEditorState& s) { return Store(s.career.careerName, name); },
      "name");
  return EditError::None;
}

EditError CarrEditor::SetJobText(JobText text, std::string_view value) {
  if (!HasSelectedJob()) return EditError::NoRowSelected;
  if (EditError error = CheckText(value); error != EditError::None) return error;
  const size_t index = static_cast<size_t>(text);
  Change(
      "Job text",
      [&](CarrEditorState& s) {
        return Store(*SelectedJob(s)->Texts()[index], value);
      },
      Key("text", Selected(), index));
  return EditError::None;
}

bool CarrEditor::StoreNumber(JobBox box, int64_t value) {
  const size_t index = static_cast<size_t>(box);
  const int32_t stored = static_cast<int32_t>(static_cast<uint32_t>(value));
  return Change(
      "Job value",
      [&](CarrEditorState& s) {
        return Store(*SelectedJob(s)->Numbers()[RuleOf(box).field], stored);
      },
      Key("number", Selected(), index));
}

NumberParse CarrEditor::SetJobNumber(JobBox box, std::string_view text) {
  NumberParse parse = ParseNumber(text, RuleOf(box).checked);
  if (!HasSelectedJob()) parse.error = EditError::NoRowSelected;
  if (parse.ok()) StoreNumber(box, parse.value);
  return parse;
}

EditError CarrEditor::StepJobNumber(JobBox box, int steps) {
  if (!HasSelectedJob()) return EditError::NoRowSelected;
  const JobBoxRule& rule = RuleOf(box);
  StoreNumber(box, std::clamp(JobNumber(box) + steps, rule.arrowMin, rule.arrowMax));
  return EditError::None;
}

EditError CarrEditor::AddJob() {
  // The count is written as a signed 32-bit number.
  if (JobCount() >= 0x7FFFFFFF) return EditError::ListFull;
  Change("Add job", [](CarrEditorState& s) {
    s.career.AddJob();
    s.selected = s.career.jobs.size() - 1;
    return true;
  });
  return EditError::None;
}

EditError CarrEditor::DeleteJob() {
  if (!HasSelectedJob()) return EditError::NoRowSelected;
  Change("Delete job", [](CarrEditorState& s) {
    const std::optional<IndexMap> map = RemoveRow(s.career.jobs, s.selected);
    s.selected = SelectionAfter(*map, s.selected, AfterRemoval::NextOrLast);
    return true;
  });
  return EditError::None;
}

}  // namespace scrivet
