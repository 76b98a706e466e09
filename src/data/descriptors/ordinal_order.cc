// The list after the head is kept as a sequence of blocks, each knowing the
// largest ordinal it holds, so that "the first item with an ordinal >= x"
// skips whole blocks: a document of 65,535 items in any order costs a few
// tens of millions of steps instead of billions.
#include "data/descriptors/ordinal_order.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace tavo {
namespace {

constexpr size_t kBlockSize = 256;  // a block splits in two when it reaches twice this

struct Block {
  std::vector<uint32_t> members;  // document indexes, in list order
  int32_t max_ordinal = std::numeric_limits<int32_t>::min();
};

class OrderedList {
 public:
  explicit OrderedList(std::span<const int32_t> ordinals) : ordinals_(ordinals) {}

  void Insert(uint32_t index) {
    const int32_t ordinal = ordinals_[index];
    if (!head_) {
      head_ = index;
    } else if (ordinal == 0) {
      Append(index);
    } else if (ordinal < ordinals_[*head_]) {
      PushFront(*head_);
      head_ = index;
    } else {
      InsertBeforeFirstNotSmaller(index);
    }
  }

  std::vector<uint32_t> Take() {
    std::vector<uint32_t> order;
    if (head_) order.push_back(*head_);
    for (const Block& b : blocks_) order.insert(order.end(), b.members.begin(), b.members.end());
    return order;
  }

 private:
  void Add(Block& block, std::vector<uint32_t>::iterator at, uint32_t index) {
    block.members.insert(at, index);
    block.max_ordinal = std::max(block.max_ordinal, ordinals_[index]);
  }

  void Append(uint32_t index) {
    if (blocks_.empty() || blocks_.back().members.size() >= kBlockSize) blocks_.emplace_back();
    Add(blocks_.back(), blocks_.back().members.end(), index);
  }

  void PushFront(uint32_t index) {
    if (blocks_.empty()) blocks_.emplace_back();
    Add(blocks_.front(), blocks_.front().members.begin(), index);
    SplitIfFull(0);
  }

  void InsertBeforeFirstNotSmaller(uint32_t index) {
    const int32_t ordinal = ordinals_[index];
    for (size_t b = 0; b < blocks_.size(); ++b) {
      Block& block = blocks_[b];
      if (block.max_ordinal < ordinal) continue;
      auto at = std::find_if(block.members.begin(), block.members.end(),
                             [&](uint32_t m) { return ordinals_[m] >= ordinal; });
      Add(block, at, index);
      SplitIfFull(b);
      return;
    }
    Append(index);
  }

  void SplitIfFull(size_t b) {
    if (blocks_[b].members.size() < 2 * kBlockSize) return;
    Block tail;
    tail.members.assign(blocks_[b].members.begin() + kBlockSize, blocks_[b].members.end());
    blocks_[b].members.resize(kBlockSize);
    blocks_[b].max_ordinal = MaxOf(blocks_[b].members);
    tail.max_ordinal = MaxOf(tail.members);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
  }

  int32_t MaxOf(const std::vector<uint32_t>& members) const {
    int32_t m = std::numeric_limits<int32_t>::min();
    for (uint32_t i : members) m = std::max(m, ordinals_[i]);
    return m;
  }

  std::span<const int32_t> ordinals_;
  std::optional<uint32_t> head_;
  std::vector<Block> blocks_;  // the list after the head
};

}  // namespace

std::vector<uint32_t> OrderByOrdinal(std::span<const int32_t> ordinals) {
  OrderedList list(ordinals);
  for (uint32_t i = 0; i < ordinals.size(); ++i) list.Insert(i);
  return list.Take();
}

}  // namespace tavo
