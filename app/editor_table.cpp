// One row per resource type. An editor joins its type's row (adding the row if the type has none).

#include "app/editor_dispatch.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_trcn.h"
#include "editors/bcon_editor_dialog.h"
#include "editors/bhav_editor_dialog.h"
#include "editors/carr_editor_dialog.h"
#include "editors/dgrp_editor_dialog.h"
#include "editors/hex_editor_dialog.h"
#include "editors/name_editor_dialogs.h"
#include "editors/objd_editor_dialog.h"
#include "editors/objf_editor_dialog.h"
#include "editors/sprite_editor_dialogs.h"
#include "editors/string_table_editor_dialog.h"
#include "editors/ttab_editor_dialog.h"

namespace scrivet {

namespace {

bool EditRawBytes(ResourceData& data, EditorContext& context) {
  return RunHexEditor(data, context.platform, context.parent);
}

// A label table is read only here: it opens on the bytes it was read from, which it writes back.
bool EditLabelTableBytes(ResourceTrcn& table, EditorContext& context) {
  ResourceData data;
  data.bytes = table.bytes;
  if (!RunHexEditor(data, context.platform, context.parent)) return false;
  table.bytes = std::move(data.bytes);
  return true;
}

// A new career is named, and gets the ten jobs the game expects if the user wants them.
bool SetUpNewCareer(ResourceCarr& career, EditorContext& context) {
  career.careerName = "New Career";
  const QString question = QStringLiteral(
      "The Sims likes CARR resources to have 10 jobs in each career.\n\nDo you want Scrivet 2 to create 10 jobs "
      "for you? You can always add\nor delete jobs later, though it is recommended to keep the number of jobs "
      "at 10.");
  if (context.platform.AskYesNo(context.parent, question, QStringLiteral("Scrivet 2"), MessageIcon::None))
    for (int i = 0; i < 10; ++i) career.AddJob();
  return true;
}

const TypeRow kRows[] = {
    {.type = MakeTypeCode("BCON"), .edit = OnWorkingCopy<ResourceBcon, &RunBconEditor>, .preset = true},
    {.type = MakeTypeCode("BHAV"), .edit = OnWorkingCopy<ResourceBhav, &RunBhavEditor>, .preset = true},
    {.type = MakeTypeCode("CARR"),
     .edit = OnWorkingCopy<ResourceCarr, &RunCarrEditor>,
     .setUp = OnWorkingCopy<ResourceCarr, &SetUpNewCareer>,
     .preset = true},
    {.type = MakeTypeCode("DGRP"),
     .edit = OnWorkingCopy<ResourceDgrp, &RunDgrpEditor>,
     .preset = true,
     .offerBlendingTables = true},
    {.type = MakeTypeCode("FWAV"), .edit = OnWorkingCopy<ResourceFwav, &RunFwavEditor>, .preset = true},
    {.type = MakeTypeCode("GLOB"), .edit = OnWorkingCopy<ResourceGlob, &RunGlobEditor>, .preset = true},
    {.type = MakeTypeCode("OBJD"), .edit = OnWorkingCopy<ResourceObjd, &RunObjdEditor>, .preset = true},
    {.type = MakeTypeCode("OBJf"), .edit = OnWorkingCopy<ResourceObjf, &RunObjfEditor>, .preset = true},
    // Also TTAs, CTSS and FAMs: their class reports STR#.
    {.type = MakeTypeCode("STR#"), .edit = OnWorkingCopy<ResourceStr, &RunStringTableEditor>, .preset = true},
    {.type = MakeTypeCode("BMP_"),
     .preset = true,
     .openMessage = "This resource should be edited by exporting and importing it to a .BMP file!"},
    // Also stores the TTAs of the same id (its menu texts), adding it when the file has none.
    {.type = MakeTypeCode("TTAB"), .edit = OnWorkingCopy<ResourceTtab, &RunTtabEditor>, .preset = true},
    {.type = MakeTypeCode("TTAs"), .preset = true},
    {.type = MakeTypeCode("FAMs"), .preset = true},
    {.type = MakeTypeCode("CTSS"), .preset = true},
    // Both show their frames on the window's background colour.
    {.type = ResourceSpr::kType, .edit = OnWorkingCopy<ResourceSpr, &RunSprEditor>},
    {.type = ResourceSpr2::kType, .edit = OnWorkingCopy<ResourceSpr2, &RunSpr2Editor>},
    {.type = ResourceTrcn::kType, .edit = OnWorkingCopy<ResourceTrcn, &EditLabelTableBytes>},
    // Raw bytes: every type without a class of its own (PALT included); Hex Edit too.
    {.type = ResourceData::kType, .edit = OnWorkingCopy<ResourceData, &EditRawBytes>},
};

}  // namespace

std::span<const TypeRow> TypeRows() { return kRows; }

}  // namespace scrivet
