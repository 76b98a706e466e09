// SlotIndex: a hash index from a key of the writer's choice to view slots
// (linear probing, at most half full, removal by shifting back). It stores
// slots only; the caller hashes keys and compares them through the slots,
// so an index costs 8 bytes per track.
#ifndef TAVO_GENERATION_ENGINE_SLOT_INDEX_H_
#define TAVO_GENERATION_ENGINE_SLOT_INDEX_H_

#include <cstdint>
#include <vector>

namespace tavo {

class SlotIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  SlotIndex() : table_(64, kNone) {}

  // The stored slot under hash `h` for which same(slot) holds, or kNone.
  template <class Same>
  uint32_t Find(uint32_t h, Same&& same) const {
    const size_t mask = table_.size() - 1;
    for (size_t at = h & mask; table_[at] != kNone; at = (at + 1) & mask) {
      if (same(table_[at])) return table_[at];
    }
    return kNone;
  }

  // Stores `slot` under `h`; hash_of(s) gives the hash of any stored slot.
  // Throws std::bad_alloc.
  template <class HashOf>
  void Insert(uint32_t h, uint32_t slot, HashOf&& hash_of) {
    if ((count_ + 1) * 2 > table_.size()) Grow(hash_of);
    const size_t mask = table_.size() - 1;
    size_t at = h & mask;
    while (table_[at] != kNone) at = (at + 1) & mask;
    table_[at] = slot;
    ++count_;
  }

  // Removes `slot`, stored under `h`.
  template <class HashOf>
  void Erase(uint32_t h, uint32_t slot, HashOf&& hash_of) {
    const size_t mask = table_.size() - 1;
    size_t hole = h & mask;
    while (table_[hole] != slot) {
      if (table_[hole] == kNone) return;
      hole = (hole + 1) & mask;
    }
    // Shift later members of the probe run back over the hole.
    for (size_t at = (hole + 1) & mask; table_[at] != kNone; at = (at + 1) & mask) {
      const size_t home = hash_of(table_[at]) & mask;
      const bool stays = hole <= at ? (hole < home && home <= at) : (hole < home || home <= at);
      if (stays) continue;
      table_[hole] = table_[at];
      hole = at;
    }
    table_[hole] = kNone;
    --count_;
  }

  size_t MemoryBytes() const { return table_.size() * sizeof(uint32_t); }

 private:
  template <class HashOf>
  void Grow(HashOf& hash_of) {
    std::vector<uint32_t> old(table_.size() * 2, kNone);
    old.swap(table_);
    const size_t mask = table_.size() - 1;
    for (uint32_t slot : old) {
      if (slot == kNone) continue;
      size_t at = hash_of(slot) & mask;
      while (table_[at] != kNone) at = (at + 1) & mask;
      table_[at] = slot;
    }
  }

  std::vector<uint32_t> table_;
  size_t count_ = 0;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_SLOT_INDEX_H_
