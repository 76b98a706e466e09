// One key's tree: a B+tree from 32-bit key codes to 32-bit values, in nodes of
// the cache. Used for the key trees (values are record positions or duplicate
// roots) and for duplicate trees (codes and values are record positions).
//
// Splits follow the file's rule so that any two writers of this format build
// the same tree from the same insertions; with an odd entry capacity an inner
// split puts a code that falls left of the separator into the left node (the
// rule as written puts it right, where no search finds it). Entries are removed without merging
// nodes: a tree keeps its shape, leaves may become empty, and every walk
// skips empty leaves. Inner nodes never become empty.
//
// Every walk is bounded (depth, and a budget of node visits per call), so a
// damaged file with cyclic or shared nodes ends in a status, not a loop.
#ifndef TAVO_STORAGE_STORE_BTREE_H_
#define TAVO_STORAGE_STORE_BTREE_H_

#include <array>
#include <cstdint>
#include <vector>

#include "storage/store/node.h"

namespace tavo {

inline constexpr uint32_t kMaxTreeDepth = 40;

class BTree {
 public:
  explicit BTree(NodeStore* nodes) : nodes_(nodes) {}

  // The leaf where `code` belongs, with the inner nodes above it.
  struct Position {
    // Inner nodes from the root down; Descend stops a deeper walk, so they
    // fit without an allocation.
    std::array<Node*, kMaxTreeDepth + 1> path{};
    size_t depth = 0;
    Node* leaf = nullptr;
    int index = -1;           // entry holding `code`, -1 when absent
  };
  StoreStatus Descend(uint32_t root, uint32_t code, Position* pos);
  // Descend for an insert. A code above every code of the tree (positions,
  // ids and dates grow) goes straight to the tree's last leaf while that leaf
  // has room: the leaf a descent finds, since every separator above it is at
  // most its first code. pos->path stays empty then; InsertAbsent needs it
  // only to split.
  StoreStatus DescendToInsert(uint32_t root, uint32_t code, Position* pos);

  // Inserts a code that Descend found absent. *root changes when the root
  // splits (or is created, when *root was 0).
  StoreStatus InsertAbsent(uint32_t* root, Position* pos, uint32_t code, uint32_t value);
  // Convenience: create the root if needed, descend, insert; a present code
  // is kStoreIndexMismatch.
  StoreStatus Insert(uint32_t* root, uint32_t code, uint32_t value);
  // Removes a present code; absent is kStoreIndexMismatch.
  StoreStatus Remove(uint32_t root, uint32_t code);

  // The first entry whose code is at least `from` (64-bit so that the walk can
  // ask for "after 0xFFFFFFFF"). *found is false past the end.
  // *leaf and *index, when asked for, locate the entry found.
  StoreStatus SeekAtLeast(uint32_t root, uint64_t from, uint32_t* code, uint32_t* value, bool* found,
                          uint32_t* leaf = nullptr, uint32_t* index = nullptr);

 private:
  struct Seek {
    uint64_t from;
    uint64_t budget;
    uint32_t code = 0, value = 0, leaf = 0, index = 0;
    bool found = false;
  };
  StoreStatus SeekIn(uint32_t offset, uint32_t depth, Seek* seek);
  StoreStatus SplitLeaf(Node* leaf, uint32_t code, uint32_t value, uint32_t* separator, Node** right);
  StoreStatus SplitInner(Node* inner, uint32_t code, uint32_t child, uint32_t* separator, Node** right);

  NodeStore* nodes_;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_BTREE_H_
