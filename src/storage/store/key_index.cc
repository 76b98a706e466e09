// Entering records into key trees and walking them. A leaf entry holds one
// record position, or (low bit set) the root of a duplicate tree holding the
// positions of every record whose value has that key code.
#include "storage/store/store_file.h"

namespace tavo {
namespace {

bool IsDuplicateRoot(uint32_t value) noexcept { return (value & kDuplicateTreeBit) != 0; }
uint32_t DuplicateRoot(uint32_t value) noexcept { return value & ~kDuplicateTreeBit; }

// A duplicate tree is keyed by record position: its walks advance by code, so
// an entry whose value differs would hand out a position the walk cannot get
// past.
StoreStatus CheckDuplicateEntry(uint32_t code, uint32_t value) noexcept {
  return code == value ? kStoreOk : kStoreNodeDamaged;
}

}  // namespace

StoreStatus EnterKey(StoreFile* file, uint32_t key, uint32_t code, uint32_t position) {
  ++file->tree_epoch;
  uint32_t& root = file->header.keys[key].root;
  const uint32_t old_root = root;
  BTree tree(&file->nodes);
  if (root == 0) {
    StoreStatus s = tree.Insert(&root, code, position);
    file->header_dirty |= root != old_root;
    return s;
  }
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(root, code, &pos); s != kStoreOk) return s;
  StoreStatus s = kStoreOk;
  if (pos.index < 0) {
    s = tree.InsertAbsent(&root, &pos, code, position);
  } else {
    const uint32_t index = static_cast<uint32_t>(pos.index);
    const uint32_t value = pos.leaf->value(index);
    uint32_t dup_root = 0;
    if (!IsDuplicateRoot(value)) {
      if (value == position) return kStoreIndexMismatch;
      Node* dup = nullptr;
      if (s = file->nodes.Create(true, &dup); s != kStoreOk) return s;
      dup->InsertEntry(value, value);
      dup->InsertEntry(position, position);
      dup_root = dup->offset;
    } else {
      dup_root = DuplicateRoot(value);
      s = tree.Insert(&dup_root, position, position);
    }
    if (dup_root != DuplicateRoot(value)) {
      pos.leaf->set_value(index, dup_root | kDuplicateTreeBit);
      file->nodes.MarkDirty(pos.leaf);
    }
  }
  file->header_dirty |= root != old_root;
  return s;
}

StoreStatus HasKeyEntry(StoreFile* file, uint32_t key, uint32_t code, uint32_t position, bool* present) {
  *present = false;
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreOk;
  BTree tree(&file->nodes);
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(root, code, &pos); s != kStoreOk || pos.index < 0) return s;
  const uint32_t value = pos.leaf->value(static_cast<uint32_t>(pos.index));
  if (!IsDuplicateRoot(value)) {
    *present = value == position;
    return kStoreOk;
  }
  BTree::Position dup;
  if (StoreStatus s = tree.Descend(DuplicateRoot(value), position, &dup); s != kStoreOk) return s;
  *present = dup.index >= 0;
  return kStoreOk;
}

StoreStatus LeaveKey(StoreFile* file, uint32_t key, uint32_t code, uint32_t position) {
  ++file->tree_epoch;
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreIndexMismatch;
  BTree tree(&file->nodes);
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(root, code, &pos); s != kStoreOk) return s;
  if (pos.index < 0) return kStoreIndexMismatch;
  const uint32_t index = static_cast<uint32_t>(pos.index);
  const uint32_t value = pos.leaf->value(index);
  if (!IsDuplicateRoot(value)) {
    if (value != position) return kStoreIndexMismatch;
    pos.leaf->RemoveEntry(index);
    file->nodes.MarkDirty(pos.leaf);
    return kStoreOk;
  }
  if (StoreStatus s = tree.Remove(DuplicateRoot(value), position); s != kStoreOk) return s;
  Node* dup = nullptr;
  if (StoreStatus s = file->nodes.Get(DuplicateRoot(value), &dup); s != kStoreOk) return s;
  // A duplicate tree down to one record folds back into the leaf entry.
  if (dup->leaf() && dup->count() <= 1) {
    if (dup->count() == 1) {
      pos.leaf->set_value(index, dup->value(0));
    } else {
      pos.leaf->RemoveEntry(index);
    }
    file->nodes.Release(dup);
    file->nodes.MarkDirty(pos.leaf);
  }
  return kStoreOk;
}

StoreStatus NextKeyEntry(StoreFile* file, uint32_t key, bool after_last, uint32_t last_code,
                         uint32_t last_position, uint32_t from_code, uint32_t* code, uint32_t* position,
                         bool* found, KeyCursor* cursor) {
  *found = false;
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreOk;
  BTree tree(&file->nodes);
  if (after_last && cursor != nullptr && cursor->leaf != 0 && cursor->epoch == file->tree_epoch) {
    // The trees are as they were: step along the leaf chain. Stepping must
    // reach a greater code; anything else falls back to a seek from the root.
    uint32_t leaf = cursor->leaf, index = cursor->index + 1;
    for (uint64_t hops = file->nodes.MaxNodes(); hops > 0; --hops) {
      Node* node = nullptr;
      if (StoreStatus s = file->nodes.Get(leaf, &node); s != kStoreOk || !node->leaf()) break;
      if (index < node->count()) {
        const uint32_t value = node->value(index);
        if (node->code(index) <= last_code || IsDuplicateRoot(value)) break;
        *cursor = {leaf, index, file->tree_epoch};
        *code = node->code(index);
        *position = value;
        *found = true;
        return kStoreOk;
      }
      if (node->link() == 0) return kStoreOk;
      leaf = node->link();
      index = 0;
    }
  }
  if (cursor != nullptr) cursor->leaf = 0;
  uint64_t from = from_code;
  if (after_last) {
    BTree::Position pos;
    if (StoreStatus s = tree.Descend(root, last_code, &pos); s != kStoreOk) return s;
    if (pos.index >= 0) {
      const uint32_t value = pos.leaf->value(static_cast<uint32_t>(pos.index));
      if (IsDuplicateRoot(value)) {
        uint32_t dup_code = 0, dup_value = 0;
        if (StoreStatus s = tree.SeekAtLeast(DuplicateRoot(value), uint64_t{last_position} + 1, &dup_code,
                                             &dup_value, found);
            s != kStoreOk || *found) {
          *code = last_code;
          *position = dup_code;
          return s != kStoreOk ? s : CheckDuplicateEntry(dup_code, dup_value);
        }
      }
    }
    from = uint64_t{last_code} + 1;
  }
  // Each round moves `from` past a code, so the loop ends even in a damaged
  // tree (whose walks are bounded themselves).
  for (;;) {
    uint32_t value = 0, leaf = 0, index = 0;
    if (StoreStatus s = tree.SeekAtLeast(root, from, code, &value, found, &leaf, &index); s != kStoreOk || !*found) {
      return s;
    }
    if (!IsDuplicateRoot(value)) {
      if (cursor != nullptr) *cursor = {leaf, index, file->tree_epoch};
      *position = value;
      return kStoreOk;
    }
    uint32_t dup_value = 0;
    if (StoreStatus s = tree.SeekAtLeast(DuplicateRoot(value), 0, position, &dup_value, found);
        s != kStoreOk || *found) {
      return s != kStoreOk ? s : CheckDuplicateEntry(*position, dup_value);
    }
    from = uint64_t{*code} + 1;
  }
}

}  // namespace tavo
