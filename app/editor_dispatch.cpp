#include "app/editor_dispatch.h"

#include <QApplication>
#include <QPalette>
#include <map>
#include <optional>

#include "codecs/type_table.h"

namespace scrivet {

namespace {

std::map<TypeCode, EditorEntry>& Overrides() {
  static std::map<TypeCode, EditorEntry> overrides;
  return overrides;
}

BlendTableBuilder g_blendTableBuilder = nullptr;

std::unique_ptr<IffResource> SameClassAs(const IffResource& resource) {
  if (resource.GetType() == ResourceData::kType) return std::make_unique<ResourceData>();
  auto copy = CreateResourceForType(resource.Chunk().type);
  if (!copy || copy->GetType() != resource.GetType()) return nullptr;
  return copy;
}

}  // namespace

EditorEntry FindEditorEntry(TypeCode reportedType) {
  auto found = Overrides().find(reportedType);
  if (found != Overrides().end()) return found->second;
  size_t count = 0;
  const EditorRow* rows = EditorRows(count);
  for (size_t i = 0; i < count; ++i)
    if (rows[i].entry && rows[i].reportedType == reportedType) return rows[i].entry;
  return nullptr;
}

void OverrideEditorEntry(TypeCode reportedType, EditorEntry entry) { Overrides()[reportedType] = entry; }

NewResourceSetup FindNewResourceSetup(TypeCode chunkType) {
  size_t count = 0;
  const NewResourceRow* rows = NewResourceRows(count);
  for (size_t i = 0; i < count; ++i)
    if (rows[i].setup && rows[i].chunkType == chunkType) return rows[i].setup;
  return nullptr;
}

void ResetEditorEntries() { Overrides().clear(); }

EditorResult RunEditorFor(IffResource& resource, EditorContext& context) {
  EditorEntry entry = FindEditorEntry(resource.GetType());
  if (!entry) return EditorResult::NotHandled;
  std::unique_ptr<IffResource> working = SameClassAs(resource);
  if (!working) return EditorResult::NotHandled;
  working->CopyFrom(resource);
  if (!entry(*working, context)) return EditorResult::Cancel;
  resource.CopyFrom(*working);
  return SaveResource(resource, context.file) ? EditorResult::Ok : EditorResult::SaveFailed;
}

bool SaveResource(IffResource& resource, IffFile& file) {
  // A failed encode may leave a partial rewrite in the container's chunk: put the old bytes back.
  IffChunk* existing = file.Find(resource.Chunk().type, resource.Chunk().id);
  std::optional<IffChunk> backup;
  if (existing) backup = *existing;
  if (resource.Save(file)) return true;
  if (existing) *existing = *backup;
  return false;
}

uint32_t WindowBackgroundColour() {
  const QColor face = QApplication::palette().color(QPalette::Active, QPalette::Button);
  return uint32_t(face.blue()) | (uint32_t(face.green()) << 8) | (uint32_t(face.red()) << 16);
}

void SetBlendTableBuilder(BlendTableBuilder builder) { g_blendTableBuilder = builder; }

BlendTableBuilder CurrentBlendTableBuilder() { return g_blendTableBuilder; }

}  // namespace scrivet
