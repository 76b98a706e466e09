// Entering records into key trees and finding them there.
//
// A key tree's leaf entry holds what is entered under its key code:
//
//   value & 3   HOLDER
//   0           one record: the value is its position
//   1           a position tree (root | 1): records by position, code and
//               value of each entry both the position. Integer keys hold
//               every group of equal values so; other keys only in files of
//               older versions, turned into digest trees by the next insert.
//   2           a digest tree (root | 2), for keys other than integers:
//               entries from the digest of a value (KeyDigest) to one record
//               position, or to a position tree (root | 1) of the records
//               whose values share code and digest (equal values).
//
// So a lookup of a text value reads only the records whose digest matches
// its own: the record it returns, in all but a one-in-four-billion case.
// Positions and node offsets are multiples of 4, which frees the low bits.
// Within a key code, a walk visits records in (digest, position) order, and
// in position order inside a position tree.
#include <algorithm>

#include "storage/store/store_file.h"

namespace tavo {
namespace {

enum class Holder : uint32_t { kRecord = 0, kPositions = 1, kDigests = 2, kDamaged = 3 };

Holder HolderOf(uint32_t value) noexcept { return static_cast<Holder>(value & 3); }
uint32_t RootOf(uint32_t value) noexcept { return value & ~3u; }
uint32_t Tagged(uint32_t root, Holder holder) noexcept { return root | static_cast<uint32_t>(holder); }

// A position tree's walks advance by code, so an entry whose value differs
// would hand out a position the walk cannot get past.
StoreStatus CheckPositionEntry(uint32_t code, uint32_t value) noexcept {
  return code == value ? kStoreOk : kStoreNodeDamaged;
}

bool UsesDigests(const StoreFile* file, uint32_t key) noexcept {
  return file->header.keys[key].method != kKeyMethodInteger;
}

bool IterationOpenOn(const StoreFile* file, uint32_t key) noexcept {
  return std::any_of(file->iterations.begin(), file->iterations.end(),
                     [key](const auto& it) { return it->key == key; });
}

// The digest of the record at `position`, read from the file; its value must
// give `code`, or the tree and the record disagree.
StoreStatus DigestAt(StoreFile* file, uint32_t key, uint32_t code, uint32_t position, uint32_t* digest) {
  std::unique_ptr<StoreRecord> record;
  if (StoreStatus s = file->ReadRecord(position, &record); s != kStoreOk) return s;
  const uint32_t method = file->header.keys[key].method;
  const uint8_t* value = record->key_value(key);
  const uint32_t length = record->key_length(key);
  if (length == 0 || KeyCode(method, value, length) != code) return kStoreTreeShape;
  *digest = KeyDigest(method, value, length);
  return kStoreOk;
}

// Adds `position` under `digest` to the digest tree at *root.
StoreStatus EnterDigest(StoreFile* file, uint32_t* root, uint32_t digest, uint32_t position) {
  BTree tree(&file->nodes);
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(*root, digest, &pos); s != kStoreOk) return s;
  if (pos.index < 0) return tree.InsertAbsent(root, &pos, digest, position);
  const uint32_t index = static_cast<uint32_t>(pos.index);
  const uint32_t value = pos.leaf->value(index);
  uint32_t positions = 0;
  StoreStatus s = kStoreOk;
  switch (HolderOf(value)) {
    case Holder::kRecord:
      if (value == position) return kStoreIndexMismatch;
      s = tree.Insert(&positions, value, value);
      if (s == kStoreOk) s = tree.Insert(&positions, position, position);
      break;
    case Holder::kPositions:
      positions = RootOf(value);
      s = tree.Insert(&positions, position, position);
      break;
    default: return kStoreNodeDamaged;
  }
  if (Tagged(positions, Holder::kPositions) != value && positions != 0) {
    pos.leaf->set_value(index, Tagged(positions, Holder::kPositions));
    file->nodes.MarkDirty(pos.leaf);
  }
  return s;
}

// Every position of a position tree, in order.
StoreStatus CollectPositions(StoreFile* file, uint32_t root, std::vector<uint32_t>* out) {
  BTree tree(&file->nodes);
  uint64_t from = 0;
  for (uint64_t budget = file->nodes.MaxNodes() * file->nodes.entry_capacity() + 1;; --budget) {
    if (budget == 0) return kStoreTreeShape;
    uint32_t code = 0, value = 0;
    bool found = false;
    if (StoreStatus s = tree.SeekAtLeast(root, from, &code, &value, &found); s != kStoreOk || !found) return s;
    if (StoreStatus s = CheckPositionEntry(code, value); s != kStoreOk) return s;
    out->push_back(code);
    from = uint64_t{code} + 1;
  }
}

// Gives back every node of a tree whose leaves hold no subtrees.
StoreStatus ReleaseTree(StoreFile* file, uint32_t root, uint32_t depth = 0) {
  if (depth > kMaxTreeDepth) return kStoreTreeShape;
  Node* node = nullptr;
  if (StoreStatus s = file->nodes.Get(root, &node); s != kStoreOk) return s;
  if (!node->leaf()) {
    std::vector<uint32_t> children = {node->link()};
    for (uint32_t i = 0; i < node->count(); ++i) children.push_back(node->value(i));
    for (uint32_t child : children) {
      if (StoreStatus s = ReleaseTree(file, child, depth + 1); s != kStoreOk) return s;
    }
    if (StoreStatus s = file->nodes.Get(root, &node); s != kStoreOk) return s;
  }
  return file->nodes.Release(node);
}

// A position tree of a key that uses digests (from an older version) becomes
// a digest tree: each of its records is read once.
StoreStatus ConvertToDigests(StoreFile* file, uint32_t key, uint32_t code, uint32_t positions_root,
                             uint32_t* digest_root) {
  std::vector<uint32_t> positions;
  if (StoreStatus s = CollectPositions(file, positions_root, &positions); s != kStoreOk) return s;
  uint32_t root = 0;
  for (uint32_t position : positions) {
    uint32_t digest = 0;
    if (StoreStatus s = DigestAt(file, key, code, position, &digest); s != kStoreOk) return s;
    if (root == 0) {
      if (StoreStatus s = BTree(&file->nodes).Insert(&root, digest, position); s != kStoreOk) return s;
    } else if (StoreStatus s = EnterDigest(file, &root, digest, position); s != kStoreOk) {
      return s;
    }
  }
  if (StoreStatus s = ReleaseTree(file, positions_root); s != kStoreOk) return s;
  *digest_root = root;
  return kStoreOk;
}

// Removes `position` from the position tree at `root`. *remaining is the
// holder that replaces the tree when it is down to one record (its
// position), 0 when it is empty, or the tree itself.
StoreStatus LeavePositions(StoreFile* file, uint32_t root, uint32_t position, uint32_t* remaining) {
  if (StoreStatus s = BTree(&file->nodes).Remove(root, position); s != kStoreOk) return s;
  Node* node = nullptr;
  if (StoreStatus s = file->nodes.Get(root, &node); s != kStoreOk) return s;
  *remaining = Tagged(root, Holder::kPositions);
  if (node->leaf() && node->count() <= 1) {
    *remaining = node->count() == 1 ? node->value(0) : 0;
    return file->nodes.Release(node);
  }
  return kStoreOk;
}

KeyValue KeysOf(const StoreFile* file, uint32_t key, const StoreRecord& record) {
  return KeyValue(file->header.keys[key].method, record.key_value(key), record.key_length(key));
}

}  // namespace

