// Index nodes and the cache that holds them.
//
// Node layout, node-size bytes, all words in the file's byte order:
//
//   WORD        LEAF NODE                          INNER NODE
//   0           1                                  0
//   1           number of entries                  number of entries
//   2           offset of the next leaf, 0 = last  child holding codes below entry 0
//   3 + 2i      entry i: key code                  entry i: key code
//   4 + 2i      entry i: a record position, or     entry i: child holding codes from
//               the root of a tree of the          this code up to the next entry's
//               records sharing the code | 1 or 2
//
// Entries are in ascending code order; a tree holds each code once. How
// several records that share a code are held is key_index.cc's.
//
// Nodes are read through the cache and changed in memory; changed nodes stay
// pinned until the next flush writes them. When the cache grows past its
// budget, clean nodes not used since it last looked are dropped (a second
// chance for the rest), leaves before inner nodes, only between operations.
#ifndef TAVO_STORAGE_STORE_NODE_H_
#define TAVO_STORAGE_STORE_NODE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/fs/env.h"
#include "storage/store/block_allocator.h"
#include "storage/store/offset_table.h"
#include "storage/store/status.h"

namespace tavo {

// A node and its words live in one allocation (Node::Make), so that a visit
// misses the cache once for the node rather than once more for its words.
struct Node {
  uint32_t offset = 0;
  uint32_t capacity = 0;  // of its block
  bool dirty = false;
  bool used = true;  // since the cache last looked: a node in use keeps its place
  uint32_t word_count = 0;  // 3 + 2 * entry capacity
  uint32_t* words = nullptr;  // native order, right behind the node

  Node() = default;
  Node(const Node&) = delete;  // its words are not its own to copy
  Node& operator=(const Node&) = delete;

  // A node of `word_count` zero words. Throws std::bad_alloc.
  static std::unique_ptr<Node> Make(uint32_t offset, uint32_t capacity, uint32_t word_count);
  // Unsized: the allocation is larger than a Node.
  static void operator delete(void* node) noexcept { ::operator delete(node); }

  bool leaf() const noexcept { return words[0] == 1; }
  uint32_t count() const noexcept { return words[1]; }
  uint32_t link() const noexcept { return words[2]; }
  uint32_t code(uint32_t i) const noexcept { return words[3 + 2 * i]; }
  uint32_t value(uint32_t i) const noexcept { return words[4 + 2 * i]; }
  void set_count(uint32_t n) noexcept { words[1] = n; }
  void set_link(uint32_t v) noexcept { words[2] = v; }
  void set_entry(uint32_t i, uint32_t code, uint32_t value) noexcept {
    words[3 + 2 * i] = code;
    words[4 + 2 * i] = value;
  }
  void set_value(uint32_t i, uint32_t value) noexcept { words[4 + 2 * i] = value; }

  // Index of the last entry whose code is at most `code`, -1 when below all.
  int SearchLastAtMost(uint32_t code) const noexcept;
  // Inserts at the place that keeps codes ascending; the node has room.
  void InsertEntry(uint32_t code, uint32_t value) noexcept;
  void RemoveEntry(uint32_t index) noexcept;
};

class NodeStore {
 public:
  NodeStore(File* file, bool swap, uint32_t node_size, BlockAllocator* allocator)
      : file_(file), swap_(swap), node_size_(node_size), allocator_(allocator) {}

  uint32_t node_size() const noexcept { return node_size_; }
  uint32_t entry_capacity() const noexcept;

  // A node by offset: checked to be an aligned node block inside the file,
  // with a valid leaf flag and count.
  StoreStatus Get(uint32_t offset, Node** out);
  StoreStatus Create(bool leaf, Node** out);
  void MarkDirty(Node* node);
  // Gives a node's block back; the node must not be used afterwards.
  StoreStatus Release(Node* node);
  StoreStatus WriteDirty();
  // Drops clean nodes beyond the budget. Call only between operations.
  void Trim();
  bool has_dirty() const noexcept { return !dirty_.empty(); }
  size_t dirty_count() const noexcept { return dirty_.size(); }
  // The last leaf (the one ending the leaf chain) of the tree at `root`, as
  // a descent found it; 0 when not known. A hint only: its user checks the
  // leaf still ends the chain. Forgotten whenever a node is released, so an
  // offset never names a node that has since joined another tree.
  uint32_t LastLeaf(uint32_t root) const noexcept;
  void RememberLastLeaf(uint32_t root, uint32_t leaf) noexcept;
  // How many nodes the file could hold: the bound of any walk.
  uint64_t MaxNodes() const noexcept { return allocator_->end() / (node_size_ + 4) + 1; }

 private:
  StoreStatus Write(Node* node);

  File* file_;
  bool swap_;
  uint32_t node_size_;
  BlockAllocator* allocator_;
  OffsetTable<Node> cache_;
  std::vector<uint32_t> dirty_;
  std::vector<uint8_t> buffer_;
  // Direct-mapped by root: a root per slot, a newer one replacing it. Enough
  // for the trees one insert grows (a key tree and a position tree for each
  // key with a few hundred values).
  struct LastLeafSlot {
    uint32_t root = 0;
    uint32_t leaf = 0;
  };
  static constexpr size_t kLastLeafSlots = 1024;
  std::array<LastLeafSlot, kLastLeafSlots> last_leaves_{};
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_NODE_H_
