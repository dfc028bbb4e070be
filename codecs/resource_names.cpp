// The two name-only resources: FWAV and GLOB.
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"

namespace scrivet {

namespace {

bool WriteName(IffChunk& chunk, const std::string& name, size_t extraZeros = 0) {
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  if (!chunk.WriteZString(name)) return false;
  for (size_t i = 0; i < extraZeros; ++i)
    if (!chunk.WriteU8(0)) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace

bool ResourceFwav::Decode() { return Chunk().ReadZString(soundName); }

bool ResourceFwav::Encode() { return WriteName(Chunk(), soundName); }

bool ResourceGlob::Decode() {
  IffChunk& chunk = Chunk();
  if (chunk.Size() != kPrefixedBlockSize) return chunk.ReadZString(fileName);
  uint8_t length;
  // A zero byte inside ends the name: the name is written back terminated.
  return chunk.ReadU8(length) && chunk.ReadFixedString(length, fileName);
}

bool ResourceGlob::Encode() {
  // A 255-byte name plus its terminator would be 256 bytes, which reads back as a
  // length-prefixed block; one more zero keeps it a terminated name.
  const size_t extra = fileName.size() + 1 == kPrefixedBlockSize ? 1 : 0;
  return WriteName(Chunk(), fileName, extra);
}

}  // namespace scrivet
