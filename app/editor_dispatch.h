#pragma once
// What the application does per resource type: one row per type (editor_table.cpp) holds its
// editor, its set-up when Add creates it, whether the Add dialog offers it, and how opening it
// differs from the rest. Adding a type takes its row in the engine's type table and one here.

#include <QStringList>
#include <span>

#include "core/iff_file.h"
#include "core/iff_resource.h"
#include "editors/platform.h"

namespace scrivet {

// Works on a resource; true when the resource now holds the result (an editor: OK was pressed).
using ResourceAction = bool (*)(IffResource& resource, EditorContext& context);

// The action of an editor or set-up that works on its own object of class R: it gets a copy of
// the resource, and the copy is taken back when it returns true. A row is then one line:
// OnWorkingCopy<ResourceBhav, &RunBhavEditor>.
template <class R, bool (*Work)(R&, EditorContext&)>
bool OnWorkingCopy(IffResource& resource, EditorContext& context) {
  R working;
  working.CopyFrom(resource);
  if (!Work(working, context)) return false;
  resource.CopyFrom(working);
  return true;
}

struct TypeRow {
  // Matched against a chunk's type, except by `edit`: an editor serves every chunk whose
  // resource class reports this type (STR# serves TTAs, CTSS and FAMs too; DATA every type
  // without a class of its own).
  TypeCode type;
  ResourceAction edit = nullptr;      // null: opening the resource does nothing
  ResourceAction setUp = nullptr;     // run on a resource that Add creates, before it is stored
  bool preset = false;                // offered by the Add dialog; presets keep the table's order
  const char* openMessage = nullptr;  // opening shows this instead of an editor
  bool offerBlendingTables = false;   // each view asks once, before the first editor opens
};

// The application's table.
std::span<const TypeRow> TypeRows();
const TypeRow* FindTypeRow(std::span<const TypeRow> rows, TypeCode type);
// The editor for a reported type (IffResource::GetType), or null.
ResourceAction FindEditor(std::span<const TypeRow> rows, TypeCode reportedType);
// The preset types of the Add dialog, in table order.
QStringList PresetTypes(std::span<const TypeRow> rows);

// SaveFailed: the editor said OK but the resource could not be encoded back; the container's
// chunk keeps its old bytes (a failed save changes nothing).
enum class EditorResult { NotHandled, Ok, Cancel, SaveFailed };

// Runs the editor of the resource's reported type; on OK saves the resource into the container.
EditorResult RunEditorFor(std::span<const TypeRow> rows, IffResource& resource, EditorContext& context);

}  // namespace scrivet
