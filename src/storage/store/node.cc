#include "storage/store/node.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "storage/store/byte_order.h"
#include "storage/store/format.h"

namespace tavo {
namespace {

// About 32 MiB of clean nodes at the default node size.
constexpr size_t kCacheBudgetBytes = size_t{32} << 20;

}  // namespace

std::unique_ptr<Node> Node::Make(uint32_t offset, uint32_t capacity, uint32_t word_count) {
  static_assert(sizeof(Node) % alignof(uint32_t) == 0);
  void* raw = ::operator new(sizeof(Node) + sizeof(uint32_t) * size_t{word_count});
  auto* words = reinterpret_cast<uint32_t*>(static_cast<char*>(raw) + sizeof(Node));
  std::uninitialized_fill_n(words, word_count, 0u);
  std::unique_ptr<Node> node(new (raw) Node);
  node->offset = offset;
  node->capacity = capacity;
  node->word_count = word_count;
  node->words = words;
  return node;
}

int Node::SearchLastAtMost(uint32_t code) const noexcept {
  // The number of entries at most `code` stays within [base, base + n]; each
  // round halves n with a select on the codes rather than a jump, which the
  // processor would mispredict half the time.
  size_t n = count();
  if (n == 0) return -1;
  const uint32_t* codes = words + 3;
  size_t base = 0;
  while (n > 1) {
    const size_t half = n / 2;
    base = codes[2 * (base + half)] <= code ? base + half : base;
    n -= half;
  }
  return static_cast<int>(base + (codes[2 * base] <= code)) - 1;
}

void Node::InsertEntry(uint32_t code, uint32_t value) noexcept {
  const uint32_t at = static_cast<uint32_t>(SearchLastAtMost(code) + 1);
  const uint32_t n = count();
  std::memmove(&words[3 + 2 * (at + 1)], &words[3 + 2 * at], 8 * size_t{n - at});
  set_entry(at, code, value);
  set_count(n + 1);
}

void Node::RemoveEntry(uint32_t index) noexcept {
  const uint32_t n = count();
  std::memmove(&words[3 + 2 * index], &words[3 + 2 * (index + 1)], 8 * size_t{n - index - 1});
  set_entry(n - 1, 0, 0);
  set_count(n - 1);
}

uint32_t NodeStore::entry_capacity() const noexcept { return NodeEntryCapacity(node_size_); }

StoreStatus NodeStore::Get(uint32_t offset, Node** out) {
  if (Node* cached = cache_.Find(offset); cached != nullptr) {
    cached->used = true;
    *out = cached;
    return kStoreOk;
  }
  if (entry_capacity() == 0) return kStoreNodeTooSmall;
  if (offset % 4 != 0 || offset < kFirstContent) return kStoreNodeNotANode;
  if (offset + uint64_t{node_size_} > allocator_->end()) return kStoreNodeBeyondEnd;
  buffer_.resize(4 + size_t{node_size_});
  size_t got = 0;
  if (int err = file_->Read(offset - 4, buffer_.data(), buffer_.size(), &got); err != 0) {
    return StoreStatusFromErrno(err);
  }
  if (got != buffer_.size()) return kStoreNodeBeyondEnd;
  const uint32_t tag = LoadWord(buffer_.data(), swap_);
  if (TagKind(tag) != BlockKind::kNode || TagCapacity(tag) < node_size_) return kStoreNodeNotANode;
  // The whole block is written back: it must lie inside the file.
  if (offset + uint64_t{TagCapacity(tag)} > allocator_->end()) return kStoreNodeBeyondEnd;
  const uint32_t capacity = entry_capacity();
  auto node = Node::Make(offset, TagCapacity(tag), 3 + 2 * capacity);
  const size_t word_bytes = 4 * size_t{node->word_count};
  std::memcpy(node->words, buffer_.data() + 4, word_bytes);
  if (swap_) SwapWords(reinterpret_cast<uint8_t*>(node->words), word_bytes);
  if (node->words[0] > 1 || node->count() > capacity) return kStoreNodeDamaged;
  *out = cache_.Put(offset, std::move(node));
  return kStoreOk;
}

StoreStatus NodeStore::Create(bool leaf, Node** out) {
  const uint32_t capacity = entry_capacity();
  if (capacity < 2) return kStoreNodeTooSmall;
  Block block;
  if (StoreStatus s = allocator_->Allocate(node_size_, &block); s != kStoreOk) return s;
  auto node = Node::Make(block.offset, block.capacity, 3 + 2 * capacity);
  node->words[0] = leaf ? 1 : 0;
  *out = cache_.Put(block.offset, std::move(node));
  MarkDirty(*out);
  return kStoreOk;
}

void NodeStore::MarkDirty(Node* node) {
  if (node->dirty) return;
  node->dirty = true;
  dirty_.push_back(node->offset);
}

StoreStatus NodeStore::Release(Node* node) {
  const Block block{node->offset, node->capacity};
  if (node->dirty) {
    dirty_.erase(std::find(dirty_.begin(), dirty_.end(), node->offset));
  }
  cache_.Erase(block.offset);
  last_leaves_.fill({});
  return allocator_->Free(block);
}

namespace {

size_t LastLeafSlotOf(uint32_t root, size_t slots) noexcept {
  return static_cast<size_t>(((root >> 2) * 0x9E3779B1u) >> 22) % slots;
}

}  // namespace

uint32_t NodeStore::LastLeaf(uint32_t root) const noexcept {
  const LastLeafSlot& slot = last_leaves_[LastLeafSlotOf(root, kLastLeafSlots)];
  return slot.root == root ? slot.leaf : 0;
}

void NodeStore::RememberLastLeaf(uint32_t root, uint32_t leaf) noexcept {
  last_leaves_[LastLeafSlotOf(root, kLastLeafSlots)] = {root, leaf};
}

StoreStatus NodeStore::Write(Node* node) {
  // The whole block is written, so that the file always reaches its end.
  buffer_.assign(4 + size_t{node->capacity}, 0);
  StoreWord(buffer_.data(), BlockTag(BlockKind::kNode, node->capacity), swap_);
  // Whole words, swapped in place: a node's words fit its block.
  const size_t word_bytes = 4 * size_t{node->word_count};
  std::memcpy(buffer_.data() + 4, node->words, word_bytes);
  if (swap_) SwapWords(buffer_.data() + 4, word_bytes);
  if (int err = file_->Write(node->offset - 4, buffer_.data(), buffer_.size()); err != 0) {
    return StoreStatusFromErrno(err);
  }
  return kStoreOk;
}

StoreStatus NodeStore::WriteDirty() {
  // In file order, so a flush is as sequential as it can be.
  std::sort(dirty_.begin(), dirty_.end());
  while (!dirty_.empty()) {
    Node* node = cache_.Find(dirty_.back());
    if (StoreStatus s = Write(node); s != kStoreOk) return s;
    node->dirty = false;
    dirty_.pop_back();
  }
  return kStoreOk;
}

void NodeStore::Trim() {
  const size_t budget = std::max<size_t>(1024, kCacheBudgetBytes / (node_size_ + 96));
  if (cache_.size() <= budget) return;
  const size_t target = budget * 3 / 4;
  // Leaves go first: every descent passes the few inner nodes. A node used
  // since the last look loses its mark instead of its place, unless every
  // node was used.
  for (const bool spare_used : {true, false}) {
    for (const bool leaves : {true, false}) {
      cache_.Filter([&](Node& node) {
        if (cache_.size() <= target) return true;
        const bool keep = node.dirty || node.leaf() != leaves || (spare_used && node.used);
        if (spare_used && node.leaf() == leaves) node.used = false;
        return keep;
      });
    }
  }
}

}  // namespace tavo
