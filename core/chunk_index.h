#pragma once
// The container's lookup from (type, id) to chunk: an open-addressing table, so that listing a
// file of many chunks costs no allocation per chunk.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scrivet {

class IffChunk;

class ChunkIndex {
 public:
  static uint64_t Key(uint32_t type, uint16_t id) { return (uint64_t(type) << 16) | id; }

  void Clear() {
    slots_.clear();
    size_ = 0;
  }
  size_t Size() const { return size_; }
  // Room for n entries without growing.
  void Reserve(size_t n) {
    size_t want = 16;
    while (want / 2 < n) want *= 2;
    if (want > slots_.size()) Rehash(want);
  }

  IffChunk* Find(uint64_t key) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = Home(key);; i = (i + 1) & Mask()) {
      const Slot& s = slots_[i];
      if (s.key == key) return s.chunk;
      if (s.key == kEmpty) return nullptr;
    }
  }
  // Adds the entry unless the key is present; false (and nothing changed) when it is.
  bool Insert(uint64_t key, IffChunk* chunk) { return Put(key, chunk, false); }
  void Assign(uint64_t key, IffChunk* chunk) { Put(key, chunk, true); }
  void Erase(uint64_t key) {
    if (slots_.empty()) return;
    size_t i = Home(key);
    while (slots_[i].key != key) {
      if (slots_[i].key == kEmpty) return;
      i = (i + 1) & Mask();
    }
    // Backward shift: later entries of the probe run move up so that no search stops early.
    for (size_t j = (i + 1) & Mask(); slots_[j].key != kEmpty; j = (j + 1) & Mask()) {
      const size_t home = Home(slots_[j].key);
      // Entry j may fill the hole at i when its home does not lie cyclically in (i, j].
      if (((j - home) & Mask()) >= ((j - i) & Mask())) {
        slots_[i] = slots_[j];
        i = j;
      }
    }
    slots_[i] = Slot{};
    --size_;
  }

 private:
  // Keys have 48 bits, so this one is never a real key.
  static constexpr uint64_t kEmpty = ~uint64_t(0);
  struct Slot {
    uint64_t key = kEmpty;
    IffChunk* chunk = nullptr;
  };

  size_t Mask() const { return slots_.size() - 1; }
  size_t Home(uint64_t key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> 32) & Mask(); }

  bool Put(uint64_t key, IffChunk* chunk, bool replace) {
    if ((size_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
    for (size_t i = Home(key);; i = (i + 1) & Mask()) {
      Slot& s = slots_[i];
      if (s.key == key) {
        if (replace) s.chunk = chunk;
        return false;
      }
      if (s.key == kEmpty) {
        s = Slot{key, chunk};
        ++size_;
        return true;
      }
    }
  }

  void Rehash(size_t count) {
    std::vector<Slot> old(count);
    old.swap(slots_);
    for (const Slot& s : old)
      if (s.key != kEmpty)
        for (size_t i = Home(s.key);; i = (i + 1) & Mask())
          if (slots_[i].key == kEmpty) {
            slots_[i] = s;
            break;
          }
  }

  std::vector<Slot> slots_;
  size_t size_ = 0;
};

}  // namespace scrivet
