#pragma once
// Opening a resource in the editor of its type. Editors register in one table
// (editor_table.cpp): reported type -> entry function.

#include <QString>

#include "core/iff_file.h"
#include "core/iff_resource.h"
#include "editors/platform.h"

class QWidget;

namespace scrivet {

struct EditorContext {
  IffFile& file;       // the document's container, for entries that touch other chunks
  QWidget* parent;     // owner of the modal editor
  Platform& platform;
};

// An editor entry runs its editor modally on `working`, the editor's own copy of the resource
// (already of the resource's class and filled by CopyFrom), and returns true on OK. The entry
// does its own extra work on the container (e.g. a TTAB also saving its TTAs); copying back
// and saving the resource itself is done by the caller.
using EditorEntry = bool (*)(IffResource& working, EditorContext& context);

struct EditorRow {
  TypeCode reportedType;
  EditorEntry entry;
};

// The registered rows (editor_table.cpp).
const EditorRow* EditorRows(size_t& count);

// The window background handed to the sprite and draw-group editors: the button-face colour
// as the bytes blue, green, red, 0 (blue in the lowest byte).
uint32_t WindowBackgroundColour();

// The entry for a reported type, or null when no editor handles it. Test overrides win.
EditorEntry FindEditorEntry(TypeCode reportedType);
// For tests: replace (or with null, remove) the entry of a type; ResetEditorEntries undoes all.
void OverrideEditorEntry(TypeCode reportedType, EditorEntry entry);
void ResetEditorEntries();

// SaveFailed: the editor said OK but the resource could not be encoded back; the container's
// chunk keeps its old bytes.
// Extra set-up of a resource created by the Add command, per chunk type (a career, for example,
// offers its ten default jobs). Rows live in editor_table.cpp beside the editors.
using NewResourceSetup = void (*)(IffResource& resource, Platform& platform, QWidget* parent);
struct NewResourceRow {
  TypeCode chunkType;
  NewResourceSetup setup;
};
const NewResourceRow* NewResourceRows(size_t& count);
NewResourceSetup FindNewResourceSetup(TypeCode chunkType);

enum class EditorResult { NotHandled, Ok, Cancel, SaveFailed };

// Saves the resource into the container under its own identity; on failure the container's
// chunk of that identity is left as it was.
bool SaveResource(IffResource& resource, IffFile& file);

// The entry protocol: the editor works on a copy of `resource`; on OK the copy is taken back
// and the resource saved into the container under its own identity.
EditorResult RunEditorFor(IffResource& resource, EditorContext& context);

// Blending-table hook for the draw-group path: set by the draw-group editor's code;
// returns false when the table cannot be built (out of memory).
using BlendTableBuilder = bool (*)();
void SetBlendTableBuilder(BlendTableBuilder builder);
BlendTableBuilder CurrentBlendTableBuilder();

}  // namespace scrivet
