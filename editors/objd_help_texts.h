#pragma once
// The help texts of the object definition editor, by field offset: what each field of an OBJD
// means to the game, shown beside the field list.

#include <QString>

#include "codecs/resource_objd.h"

namespace scrivet {

// The text for a catalogue row: its field's text, "No description" for a field without one, and
// nothing for a heading.
QString ObjdHelpText(const ObjdField& field);

}  // namespace scrivet
