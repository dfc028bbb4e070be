#include "codecs/resource_objd.h"

#include <algorithm>
#include <cstdio>

#include "core/byte_order.h"

namespace scrivet {

namespace {

const ObjdField kCatalogue[] = {
    {"--- Version information", 0, 0, ObjdDisplay::kNone},
    {"Version", 0, 4, ObjdDisplay::kDecimal},
    {"Object version", 98, 2, ObjdDisplay::kDecimal},
    {"--- Multitile info", 0, 0, ObjdDisplay::kNone},
    {"Master ID", 20, 2, ObjdDisplay::kDecimal},
    {"Sub index", 22, 2, ObjdDisplay::kDecimal},
    {"--- GUID info", 0, 0, ObjdDisplay::kNone},
    {"Global Unique ID", 28, 4, ObjdDisplay::kHex},
    {"Original GUID", 140, 4, ObjdDisplay::kHex},
    {"Original suit GUID", 144, 4, ObjdDisplay::kHex},
    {"--- ID # values", 0, 0, ObjdDisplay::kNone},
    {"Base Graphic ID #", 6, 2, ObjdDisplay::kDecimal},
    {"Tree table ID #", 14, 2, ObjdDisplay::kDecimal},
    {"Animation table ID #", 26, 2, ObjdDisplay::kDecimal},
    {"Body strings ID #", 38, 2, ObjdDisplay::kDecimal},
    {"Slots ID #", 40, 2, ObjdDisplay::kDecimal},
    {"Catalog ID #", 82, 2, ObjdDisplay::kDecimal},
    {"Motive effects ID #", 102, 2, ObjdDisplay::kDecimal},
    {"Catalog popup ID #", 108, 2, ObjdDisplay::kDecimal},
    {"Dynamic sprite base ID #", 128, 2, ObjdDisplay::kDecimal},
    {"Custom wall style ID #", 162, 2, ObjdDisplay::kDecimal},
    {"--- Price information", 0, 0, ObjdDisplay::kNone},
    {"Price", 36, 2, ObjdDisplay::kDecimal},
    {"Sale price", 68, 2, ObjdDisplay::kDecimal},
    {"Initial depreciation", 70, 2, ObjdDisplay::kDecimal},
    {"Daily depreciation", 72, 2, ObjdDisplay::kDecimal},
    {"Self depreciation", 74, 2, ObjdDisplay::kDecimal},
    {"Depreciation limit", 76, 2, ObjdDisplay::kDecimal},
    {"--- Graphics", 0, 0, ObjdDisplay::kNone},
    {"Number of graphics", 8, 2, ObjdDisplay::kDecimal},
    {"Number of dynamic sprites", 130, 2, ObjdDisplay::kDecimal},
    {"Thumbnail graphic index", 150, 2, ObjdDisplay::kDecimal},
    {"--- Other", 0, 0, ObjdDisplay::kNone},
    {"Initial Stack Size", 4, 2, ObjdDisplay::kDecimal},
    {"Interaction group", 16, 2, ObjdDisplay::kDecimal},
    {"Type", 18, 2, ObjdDisplay::kDecimal},
    {"Disabled", 32, 2, ObjdDisplay::kDecimal},
    {"Global simulation object", 84, 2, ObjdDisplay::kDecimal},
    {"Wall style", 92, 2, ObjdDisplay::kDecimal},
    {"Level offset", 112, 2, ObjdDisplay::kDecimal},
    {"Shadow", 114, 2, ObjdDisplay::kDecimal},
    {"Number of attributes", 116, 2, ObjdDisplay::kDecimal},
    {"Front face direction", 122, 2, ObjdDisplay::kDecimal},
    {"Lead object", 126, 2, ObjdDisplay::kDecimal},
    {"Chair entry flags", 132, 2, ObjdDisplay::kDecimal},
    {"Tile width", 134, 2, ObjdDisplay::kDecimal},
    {"Suit not copyable", 136, 2, ObjdDisplay::kDecimal},
    {"Build mode type", 138, 2, ObjdDisplay::kDecimal},
    {"Shadow flags", 152, 2, ObjdDisplay::kDecimal},
    {"Footprint inset mask", 154, 2, ObjdDisplay::kDecimal},
    {"Shadow brightness", 158, 2, ObjdDisplay::kDecimal},
    {"Number of type attributes", 180, 2, ObjdDisplay::kDecimal},
    {"Miscellaneous flags", 182, 2, ObjdDisplay::kDecimal},
    {"Type attribute GUID", 184, 4, ObjdDisplay::kHex},
    {"Room flags", 78, 1, ObjdDisplay::kDecimal},
    {"Function flags", 80, 1, ObjdDisplay::kDecimal},
    {"Category flags (HD+)", 188, 2, ObjdDisplay::kDecimal},
    {"Unknown HD value 1", 190, 2, ObjdDisplay::kDecimal},
    {"Unknown HD value 2", 192, 2, ObjdDisplay::kDecimal},
    {"--- Old function table", 0, 0, ObjdDisplay::kNone},
    {"Uses function table (OBJf)", 44, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: main", 10, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: gardening", 12, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: wash hands", 24, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: portal", 34, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: allow intersection", 42, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: prepare food", 48, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: cook food", 50, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: place on surface", 52, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: dispose", 54, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: eat food", 56, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: pickup from slot", 58, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: wash dish", 60, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: eating surface", 62, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: sit", 64, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: stand", 66, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: init", 86, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: placement", 88, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: user pickup", 90, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: load", 94, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: placement", 96, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: room changed", 100, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: cleanup", 104, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: level info request", 106, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: serving surface", 110, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: clean", 118, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: queue skipped", 120, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: wall adjacency changed", 124, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: pickup", 148, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: update adjacent", 156, 2, ObjdDisplay::kDecimal},
    {"Tree ID #: repair", 160, 2, ObjdDisplay::kDecimal},
    {"--- Ratings", 0, 0, ObjdDisplay::kNone},
    {"Rating: hunger", 164, 2, ObjdDisplay::kDecimal},
    {"Rating: comfort", 166, 2, ObjdDisplay::kDecimal},
    {"Rating: hygiene", 168, 2, ObjdDisplay::kDecimal},
    {"Rating: bladder", 170, 2, ObjdDisplay::kDecimal},
    {"Rating: energy", 172, 2, ObjdDisplay::kDecimal},
    {"Rating: fun", 174, 2, ObjdDisplay::kDecimal},
    {"Rating: room", 176, 2, ObjdDisplay::kDecimal},
    {"Rating: skill flags", 178, 2, ObjdDisplay::kDecimal},
};

}  // namespace

std::span<const ObjdField> ObjdFieldCatalogue() { return kCatalogue; }

ResourceObjd::ResourceObjd() { StoreU32LE(block.data(), kNewVersion); }

bool ResourceObjd::Decode() {
  IffChunk& chunk = Chunk();
  if (!chunk.IsLittleEndian()) return false;
  const size_t n = std::min(chunk.Size(), kBlockSize);
  std::copy_n(chunk.Data(), n, block.begin());
  return true;
}

bool ResourceObjd::Encode() {
  IffChunk& chunk = Chunk();
  if (!chunk.Assign(block.data(), block.size())) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

bool ResourceObjd::ReadField(size_t offset, size_t size, uint32_t& value) const {
  if ((size != 1 && size != 2 && size != 4) || offset > kBlockSize - size) return false;
  value = 0;
  for (size_t i = size; i-- > 0;) value = (value << 8) | block[offset + i];
  return true;
}

bool ResourceObjd::WriteField(size_t offset, size_t size, uint32_t value) {
  if ((size != 1 && size != 2 && size != 4) || offset > kBlockSize - size) return false;
  for (size_t i = 0; i < size; ++i) block[offset + i] = uint8_t(value >> (8 * i));
  return true;
}

int32_t ResourceObjd::FieldValue(const ObjdField& field) const {
  uint32_t value = 0;
  if (field.size == 4) {
    ReadField(field.offset, 4, value);
    return static_cast<int32_t>(value);
  }
  if (field.size == 0) return 0;
  // 1-byte rows show the whole word at their offset.
  ReadField(field.offset, 2, value);
  return static_cast<int16_t>(value);
}

std::string ResourceObjd::FormatField(const ObjdField& field) const {
  if (field.IsHeading()) return {};
  char text[16];
  const int32_t value = FieldValue(field);
  if (field.display != ObjdDisplay::kHex) std::snprintf(text, sizeof text, "%d", value);
  else if (field.size == 4) std::snprintf(text, sizeof text, "%8.8X", static_cast<unsigned>(value));
  else std::snprintf(text, sizeof text, "%4.4X", static_cast<unsigned>(value));
  return text;
}

void ResourceObjd::SetFieldValue(const ObjdField& field, int32_t value) {
  if (!field.IsHeading()) WriteField(field.offset, field.size, static_cast<uint32_t>(value));
}

}  // namespace scrivet
