// Reported type -> editor. Each editor adds its row here; a type without a row is not handled
// (double-clicking it does nothing).

#include "app/editor_dispatch.h"
#include "codecs/resource_carr.h"
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
    // A new career is named, and gets the ten jobs the game expects if the user wants them.
    {ResourceCarr::kType,
     [](IffResource& resource, Platform& platform, QWidget* parent) {
       auto* career = dynamic_cast<ResourceCarr*>(&resource);
       if (!career) return;
       career->careerName = "New Career";
       const QString question = QStringLiteral(
           "The Sims likes CARR resources to have 10 jobs in each career.\n\nDo you want Scrivet 2 to create 10 jobs "
           "for you? You can always add\nor delete jobs later, though it is recommended to keep the number of jobs "
           "at 10.");
       if (platform.AskYesNo(parent, question, QStringLiteral("Scrivet 2"), MessageIcon::None))
         for (int i = 0; i < 10; ++i) career->AddJob();
     }},
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
