#pragma once
// Builders of raw IFF and FAR bytes, so tests (and the fuzzers' seed generator) can lay out files
// that the writer would never produce: odd sizes, flags, names without a terminator, stale maps.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivet::testbytes {

using Bytes = std::vector<uint8_t>;

// The low `n` bytes of `v`, most significant first when `big`.
inline void Put(Bytes& b, uint32_t v, int n, bool big) {
  for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> 8 * (big ? n - 1 - i : i)));
}
inline uint32_t Peek(const Bytes& b, size_t at, int n, bool big) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v |= uint32_t(b.at(at + i)) << 8 * (big ? n - 1 - i : i);
  return v;
}
inline void PutText(Bytes& b, std::string_view text) { b.insert(b.end(), text.begin(), text.end()); }

inline void PutU16BE(Bytes& b, uint16_t v) { Put(b, v, 2, true); }
inline void PutU32BE(Bytes& b, uint32_t v) { Put(b, v, 4, true); }

inline Bytes Filled(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 7);
  return b;
}

// One resource map entry as the builder writes it.
struct MapEntry {
  std::string type;
  uint32_t offset = 0;
  uint16_t id = 0, flags = 0x0010;
  std::string name;
};

class IffBuilder {
 public:
  explicit IffBuilder(std::string_view version = "2.5") {
    PutText(bytes_, "IFF FILE ");
    PutText(bytes_, version.substr(0, 3));
    bytes_.resize(12, ' ');
    PutText(bytes_, ":TYPE FOLLOWED BY SIZE");
    bytes_.push_back(0);
    PutText(bytes_, " JAMIE DOORNBOS & MAXIS 1996");  // 2.5 files hold the map offset where "996" is
    bytes_.push_back(0);
  }

  // A chunk header: the size field is 76 + `dataSize`; a name of 64 bytes or more fills the whole
  // field with no terminator.
  static Bytes Header(std::string_view type, uint32_t dataSize, uint16_t id = 7, uint16_t flags = 0x10,
                      std::string_view name = "") {
    Bytes h;
    PutText(h, type.substr(0, 4));
    Put(h, 76 + dataSize, 4, true);
    Put(h, id, 2, true);
    Put(h, flags, 2, true);
    PutText(h, name.substr(0, 64));
    h.resize(76, 0);
    return h;
  }

  // Appends a chunk (its size field 76 + data length, or `sizeField`); returns the header offset.
  uint32_t Chunk(std::string_view type, uint16_t id, uint16_t flags, std::string_view name,
                 const Bytes& data, int64_t sizeField = -1) {
    uint32_t at = uint32_t(bytes_.size());
    Raw(Header(type, sizeField >= 0 ? uint32_t(sizeField - 76) : uint32_t(data.size()), id, flags, name));
    Raw(data);
    return at;
  }

  // Appends a resource map chunk listing `entries`, grouped by type in first-occurrence order, and
  // points the header at it.
  uint32_t Map(const std::vector<MapEntry>& entries) {
    uint32_t at = Chunk("rsmp", 0, 0x0010, "", MapData(entries));
    SetMapOffset(at);
    return at;
  }

  static Bytes MapData(const std::vector<MapEntry>& entries) {
    std::vector<std::string> types;  // in first-occurrence order
    for (const MapEntry& e : entries)
      if (std::find(types.begin(), types.end(), e.type) == types.end()) types.push_back(e.type);
    Bytes d(8, 0);
    PutText(d, "pmsr");
    Put(d, 0, 4, false);  // size: readers must not rely on it
    Put(d, uint32_t(types.size()), 4, false);
    for (const std::string& t : types) {
      d.insert(d.end(), t.rbegin(), t.rend());
      Put(d, uint32_t(std::count_if(entries.begin(), entries.end(), [&](auto& e) { return e.type == t; })), 4, false);
      for (const MapEntry& e : entries) {
        if (e.type != t) continue;
        Put(d, e.offset, 4, false);
        Put(d, e.id | e.flags << 16, 4, false);
        PutText(d, e.name);
        d.push_back(0);
        if (d.size() % 2) d.push_back(0xA3);
      }
    }
    return d;
  }

  void SetMapOffset(uint32_t offset) {
    for (int i = 0; i < 4; ++i) bytes_[60 + i] = uint8_t(offset >> (24 - 8 * i));
  }
  void SetVersion(std::string_view version) { std::copy_n(version.begin(), 3, bytes_.begin() + 9); }
  void Raw(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  uint32_t Size() const { return uint32_t(bytes_.size()); }
  const Bytes& Get() const { return bytes_; }

 private:
  Bytes bytes_;
};

// FAR archives: files are laid out right after the 16-byte header, the manifest after them.
class FarBuilder {
 public:
  explicit FarBuilder(bool twoByteNameLengths = false, uint32_t version = 1)
      : twoByte_(twoByteNameLengths), version_(version) {}
  void File(const std::string& name, const Bytes& data) {
    RawEntry(name, uint32_t(data.size()), ManifestOffset());
    data_.insert(data_.end(), data.begin(), data.end());
  }
  // Adds a manifest entry with any numbers (no file bytes).
  void RawEntry(const std::string& name, uint32_t dataSize, uint32_t dataOffset) {
    Put(manifest_, dataSize, 4, false);  // twice: the size before and after compression
    Put(manifest_, dataSize, 4, false);
    Put(manifest_, dataOffset, 4, false);
    Put(manifest_, uint32_t(name.size()), twoByte_ ? 2 : 4, false);
    PutText(manifest_, name);
    ++count_;
  }

  Bytes Build() const {
    Bytes b;
    PutText(b, "FAR!byAZ");
    Put(b, version_, 4, false);
    Put(b, ManifestOffset(), 4, false);
    b.insert(b.end(), data_.begin(), data_.end());
    Put(b, count_, 4, false);
    b.insert(b.end(), manifest_.begin(), manifest_.end());
    return b;
  }
  uint32_t ManifestOffset() const { return uint32_t(16 + data_.size()); }

 private:
  bool twoByte_;
  uint32_t version_, count_ = 0;
  Bytes data_, manifest_;
};

}  // namespace scrivet::testbytes
