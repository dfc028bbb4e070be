// Reported type -> editor. Each editor adds its row here; a type without a row is not handled
// (double-clicking it does nothing).

#include "app/editor_dispatch.h"
#include "editors/hex_editor_dialog.h"

namespace scrivet {

namespace {

const EditorRow kRows[] = {
    // Raw bytes: DATA and every type without a class of its own (PALT included); Hex Edit too.
    {ResourceData::kType,
     [](IffResource& working, EditorContext& context) {
       auto* data = dynamic_cast<ResourceData*>(&working);
       return data && RunHexEditor(*data, context.platform, context.parent);
     }},
    {0, nullptr},  // placeholder so the table is never empty
};

const NewResourceRow kNewResourceRows[] = {
    {0, nullptr},  // placeholder so the table is never empty
};

}  // namespace

const NewResourceRow* NewResourceRows(size_t& count) {
  count = sizeof(kNewResourceRows) / sizeof(kNewResourceRows[0]);
  return kNewResourceRows;
}

const EditorRow* EditorRows(size_t& count) {
  count = sizeof(kRows) / sizeof(kRows[0]);
  return kRows;
}

}  // namespace scrivet
