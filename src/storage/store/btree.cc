#include "storage/store/btree.h"

#include <algorithm>

#include "storage/store/block_allocator.h"

namespace tavo {
namespace {

void MoveEntries(Node* from, uint32_t first, uint32_t last, Node* to) {
  uint32_t n = 0;
  for (uint32_t i = first; i < last; ++i) to->set_entry(n++, from->code(i), from->value(i));
  to->set_count(n);
  for (uint32_t i = first; i < last; ++i) from->set_entry(i, 0, 0);
}

}  // namespace

StoreStatus BTree::Descend(uint32_t root, uint32_t code, Position* pos) {
  pos->depth = 0;
  uint32_t offset = root;
  for (uint32_t depth = 0;; ++depth) {
    if (depth > kMaxTreeDepth) return kStoreTreeShape;
    Node* node = nullptr;
    if (StoreStatus s = nodes_->Get(offset, &node); s != kStoreOk) return s;
    const int i = node->SearchLastAtMost(code);
    if (node->leaf()) {
      pos->leaf = node;
      pos->index = (i >= 0 && node->code(static_cast<uint32_t>(i)) == code) ? i : -1;
      if (node->link() == 0 && depth > 0) nodes_->RememberLastLeaf(root, offset);
      return kStoreOk;
    }
    pos->path[pos->depth++] = node;
    offset = i < 0 ? node->link() : node->value(static_cast<uint32_t>(i));
  }
}

StoreStatus BTree::DescendToInsert(uint32_t root, uint32_t code, Position* pos) {
  if (const uint32_t last = nodes_->LastLeaf(root); last != 0) {
    Node* leaf = nullptr;
    if (nodes_->Get(last, &leaf) == kStoreOk && leaf->leaf() && leaf->link() == 0) {
      const uint32_t count = leaf->count();
      if (count > 0 && count < nodes_->entry_capacity() && code > leaf->code(count - 1)) {
        pos->depth = 0;
        pos->leaf = leaf;
        pos->index = -1;
        return kStoreOk;
      }
    }
  }
  return Descend(root, code, pos);
}

StoreStatus BTree::SplitLeaf(Node* leaf, uint32_t code, uint32_t value, uint32_t* separator,
                             Node** right) {
  const uint32_t half = nodes_->entry_capacity() / 2;
  Node* fresh = nullptr;
  if (StoreStatus s = nodes_->Create(true, &fresh); s != kStoreOk) return s;
  MoveEntries(leaf, half, leaf->count(), fresh);
  leaf->set_count(half);
  fresh->set_link(leaf->link());
  leaf->set_link(fresh->offset);
  *separator = fresh->code(0);
  (code < *separator ? leaf : fresh)->InsertEntry(code, value);
  nodes_->MarkDirty(leaf);
  *right = fresh;
  return kStoreOk;
}

StoreStatus BTree::SplitInner(Node* inner, uint32_t code, uint32_t child, uint32_t* separator,
                              Node** right) {
  const uint32_t count = inner->count();
  const uint32_t half = nodes_->entry_capacity() / 2;
  Node* fresh = nullptr;
  if (StoreStatus s = nodes_->Create(false, &fresh); s != kStoreOk) return s;
  if (code <= inner->code(count - half - 1)) {
    const uint32_t k = count - half - 1;
    *separator = inner->code(k);
    fresh->set_link(inner->value(k));
    MoveEntries(inner, k + 1, count, fresh);
    inner->set_entry(k, 0, 0);
    inner->set_count(k);
    inner->InsertEntry(code, child);
  } else if (code < inner->code(half)) {
    *separator = code;
    fresh->set_link(child);
    MoveEntries(inner, half, count, fresh);
    inner->set_count(half);
  } else {
    const uint32_t k = count - half;
    *separator = inner->code(k);
    fresh->set_link(inner->value(k));
    MoveEntries(inner, k + 1, count, fresh);
    inner->set_entry(k, 0, 0);
    inner->set_count(k);
    // With an odd capacity a code can fall between the entries k - 1 and k;
    // it belongs left of the separator. (Placing it right, as the rule for
    // even capacities would, leaves it where no search finds it.)
    (code < *separator ? inner : fresh)->InsertEntry(code, child);
  }
  nodes_->MarkDirty(inner);
  *right = fresh;
  return kStoreOk;
}

StoreStatus BTree::InsertAbsent(uint32_t* root, Position* pos, uint32_t code, uint32_t value) {
  const uint32_t capacity = nodes_->entry_capacity();
  if (capacity < 2) return kStoreNodeTooSmall;
  Node* leaf = pos->leaf;
  if (leaf->count() < capacity) {
    leaf->InsertEntry(code, value);
    nodes_->MarkDirty(leaf);
    return kStoreOk;
  }
  uint32_t separator = 0;
  Node* right = nullptr;
  if (StoreStatus s = SplitLeaf(leaf, code, value, &separator, &right); s != kStoreOk) return s;
  for (size_t level = pos->depth; level-- > 0;) {
    Node* parent = pos->path[level];
    if (parent->count() < capacity) {
      parent->InsertEntry(separator, right->offset);
      nodes_->MarkDirty(parent);
      return kStoreOk;
    }
    Node* split = nullptr;
    if (StoreStatus s = SplitInner(parent, separator, right->offset, &separator, &split); s != kStoreOk) {
      return s;
    }
    right = split;
  }
  Node* new_root = nullptr;
  if (StoreStatus s = nodes_->Create(false, &new_root); s != kStoreOk) return s;
  new_root->set_link(*root);
  new_root->InsertEntry(separator, right->offset);
  *root = new_root->offset;
  return kStoreOk;
}

StoreStatus BTree::Insert(uint32_t* root, uint32_t code, uint32_t value) {
  if (*root == 0) {
    Node* leaf = nullptr;
    if (StoreStatus s = nodes_->Create(true, &leaf); s != kStoreOk) return s;
    *root = leaf->offset;
  }
  Position pos;
  if (StoreStatus s = DescendToInsert(*root, code, &pos); s != kStoreOk) return s;
  if (pos.index >= 0) return kStoreIndexMismatch;
  return InsertAbsent(root, &pos, code, value);
}

StoreStatus BTree::Remove(uint32_t root, uint32_t code) {
  Position pos;
  if (StoreStatus s = Descend(root, code, &pos); s != kStoreOk) return s;
  if (pos.index < 0) return kStoreIndexMismatch;
  pos.leaf->RemoveEntry(static_cast<uint32_t>(pos.index));
  nodes_->MarkDirty(pos.leaf);
  return kStoreOk;
}

StoreStatus BTree::SeekAtLeast(uint32_t root, uint64_t from, uint32_t* code, uint32_t* value, bool* found,
                               uint32_t* leaf, uint32_t* index) {
  *found = false;
  if (root == 0 || from > 0xFFFFFFFFu) return kStoreOk;
  // A sane tree needs one path plus the empty leaves in between; a damaged
  // one is cut off after as many visits as the file has room for nodes.
  Seek seek{from, nodes_->MaxNodes() + 64};
  if (StoreStatus s = SeekIn(root, 0, &seek); s != kStoreOk || !seek.found) return s;
  *found = true;
  *code = seek.code;
  *value = seek.value;
  if (leaf != nullptr) *leaf = seek.leaf;
  if (index != nullptr) *index = seek.index;
  return kStoreOk;
}

StoreStatus BTree::SeekIn(uint32_t offset, uint32_t depth, Seek* seek) {
  if (depth > kMaxTreeDepth || seek->budget == 0) return kStoreTreeShape;
  --seek->budget;
  Node* node = nullptr;
  if (StoreStatus s = nodes_->Get(offset, &node); s != kStoreOk) return s;
  const uint32_t target = static_cast<uint32_t>(seek->from);
  const int i = node->SearchLastAtMost(target);
  if (node->leaf()) {
    uint32_t at = i < 0 ? 0 : static_cast<uint32_t>(i);
    if (at < node->count() && node->code(at) < target) ++at;
    if (at < node->count()) {
      if (node->code(at) < target) return kStoreNodeOrder;
      *seek = {seek->from, seek->budget, node->code(at), node->value(at), offset, at, true};
    }
    return kStoreOk;
  }
  for (int j = i; j < static_cast<int>(node->count()); ++j) {
    // Nodes are only evicted between operations, so `node` stays valid.
    const uint32_t child = j < 0 ? node->link() : node->value(static_cast<uint32_t>(j));
    if (StoreStatus s = SeekIn(child, depth + 1, seek); s != kStoreOk || seek->found) return s;
  }
  return kStoreOk;
}

}  // namespace tavo
