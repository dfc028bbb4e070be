#include "app/editor_dispatch.h"

#include "editors/qt_text.h"

namespace scrivet {

const TypeRow* FindTypeRow(std::span<const TypeRow> rows, TypeCode type) {
  for (const TypeRow& row : rows)
    if (row.type == type) return &row;
  return nullptr;
}

ResourceAction FindEditor(std::span<const TypeRow> rows, TypeCode reportedType) {
  const TypeRow* row = FindTypeRow(rows, reportedType);
  return row ? row->edit : nullptr;
}

QStringList PresetTypes(std::span<const TypeRow> rows) {
  QStringList presets;
  for (const TypeRow& row : rows)
    if (row.preset) presets << TypeText(row.type);
  return presets;
}

EditorResult RunEditorFor(std::span<const TypeRow> rows, IffResource& resource, EditorContext& context) {
  ResourceAction edit = FindEditor(rows, resource.GetType());
  if (!edit) return EditorResult::NotHandled;
  if (!edit(resource, context)) return EditorResult::Cancel;
  return resource.Save(context.file) ? EditorResult::Ok : EditorResult::SaveFailed;
}

}  // namespace scrivet
