#include "editors/objd_help_texts.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace scrivet {

namespace {

struct HelpText {
  uint16_t offset;
  const char* text;
};

// The old behaviour-tree id fields, which the object function table replaced.
constexpr uint16_t kOldTrees[] = {10, 12, 24, 34, 42, 48, 50, 52, 54, 56, 58, 60, 62, 64, 66,
                                  86, 88, 96, 90, 94, 100, 104, 106, 110, 118, 120, 124, 148, 156, 160};
// Fields whose meaning is not known.
constexpr uint16_t kUnknown[] = {4, 92, 102, 108, 114, 116, 122, 126, 128, 130, 132, 136, 138,
                                 140, 144, 150, 152, 154, 162, 180, 182, 184, 188, 190, 192};

const HelpText kTexts[] = {
    {0,
     "Version\n\nThe version of this OBJD resource. Always set to 138."},
    {6,
     "Base Graphic ID #\n\nThe resource ID of the base/first draw group used by this tile."},
    {8,
     "Number of graphics\n\nThe number of graphic states (draw groups) per tile."},
    {14,
     "Tree table ID #\n\nThe resource ID of the TTAB that the tile uses. (-1 for none)"},
    {16,
     "Interaction group\n\nThe resource ID of the GLOB section used by this tile."},
    {18,
     "Type\n\nThe type of object, with:\n0 = unknown\n2 = person\n4 = normal\n7 = sim type\n8 = "
     "portal/build mode\n9 = cursor\n11 = internal"},
    {20,
     "Master ID\n\nEvery multi-tile object has a master object, which doesn't show up in the game, but "
     "keeps the subtiles together. The Master ID is a unique number (in the file) that The Sims can "
     "use to find out which objects are part of one multi-tile object or another."},
    {22,
     "Sub index\n\nThe tile which this OBJD applies to. The decimal value for a single-tile object "
     "must be set to 0 for the object to work. If the object is a multi-tile masterobject (which "
     "doesn't show up in the game), the decimal value must be set to -1 . The formula for the decimal "
     "value for tiles in a multi-tile object is row*256+col. Rows and columns start at 0. Sub index "
     "value 0 is closest to the screen, while rows go left, and columns go right from that point. "
     "Objects may not function properly if tiles aren't all adjacent."},
    {26,
     "Animation table ID #\n\nThe ID of the first STR# resource that contains animation filenames. "
     "(does not seem to affect how animations are called)"},
    {28,
     "Global Unique ID\n\nA unique number used in The Sims to connect in-game object instances to "
     "esources in the files. Instances have a local ID, which is unique per house.The GUID must be "
     "unique in the entire installation. Because it's 4 bytes long, there are a lot of IDs possible."},
    {32,
     "Disabled\n\nIf set to 1, does not show up in the catalog."},
    {36,
     "Price\n\nHow much money it takes to buy the object."},
    {38,
     "Body strings ID #\n\nThe resource ID of the STR# resource containing the bodystrings (only used "
     "for objects with type 2 - Character/NPC)."},
    {40,
     "Slots ID #\n\nThe resource ID of the SLOT that the tile uses."},
    {44,
     "Uses function table\n\nThis OBJD resource has an OBJf resource with a similar ID that contains "
     "the different entry points and functional trees. The function table is preferred above the trees "
     "in the OBJD resource and should be used instead."},
    {68,
     "Sale price\n\nNo Description. Appears to have no functionality."},
    {70,
     "Initial depreciation\n\nThe amount of money the object is less worth directly after it's been "
     "bought and the user goes to Live mode."},
    {72,
     "Daily depreciation\n\nThe amount of money the object is less worth every day."},
    {74,
     "Self depreciation\n\nIs set to 1 if the object handles depreciation itself. Set to 0 otherwise."},
    {76,
     "Depreciation limit\n\nMinimal price of the object. When this limit is reached, the object is no "
     "longer depreciated."},
    {78,
     "Room flags\n\nFlags for the catalog."},
    {80,
     "Function flags\n\nFlags for the catalog."},
    {82,
     "Catalog ID #\n\nThe resource ID of the CTSS section and the Catalog BMP that the object uses."},
    {84,
     "Global simulation object\n\nIf set to 1, this object is automatically created when a new house "
     "is created. Set to 0 otherwise. "},
    {98,
     "Object version\n\nThis value holds the version of the object. It has - as far as I know - no "
     "influence on the game, except that the load tree (see the OBJf resource) is called when the "
     "object version if different from that of the object in the house."},
    {112,
     "Level offset\n\nIf set to 1, the object is part of a multi-tile object that extends two floors, "
     "of which this object occupies the second floor.\n\nIf all subtiles of a multi-tile object are "
     "set to 0, the object is single-floor and can be placed on both floors. If even one of them is 1, "
     "the object is double-floor and can be placed only on the first floor. Example: stairs."},
    {134,
     "Tile width\n\nThe width of the object on the tile. Controls how close people can walk to the "
     "tile. 0 is full tile. Must be even. Every 2 equals 1/16 of a tile."},
    {158,
     "Shadow brightness\n\nThe shadow brightness of the object. 0 is normal, larger is brighter."},
    {164,
     "Rating: hunger\n\nThis is the change in hunger caused by the object. Note that this is the value "
     "displayed in the catalog. It has - apart from that - no influence in the game. It's only used in "
     "the catalog."},
    {166,
     "Rating: comfort\n\nThis is the change in comfort caused by the object. Note that this is the "
     "value displayed in the catalog. It has - apart from that - no influence in the game. It's only "
     "used in the catalog."},
    {168,
     "Rating: hygiene\n\nThis is the change in hygiene caused by the object. Note that this is the "
     "value displayed in the catalog. It has - apart from that - no influence in the game. It's only "
     "used in the catalog."},
    {170,
     "Rating: bladder\n\nThis is the change in bladder caused by the object. Note that this is the "
     "value displayed in the catalog. It has - apart from that - no influence in the game. It's only "
     "used in the catalog."},
    {172,
     "Rating: energy\n\nThis is the change in energy caused by the object. Note that this is the value "
     "displayed in the catalog. It has - apart from that - no influence in the game. It's only used in "
     "the catalog."},
    {174,
     "Rating: fun\n\nThis is the change in fun caused by the object. Note that this is the value "
     "displayed in the catalog. It has - apart from that - no influence in the game. It's only used in "
     "the catalog."},
    {176,
     "Rating: room\n\nThis is the change in room caused by the object. Note that this is the value "
     "displayed in the catalog. It has - apart from that - no influence in the game. It's only used in "
     "the catalog."},
    {178,
     "Rating: skill flags\n\nThis value contains the skills the object can change. You should edit the "
     "binary value. A one stands for \"changes\", a zero for \"does not\". You could see it as "
     "\"000000000GFEDCBA\" where:\n\nA = cooking\nB = mechanical\nC = logic\nD = body\nE = "
     "creativity\nF = charisma\nG = study"},
};

template <size_t N>
bool Listed(const uint16_t (&offsets)[N], uint16_t offset) {
  return std::find(std::begin(offsets), std::end(offsets), offset) != std::end(offsets);
}

}  // namespace

QString ObjdHelpText(const ObjdField& field) {
  if (field.IsHeading()) return {};
  for (const HelpText& help : kTexts)
    if (help.offset == field.offset) return QString::fromLatin1(help.text);
  const QString name = QString::fromLatin1(field.label) + QStringLiteral("\n\n");
  if (Listed(kOldTrees, field.offset)) return name + QStringLiteral("Old tree. Use the Object Function Table.");
  if (Listed(kUnknown, field.offset)) return name + QStringLiteral("No Description.");
  return QStringLiteral("No description");
}

}  // namespace scrivet