StoreStatus EnterKey(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position) {
  ++file->tree_epoch;
  const KeyValue keys = KeysOf(file, key, record);
  uint32_t& root = file->header.keys[key].root;
  const uint32_t old_root = root;
  BTree tree(&file->nodes);
  if (root == 0) {
    StoreStatus s = tree.Insert(&root, keys.code(), position);
    file->header_dirty |= root != old_root;
    return s;
  }
  BTree::Position pos;
  if (StoreStatus s = tree.DescendToInsert(root, keys.code(), &pos); s != kStoreOk) return s;
  if (pos.index < 0) {
    const StoreStatus s = tree.InsertAbsent(&root, &pos, keys.code(), position);
    file->header_dirty |= root != old_root;
    return s;
  }
  const uint32_t index = static_cast<uint32_t>(pos.index);
  const uint32_t value = pos.leaf->value(index);
  uint32_t holder = value;
  StoreStatus s = kStoreOk;
  if (!UsesDigests(file, key)) {
    // Equal integers share a position tree.
    uint32_t positions = HolderOf(value) == Holder::kPositions ? RootOf(value) : 0;
    if (HolderOf(value) == Holder::kRecord) {
      if (value == position) return kStoreIndexMismatch;
      s = tree.Insert(&positions, value, value);
    } else if (HolderOf(value) != Holder::kPositions) {
      return kStoreNodeDamaged;
    }
    if (s == kStoreOk) s = tree.Insert(&positions, position, position);
    if (positions != 0) holder = Tagged(positions, Holder::kPositions);
  } else {
    uint32_t digests = 0;
    switch (HolderOf(value)) {
      case Holder::kRecord: {
        if (value == position) return kStoreIndexMismatch;
        uint32_t digest = 0;
        s = DigestAt(file, key, keys.code(), value, &digest);
        if (s == kStoreOk) s = tree.Insert(&digests, digest, value);
        break;
      }
      case Holder::kPositions:
        if (IterationOpenOn(file, key)) {
          // Turning the tree over would reorder what an open walk visits.
          uint32_t positions = RootOf(value);
          s = tree.Insert(&positions, position, position);
          holder = Tagged(positions, Holder::kPositions);
          break;
        }
        s = ConvertToDigests(file, key, keys.code(), RootOf(value), &digests);
        break;
      case Holder::kDigests: digests = RootOf(value); break;
      case Holder::kDamaged: return kStoreNodeDamaged;
    }
    if (s == kStoreOk && digests != 0) s = EnterDigest(file, &digests, keys.digest(), position);
    if (digests != 0) holder = Tagged(digests, Holder::kDigests);
  }
  if (holder != value) {
    pos.leaf->set_value(index, holder);
    file->nodes.MarkDirty(pos.leaf);
  }
  return s;
}

