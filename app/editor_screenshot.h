#pragma once
// A picture of one resource's editor, made without anyone at the screen: the editor opens as on
// a double-click (the hex editor for types that have none), its window is grabbed once it shows
// and closed with Cancel, so the document does not change.

#include <QString>
#include <cstdint>

#include "core/type_code.h"

namespace scrivet {

class ResourceListController;

enum class EditorShot { Saved, NoSuchResource, NoWindow, CantWrite };

EditorShot ShootEditor(ResourceListController& list, TypeCode type, uint16_t id, const QString& pngPath);

}  // namespace scrivet
