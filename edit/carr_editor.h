#pragma once
// The career editor without a window: the working career, the selected job, every field with
// its range check, Add and Delete, and undo back to the career it opened with.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codecs/resource_carr.h"
#include "edit/editor_state.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

// The job's number boxes in the dialog's order.
enum class JobBox : uint8_t {
  Friends, Cooking, Mechanical, Charisma, Body, Logic, Creativity,
  Hunger, Comfort, Hygiene, Bladder, Energy, Fun, Social,
  Salary, Begintime, Endtime,
};
inline constexpr size_t kJobBoxCount = 17;

struct JobBoxRule {
  size_t field;          // index into Job::Numbers()
  int64_t arrowMin;      // the range the arrows step through
  int64_t arrowMax;
  NumberField checked;   // what a typed value must be
  bool isUnsigned;       // shown and typed as an unsigned number
};
const JobBoxRule& RuleOf(JobBox box);

// The job's texts, in Job::Texts() order.
enum class JobText : uint8_t { Name, MaleSkin, FemaleSkin, Texture, Accessory };
inline constexpr size_t kJobTextCount = Job::kTextCount;

struct CarrEditorState {
  ResourceCarr career;
  size_t selected = kNoRow;
};

class CarrEditor : public EditorState<CarrEditorState> {
 public:
  // Opens on a copy of the career with its first job selected.
  explicit CarrEditor(const ResourceCarr& career);

  const ResourceCarr& Career() const { return Now().career; }
  size_t JobCount() const { return Career().jobs.size(); }
  // The selected job's row, or kNoRow: the job controls are then cleared and disabled.
  size_t Selected() const { return Now().selected; }
  bool HasSelectedJob() const { return Selected() < JobCount(); }
  // kNoRow, or a row past the end, selects nothing.
  void Select(size_t row);

  // The selected job's values as its boxes show them; 0 and "" without a selected job.
  int64_t JobNumber(JobBox box) const;
  std::string JobNumberText(JobBox box) const;
  const std::string& JobTextOf(JobText text) const;

  EditError SetCareerName(std::string_view name);
  EditError SetJobText(JobText text, std::string_view value);
  // Range-checked: a refused text changes nothing.
  NumberParse SetJobNumber(JobBox box, std::string_view text);
  // The arrows: `steps` up (or down, negative) from the box's value, kept inside the arrow range.
  EditError StepJobNumber(JobBox box, int steps);

  // Appends a new job and selects it; the dialog has asked the user first.
  EditError AddJob();
  // Removes the selected job; the same row is selected again, or the new last one.
  EditError DeleteJob();

 private:
  Job* SelectedJob(CarrEditorState& state) const;
  bool StoreNumber(JobBox box, int64_t value);
};

}  // namespace scrivet