StoreStatus LeaveKey(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position) {
  ++file->tree_epoch;
  const KeyValue keys = KeysOf(file, key, record);
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreIndexMismatch;
  BTree tree(&file->nodes);
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(root, keys.code(), &pos); s != kStoreOk) return s;
  if (pos.index < 0) return kStoreIndexMismatch;
  const uint32_t index = static_cast<uint32_t>(pos.index);
  const uint32_t value = pos.leaf->value(index);
  uint32_t holder = value;
  switch (HolderOf(value)) {
    case Holder::kRecord:
      if (value != position) return kStoreIndexMismatch;
      holder = 0;
      break;
    case Holder::kPositions:
      if (StoreStatus s = LeavePositions(file, RootOf(value), position, &holder); s != kStoreOk) return s;
      break;
    case Holder::kDigests: {
      BTree::Position in;
      if (StoreStatus s = tree.Descend(RootOf(value), keys.digest(), &in); s != kStoreOk) return s;
      if (in.index < 0) return kStoreIndexMismatch;
      const uint32_t at = static_cast<uint32_t>(in.index);
      const uint32_t entry = in.leaf->value(at);
      uint32_t remaining = entry;
      if (HolderOf(entry) == Holder::kRecord) {
        if (entry != position) return kStoreIndexMismatch;
        remaining = 0;
      } else if (HolderOf(entry) == Holder::kPositions) {
        if (StoreStatus s = LeavePositions(file, RootOf(entry), position, &remaining); s != kStoreOk) return s;
      } else {
        return kStoreNodeDamaged;
      }
      if (remaining == 0) {
        in.leaf->RemoveEntry(at);
      } else {
        in.leaf->set_value(at, remaining);
      }
      file->nodes.MarkDirty(in.leaf);
      // A digest tree down to one record folds back into the leaf entry.
      Node* digests = nullptr;
      if (StoreStatus s = file->nodes.Get(RootOf(value), &digests); s != kStoreOk) return s;
      if (digests->leaf() && digests->count() == 0) {
        holder = 0;
      } else if (digests->leaf() && digests->count() == 1 && HolderOf(digests->value(0)) == Holder::kRecord) {
        holder = digests->value(0);
      }
      if (holder != value) {
        if (StoreStatus s = file->nodes.Release(digests); s != kStoreOk) return s;
      }
      break;
    }
    case Holder::kDamaged: return kStoreNodeDamaged;
  }
  if (holder == 0) {
    pos.leaf->RemoveEntry(index);
  } else {
    pos.leaf->set_value(index, holder);
  }
  file->nodes.MarkDirty(pos.leaf);
  return kStoreOk;
}

