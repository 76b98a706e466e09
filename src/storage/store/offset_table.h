// The node cache's table: values (nodes) by file offset in one
// open-addressed array, so that finding a cached node costs one probe into
// memory that holds the offsets themselves (a chained hash map reads a list
// node first, and that miss was a fifth of an index insert's time). Values
// are owned through unique_ptr, so a pointer to one stays valid while the
// table grows; it is freed when its entry is erased.
//
// Slots hold an offset (a multiple of 4 of at least 516), kEmpty, or
// kErased. Erasing leaves kErased, so that a walk over the slots may erase
// as it goes; the table is rebuilt without them once they and the live
// entries fill three quarters of it.
#ifndef TAVO_STORAGE_STORE_OFFSET_TABLE_H_
#define TAVO_STORAGE_STORE_OFFSET_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tavo {

template <typename Value>
class OffsetTable {
 public:
  size_t size() const noexcept { return size_; }

  Value* Find(uint32_t offset) const noexcept {
    if (slots_.empty()) return nullptr;
    for (size_t i = Home(offset);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.offset == offset) return slot.value.get();
      if (slot.offset == kEmpty) return nullptr;
    }
  }

  // Puts the value under the offset, replacing one held there. Throws
  // std::bad_alloc (before anything changes).
  Value* Put(uint32_t offset, std::unique_ptr<Value> value) {
    if ((size_ + erased_ + 1) * 4 > slots_.size() * 3) Rebuild(size_ + 1);
    size_t at = SIZE_MAX;
    for (size_t i = Home(offset);; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.offset == offset) {
        slot.value = std::move(value);
        return slot.value.get();
      }
      if (slot.offset == kErased && at == SIZE_MAX) at = i;
      if (slot.offset == kEmpty) {
        if (at == SIZE_MAX) at = i;
        break;
      }
    }
    Slot& slot = slots_[at];
    if (slot.offset == kErased) --erased_;
    slot.offset = offset;
    slot.value = std::move(value);
    ++size_;
    return slot.value.get();
  }

  void Erase(uint32_t offset) noexcept {
    if (slots_.empty()) return;
    for (size_t i = Home(offset);; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.offset == offset) {
        EraseSlot(slot);
        return;
      }
      if (slot.offset == kEmpty) return;
    }
  }

  // Calls keep(Value&) for every value, erasing those it returns false for.
  template <typename Keep>
  void Filter(Keep keep) noexcept {
    for (Slot& slot : slots_) {
      if (slot.offset != kEmpty && slot.offset != kErased && !keep(*slot.value)) EraseSlot(slot);
    }
  }

 private:
  static constexpr uint32_t kEmpty = 0;
  static constexpr uint32_t kErased = 1;

  struct Slot {
    uint32_t offset = kEmpty;
    std::unique_ptr<Value> value;
  };

  size_t Home(uint32_t offset) const noexcept {
    // Offsets are multiples of 4; the multiplier spreads the rest.
    return static_cast<size_t>(((offset >> 2) * 0x9E3779B1u) >> shift_) & mask_;
  }

  void EraseSlot(Slot& slot) noexcept {
    slot.offset = kErased;
    slot.value.reset();
    --size_;
    ++erased_;
  }

  void Rebuild(size_t live) {
    size_t capacity = 16;
    while (capacity * 3 < live * 4 + 4) capacity *= 2;
    capacity *= 2;
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    mask_ = capacity - 1;
    int bits = 0;
    while ((size_t{1} << bits) < capacity) ++bits;
    shift_ = 32 - bits;
    size_ = 0;
    erased_ = 0;
    for (Slot& slot : old) {
      if (slot.offset == kEmpty || slot.offset == kErased) continue;
      size_t i = Home(slot.offset);
      while (slots_[i].offset != kEmpty) i = (i + 1) & mask_;
      slots_[i] = std::move(slot);
      ++size_;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  int shift_ = 32;
  size_t size_ = 0;
  size_t erased_ = 0;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_OFFSET_TABLE_H_
