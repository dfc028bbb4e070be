#pragma once
// Builders for raw IFF and FAR bytes, so tests can lay out files that the writer would never
// produce: odd sizes, flags, names without a terminator, maps that disagree with the chunks.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace scrivet::testbytes {

using Bytes = std::vector<uint8_t>;

inline void PutU16BE(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
inline void PutU32BE(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
}
inline void PutU16LE(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void PutU32LE(Bytes& b, uint32_t v) {
  for (int shift = 0; shift <= 24; shift += 8) b.push_back(uint8_t(v >> shift));
}
inline void PutText(Bytes& b, std::string_view text) { b.insert(b.end(), text.begin(), text.end()); }
inline void SetU32BE(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}
inline uint32_t GetU32BE(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
inline uint32_t GetU32LE(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline uint16_t GetU16LE(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

inline Bytes Filled(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 7);
  return b;
}

// One resource map entry as the builder writes it.
struct MapEntry {
  std::string type;
  uint32_t offset = 0;
  uint16_t id = 0;
  uint16_t flags = 0x0010;
  std::string name;
};

class IffBuilder {
 public:
  // Version text for bytes 9-11 ("2.5", "2.0", or anything else for error tests).
  explicit IffBuilder(std::string_view version = "2.5") {
    PutText(bytes_, "IFF FILE ");
    PutText(bytes_, version.substr(0, 3));
    bytes_.resize(12, ' ');
    PutText(bytes_, ":TYPE FOLLOWED BY SIZE");
    bytes_.push_back(0);
    PutText(bytes_, " JAMIE DOORNBOS & MAXIS 1996");
    bytes_.push_back(0);
    // Version 2.0 files carry the tail of the text ("996" and a zero) where 2.5 has the map offset.
  }

  // Appends a chunk whose size field is 76 + data length (or `sizeField` when given).
  // A name of 64 bytes or more fills the whole field with no terminator. Returns the header offset.
  uint32_t Chunk(std::string_view type, uint16_t id, uint16_t flags, std::string_view name,
                 const Bytes& data, int64_t sizeField = -1) {
    uint32_t at = uint32_t(bytes_.size());
    PutText(bytes_, type.substr(0, 4));
    PutU32BE(bytes_, sizeField >= 0 ? uint32_t(sizeField) : uint32_t(76 + data.size()));
    PutU16BE(bytes_, id);
    PutU16BE(bytes_, flags);
    Bytes field(64, 0);
    std::memcpy(field.data(), name.data(), std::min<size_t>(name.size(), 64));
    bytes_.insert(bytes_.end(), field.begin(), field.end());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return at;
  }

  // Appends a resource map chunk listing `entries` (grouped by type in first-occurrence order
  // unless `asGiven`, which writes one group per entry) and points the header at it.
  uint32_t Map(const std::vector<MapEntry>& entries, bool asGiven = false, bool pointHeader = true) {
    uint32_t at = Chunk("rsmp", 0, 0x0010, "", MapData(entries, asGiven));
    if (pointHeader) SetMapOffset(at);
    return at;
  }

  static Bytes MapData(const std::vector<MapEntry>& entries, bool asGiven = false) {
    std::vector<std::vector<const MapEntry*>> groups;
    for (const MapEntry& e : entries) {
      bool placed = false;
      if (!asGiven)
        for (auto& g : groups)
          if (g.front()->type == e.type) {
            g.push_back(&e);
            placed = true;
            break;
          }
      if (!placed) groups.push_back({&e});
    }
    Bytes d;
    PutU32LE(d, 0);
    PutU32LE(d, 0);
    PutText(d, "pmsr");
    PutU32LE(d, 0);  // size: readers must not rely on it
    PutU32LE(d, uint32_t(groups.size()));
    for (const auto& g : groups) {
      const std::string& t = g.front()->type;
      d.insert(d.end(), t.rbegin(), t.rend());
      PutU32LE(d, uint32_t(g.size()));
      for (const MapEntry* e : g) {
        PutU32LE(d, e->offset);
        PutU16LE(d, e->id);
        PutU16LE(d, e->flags);
        PutText(d, e->name);
        d.push_back(0);
        if (d.size() % 2) d.push_back(0xA3);
      }
    }
    return d;
  }

  void SetMapOffset(uint32_t offset) { SetU32BE(bytes_, 60, offset); }
  void Raw(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  uint32_t Size() const { return uint32_t(bytes_.size()); }
  Bytes& BytesRef() { return bytes_; }
  const Bytes& Get() const { return bytes_; }

 private:
  Bytes bytes_;
};

// FAR archives: files are laid out right after the 16-byte header, the manifest after them.
class FarBuilder {
 public:
  struct Entry {
    std::string name;
    uint32_t firstSize, dataSize, dataOffset;
  };

  explicit FarBuilder(bool twoByteNameLengths = false, uint32_t version = 1)
      : twoByte_(twoByteNameLengths), version_(version) {}

  // Adds a file with its bytes; returns its data offset.
  uint32_t File(std::string name, const Bytes& data) {
    uint32_t offset = uint32_t(16 + data_.size());
    data_.insert(data_.end(), data.begin(), data.end());
    entries_.push_back({std::move(name), uint32_t(data.size()), uint32_t(data.size()), offset});
    return offset;
  }
  // Adds a manifest entry with any numbers (no file bytes).
  void RawEntry(std::string name, uint32_t dataSize, uint32_t dataOffset) {
    entries_.push_back({std::move(name), dataSize, dataSize, dataOffset});
  }

  // countField < 0 writes the real entry count.
  Bytes Build(int64_t countField = -1) const {
    Bytes b;
    PutText(b, "FAR!byAZ");
    PutU32LE(b, version_);
    PutU32LE(b, uint32_t(16 + data_.size()));
    b.insert(b.end(), data_.begin(), data_.end());
    PutU32LE(b, countField >= 0 ? uint32_t(countField) : uint32_t(entries_.size()));
    for (const Entry& e : entries_) {
      PutU32LE(b, e.firstSize);
      PutU32LE(b, e.dataSize);
      PutU32LE(b, e.dataOffset);
      if (twoByte_)
        PutU16LE(b, uint16_t(e.name.size()));
      else
        PutU32LE(b, uint32_t(e.name.size()));
      PutText(b, e.name);
    }
    return b;
  }
  uint32_t ManifestOffset() const { return uint32_t(16 + data_.size()); }

 private:
  bool twoByte_;
  uint32_t version_;
  Bytes data_;
  std::vector<Entry> entries_;
};

}  // namespace scrivet::testbytes