StoreStatus NextCandidate(StoreFile* file, uint32_t key, const KeyValue& wanted, uint32_t after, uint32_t* position,
                          bool* found) {
  *found = false;
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreOk;
  BTree tree(&file->nodes);
  BTree::Position pos;
  if (StoreStatus s = tree.Descend(root, wanted.code(), &pos); s != kStoreOk || pos.index < 0) return s;
  uint32_t holder = pos.leaf->value(static_cast<uint32_t>(pos.index));
  if (HolderOf(holder) == Holder::kDigests) {
    BTree::Position in;
    if (StoreStatus s = tree.Descend(RootOf(holder), wanted.digest(), &in); s != kStoreOk || in.index < 0) return s;
    holder = in.leaf->value(static_cast<uint32_t>(in.index));
    if (HolderOf(holder) == Holder::kDigests) return kStoreNodeDamaged;
  }
  switch (HolderOf(holder)) {
    case Holder::kRecord:
      *position = holder;
      *found = holder > after;
      return kStoreOk;
    case Holder::kPositions: {
      uint32_t value = 0;
      if (StoreStatus s = tree.SeekAtLeast(RootOf(holder), uint64_t{after} + 1, position, &value, found);
          s != kStoreOk || !*found) {
        return s;
      }
      return CheckPositionEntry(*position, value);
    }
    default: return kStoreNodeDamaged;
  }
}

StoreStatus HasKeyEntry(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position, bool* present) {
  *present = false;
  const KeyValue keys = KeysOf(file, key, record);
  uint32_t found_position = 0;
  bool found = false;
  if (StoreStatus s = NextCandidate(file, key, keys, position - 1, &found_position, &found);
      s != kStoreOk) {
    return s;
  }
  *present = found && found_position == position;
  return kStoreOk;
}

