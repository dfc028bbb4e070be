#pragma once
// A minimal writer of version-1 FAR archives, for generating test data only: the editor itself
// never writes archives.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace scrivet {

struct FarMember {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Signature, version 1, manifest offset; the files back to back; then the manifest with 4-byte
// name lengths.
inline std::vector<uint8_t> BuildFarArchive(const std::vector<FarMember>& members) {
  std::vector<uint8_t> out = {'F', 'A', 'R', '!', 'b', 'y', 'A', 'Z'};
  auto put32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(1);
  put32(0);  // manifest offset, patched below
  std::vector<uint32_t> offsets;
  for (const FarMember& member : members) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    out.insert(out.end(), member.bytes.begin(), member.bytes.end());
  }
  const uint32_t manifest = static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) out[12 + i] = static_cast<uint8_t>(manifest >> (8 * i));
  put32(static_cast<uint32_t>(members.size()));
  for (size_t i = 0; i < members.size(); ++i) {
    put32(static_cast<uint32_t>(members[i].bytes.size()));
    put32(static_cast<uint32_t>(members[i].bytes.size()));
    put32(offsets[i]);
    put32(static_cast<uint32_t>(members[i].name.size()));
    out.insert(out.end(), members[i].name.begin(), members[i].name.end());
  }
  return out;
}

}  // namespace scrivet
