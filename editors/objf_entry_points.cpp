#include "editors/objf_entry_points.h"

#include <iterator>

#include "codecs/resource_objf.h"

namespace scrivet {

namespace {

constexpr const char* kDescriptions[] = {
    "The init tree is called whenever an object is reset. This happens when the object is first being placed, and "
    "if \"Reset\" is chosen after an object error.",
    "The main tree is the initial point of entry for the object's main simulation. Parameters may be passed to main "
    "if the \"create object\" primitive specifies.",
    "The load tree is called whenever an instance of the object is loaded from a save file. It is only called if the "
    "\"object version\" instance variable is different from the corresponding variable in the object definition.",
    "The cleanup tree is called whenever an object is about to be deleted, or if a person's interaction with the "
    "object had to be aborted.",
    "The queue skipped tree is called if an interaction in a person's queue was deleted for any reason.",
    "This tree is a last resort hook for object intersection tests. If all the normal intersection tests pass, this "
    "tree is called to determine if two objects are allowed to intersect. Parameter 0 is the id of the object that is "
    "being tested.",
    "This tree is called whenever the wall configuration around an object changed. At that time, the \"wall "
    "adjacency flags\" instance variable will indicate the new configuration.",
    "This tree is called whenever the room id of an object changes. At this time, the \"room id\" instance variable "
    "will contain the new room id.",
    "If this function is defined for a multi-tile object, the object is \"dynamic\". This means that any time one is "
    "placed, it is joined with any neighboring objects. When the joining takes place, this tree is called for each "
    "object in the multi-tile group.",
    "This tree is called any time the position of an object changes.",
    "This tree is called just before an object is picked up.",
    "This tree is called when the user clicks to place an object.",
    "This tree is called when the user clicks to pick up an object. It is called just before the object is actually "
    "picked up.",
    "This tree is called when the \"level info\" button is pressed. May not be used in final game.",
    "This tree is used by people who are looking for a place to drop food.",
    "If this tree is defined for a portal object, then the object may be used to transfer a person from one room to "
    "another. If two such objects are part of the same multi-tile group and lie in different rooms, then a person "
    "will push the tree to go between the rooms. ",
    "If this tree is defined, then the gardener will use it to take care of the plants.",
    "This tree is used by any person looking to wash hands.",
    "This tree is used a person who is trying to prepare food.",
    "This tree is used by any person trying to cook food.",
    "This tree is used by a person who is looking for a surface on which to place an object.",
    "This tree is used by a person looking to throw away an object.",
    "This tree is used to eat an object. It is only used by the fridge to transfer control of the person to the food "
    "after it is created.",
    "This tree is used by a person to pick up an object.",
    "This tree is used by a person who is looking to wash a dish.",
    "This tree is used by a person who wants to find a surface suitable for eating.",
    "This tree seats a person. If the tree is defined, the game considers the object to be a chair.",
    "If a person is sitting and contained in an object, this tree must be defined so that the person may stand up.",
    "This tree is used by the maid to clean objects.",
    "This tree is used by the repair man to repair objects.",
    "This tree is called in the current situation object when an event in the user interface occurs. The first "
    "parameter is the type of the event. The second parameter is the id of the event.",
};
static_assert(std::size(kDescriptions) == ResourceObjf::kEntryCount);

}  // namespace

QString EntryPointDescription(size_t index) {
  return index < std::size(kDescriptions) ? QString::fromLatin1(kDescriptions[index])
                                          : QStringLiteral("No description.");
}

}  // namespace scrivet