namespace {

// The first record of a holder after `after` (null: from its start), in
// its order: (digest, position) in a digest tree, position in a position
// tree. place->digest is set, and *digest_known true, only from a digest
// tree: a walk resumes by the digests the tree holds, so that every step
// moves forward even when a damaged tree holds wrong ones.
StoreStatus FirstInHolder(StoreFile* file, uint32_t holder, const KeyPlace* after, KeyPlace* place,
                          bool* digest_known, bool* found) {
  BTree tree(&file->nodes);
  *found = false;
  switch (HolderOf(holder)) {
    case Holder::kRecord:
      place->position = holder;
      *found = after == nullptr || holder != after->position;
      return kStoreOk;
    case Holder::kPositions: {
      uint32_t value = 0;
      const uint64_t from = after != nullptr ? uint64_t{after->position} + 1 : 0;
      if (StoreStatus s = tree.SeekAtLeast(RootOf(holder), from, &place->position, &value, found);
          s != kStoreOk || !*found) {
        return s;
      }
      return CheckPositionEntry(place->position, value);
    }
    case Holder::kDigests: {
      uint64_t from = after != nullptr ? after->digest : 0;
      // Each round moves `from` past a digest, so it ends even in a damaged tree.
      while (from <= 0xFFFFFFFFu) {
        uint32_t digest = 0, entry = 0;
        if (StoreStatus s = tree.SeekAtLeast(RootOf(holder), from, &digest, &entry, found); s != kStoreOk || !*found) {
          return s;
        }
        if (HolderOf(entry) == Holder::kDigests || HolderOf(entry) == Holder::kDamaged) return kStoreNodeDamaged;
        const bool same = after != nullptr && digest == after->digest;
        if (StoreStatus s = FirstInHolder(file, entry, same ? after : nullptr, place, digest_known, found);
            s != kStoreOk || *found) {
          place->digest = digest;
          *digest_known = true;
          return s;
        }
        from = uint64_t{digest} + 1;
      }
      *found = false;
      return kStoreOk;
    }
    case Holder::kDamaged: break;
  }
  return kStoreNodeDamaged;
}

}  // namespace

StoreStatus NextKeyEntry(StoreFile* file, uint32_t key, const KeyPlace* last, uint32_t from_code, KeyPlace* place,
                         bool* digest_known, bool* found, KeyCursor* cursor) {
  *found = false;
  *digest_known = false;
  const uint32_t root = file->header.keys[key].root;
  if (root == 0) return kStoreOk;
  BTree tree(&file->nodes);
  if (last != nullptr && cursor != nullptr && cursor->leaf != 0 && cursor->epoch == file->tree_epoch) {
    // The trees are as they were: step along the leaf chain. Stepping must
    // reach a greater code holding one record; anything else falls back to a
    // seek from the root.
    uint32_t leaf = cursor->leaf, index = cursor->index + 1;
    for (uint64_t hops = file->nodes.MaxNodes(); hops > 0; --hops) {
      Node* node = nullptr;
      if (StoreStatus s = file->nodes.Get(leaf, &node); s != kStoreOk || !node->leaf()) break;
      if (index < node->count()) {
        const uint32_t value = node->value(index);
        if (node->code(index) <= last->code || HolderOf(value) != Holder::kRecord) break;
        *cursor = {leaf, index, file->tree_epoch};
        place->code = node->code(index);
        place->position = value;
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
  if (last != nullptr) {
    BTree::Position pos;
    if (StoreStatus s = tree.Descend(root, last->code, &pos); s != kStoreOk) return s;
    if (pos.index >= 0) {
      if (StoreStatus s =
              FirstInHolder(file, pos.leaf->value(static_cast<uint32_t>(pos.index)), last, place, digest_known, found);
          s != kStoreOk || *found) {
        place->code = last->code;
        return s;
      }
    }
    from = uint64_t{last->code} + 1;
  }
  // Each round moves `from` past a code, so the loop ends even in a damaged
  // tree (whose walks are bounded themselves).
  while (from <= 0xFFFFFFFFu) {
    uint32_t value = 0, leaf = 0, index = 0;
    if (StoreStatus s = tree.SeekAtLeast(root, from, &place->code, &value, found, &leaf, &index);
        s != kStoreOk || !*found) {
      return s;
    }
    if (StoreStatus s = FirstInHolder(file, value, nullptr, place, digest_known, found); s != kStoreOk || *found) {
      if (cursor != nullptr && s == kStoreOk && HolderOf(value) == Holder::kRecord) {
        *cursor = {leaf, index, file->tree_epoch};
      }
      return s;
    }
    from = uint64_t{place->code} + 1;
  }
  *found = false;
  return kStoreOk;
}

}  // namespace tavo
