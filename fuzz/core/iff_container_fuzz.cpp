// Arbitrary bytes as an IFF file: read the directory, load everything, write it back, and the
// written file must list the same chunks with the same identity and data. A file that opens must
// always load and save. The same bytes read in place must list what the copy lists.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"

using namespace scrivet;

namespace {

struct Image {
  uint16_t flags;
  std::string name;
  std::vector<uint8_t> data;
  bool operator==(const Image&) const = default;
};

using Key = std::pair<TypeCode, uint16_t>;

// Chunks by identity, and the list order of those the linear scan finds (no 0x0004 flag); chunks
// known only through the map come back in the map's type-grouped order, so only their set counts.
void Collect(IffFile& file, std::map<Key, Image>& images, std::vector<Key>& scanned) {
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    IffChunk& c = file.ChunkAt(i);
    if (c.type == IffFile::kMapType) continue;
    if (!file.LoadChunkData(c)) std::abort();
    // Written names keep at most 63 bytes.
    Image image{c.flags, c.name.substr(0, IffChunk::kMaxNameLength), {c.Data(), c.Data() + c.Size()}};
    if (!images.emplace(Key{c.type, c.id}, std::move(image)).second) std::abort();  // duplicate listed
    if (!(c.flags & 0x0004)) scanned.push_back({c.type, c.id});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryStream input(data, size);
  auto file = IffFile::AttachMemoryCopy(input);
  CoreFailure failure;
  if (!file->ReadDirectory(&failure)) {
    if (failure.error != CoreError::NotIff && failure.error != CoreError::BadVersion) std::abort();
    return 0;
  }
  // Only chunks whose data lies inside the file are listed, so every file that opens saves.
  if (!file->LoadAll()) std::abort();
  MemoryStream written;
  if (!file->Write(&written)) std::abort();

  auto back = IffFile::AttachMemoryCopy(written);
  if (!back->ReadDirectory()) std::abort();
  std::map<Key, Image> before, after;
  std::vector<Key> orderBefore, orderAfter;
  Collect(*file, before, orderBefore);
  Collect(*back, after, orderAfter);
  if (before != after || orderBefore != orderAfter) std::abort();

  auto shared = IffFile::AttachShared(std::make_shared<const std::vector<uint8_t>>(data, data + size));
  if (!shared->ReadDirectory()) std::abort();
  std::map<Key, Image> inPlace;
  std::vector<Key> orderInPlace;
  Collect(*shared, inPlace, orderInPlace);
  if (inPlace != before || orderInPlace != orderBefore) std::abort();
  return 0;
}
