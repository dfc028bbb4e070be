// Reported type -> editor. Each editor adds its row here; a type without a row is not handled
// (double-clicking it does nothing).

#include "app/editor_dispatch.h"

namespace scrivet {

namespace {

const EditorRow kRows[] = {
    {0, nullptr},  // placeholder so the table is never empty
};

}  // namespace

const EditorRow* EditorRows(size_t& count) {
  count = sizeof(kRows) / sizeof(kRows[0]);
  return kRows;
}

}  // namespace scrivet
