#pragma once
// The function table editor without a window: the working table of 31 entry points, the selected
// entry, its two routine ids with their range check and undo, and what each id names.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "codecs/resource_objf.h"
#include "edit/editor_state.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"

namespace scrivet {

// The two id boxes of an entry point.
enum class ObjfBox : uint8_t { Action, Check };

// Routine names by id: those of the file itself, and those of the global and semi-global lists.
struct RoutineNames {
  std::map<uint16_t, std::string> inFile;
  std::map<uint16_t, std::string> elsewhere;
};

// What an id names. An id that is in neither list is missing: the entry point is broken.
struct RoutineRef {
  enum class Kind { None, InFile, Elsewhere, Missing };
  Kind kind = Kind::None;
  std::string name;
};

struct ObjfEditorState {
  ResourceObjf table;
  size_t selected = 0;
};

class ObjfEditor : public EditorState<ObjfEditorState> {
 public:
  static constexpr NumberField kIdField = NumberField::Unsigned(2);

  // Opens on a copy with entry 0 selected.
  explicit ObjfEditor(const ResourceObjf& table, RoutineNames names = {});

  const ResourceObjf& Table() const { return Now().table; }
  // kNoRow when no entry is selected: both boxes then show 0 and are disabled.
  size_t Selected() const { return Now().selected; }
  bool HasSelection() const { return Selected() < ResourceObjf::kEntryCount; }
  void Select(size_t row);

  static uint16_t IdOf(const FunctionEntry& entry, ObjfBox box) {
    return box == ObjfBox::Action ? entry.actionFunction : entry.checkFunction;
  }
  // The selected entry's id in the box, 0 with none.
  uint16_t Id(ObjfBox box) const { return HasSelection() ? IdOf(Table().entries[Selected()], box) : uint16_t{0}; }
  // Range-checked: a refused text changes nothing.
  NumberParse SetId(ObjfBox box, std::string_view text);

  // The file's own routines come first: that is also how a global or semi-global file names its own.
  RoutineRef Routine(uint16_t id) const;
  // Whether the file holds the routine, so that it can be opened.
  bool InFile(uint16_t id) const { return names_.inFile.count(id) != 0; }

 private:
  RoutineNames names_;
};

}  // namespace scrivet
