// Store_Verify: opens a file read only and checks it.
//
// The quick walk checks the header, its blocks, the free directory and every
// root node. The deep walk also visits every node once (a node reached twice
// is a cycle or a shared node), checks code order against the parents' ranges,
// equal leaf depth and the leaf chain, reads every record to see that its key
// value gives the code it is entered under and that it is entered under every
// key it has a value for, walks the free lists, and checks that no two blocks
// overlap.
#include <algorithm>

#include <new>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "storage/store/byte_order.h"
#include "storage/store/store_file.h"

namespace tavo {
namespace {

struct Extent {
  uint32_t offset;
  uint32_t capacity;
  bool free;
};

struct RecordSeen {
  uint64_t has_value = 0;  // keys the record has a value for
  uint64_t entered = 0;    // keys whose trees hold it
};

class Verifier {
 public:
  explicit Verifier(StoreFile* file) : file_(file), tree_(&file->nodes) {}

  StoreStatus Quick();
  StoreStatus Deep();

 private:
  // What a tree under a key's leaf entry holds (key_index.cc).
  enum class Level { kKey, kDigests, kPositions };
  struct Walk {
    uint32_t key;
    Level level;
    uint32_t outer_code = 0;   // the code the records of a digest or position tree must give
    bool has_digest = false;   // a position tree under a digest entry:
    uint32_t digest = 0;       // the digest its records must give
    int leaf_depth = -1;
    std::vector<uint32_t> leaves = {};
  };

  StoreStatus WalkTree(uint32_t root, Walk* walk);
  StoreStatus WalkNode(uint32_t offset, uint32_t depth, uint64_t low, uint64_t high, Walk* walk);
  StoreStatus CheckEntry(uint32_t code, uint32_t value, Walk* walk);
  StoreStatus CheckRecord(uint32_t key, uint32_t code, const uint32_t* digest, uint32_t position);
  StoreStatus WalkFreeLists();
  StoreStatus CheckExtents();
  StoreStatus HeaderExtent(uint32_t offset);

  StoreFile* file_;
  BTree tree_;
  std::unordered_set<uint32_t> visited_;
  std::unordered_map<uint32_t, RecordSeen> records_;
  std::vector<Extent> extents_;
};

StoreStatus Verifier::Quick() {
  if (file_->free_directory_damaged) return kStoreFreeSpaceDamaged;
  for (const KeyDescriptor& key : file_->header.keys) {
    if (key.root == 0) continue;
    Node* node = nullptr;
    if (StoreStatus s = file_->nodes.Get(key.root, &node); s != kStoreOk) return s;
  }
  return kStoreOk;
}

StoreStatus Verifier::WalkTree(uint32_t root, Walk* walk) {
  walk->leaf_depth = -1;
  walk->leaves.clear();
  if (StoreStatus s = WalkNode(root, 0, 0, uint64_t{1} << 32, walk); s != kStoreOk) return s;
  // Leaves are chained left to right in tree order, the last one ending it.
  for (size_t i = 0; i < walk->leaves.size(); ++i) {
    Node* leaf = nullptr;
    if (StoreStatus s = file_->nodes.Get(walk->leaves[i], &leaf); s != kStoreOk) return s;
    const uint32_t expected = i + 1 < walk->leaves.size() ? walk->leaves[i + 1] : 0;
    if (leaf->link() != expected) return kStoreNodeDamaged;
  }
  return kStoreOk;
}

StoreStatus Verifier::WalkNode(uint32_t offset, uint32_t depth, uint64_t low, uint64_t high, Walk* walk) {
  if (depth > kMaxTreeDepth) return kStoreTreeShape;
  if (!visited_.insert(offset).second) return kStoreTreeShape;
  Node* node = nullptr;
  if (StoreStatus s = file_->nodes.Get(offset, &node); s != kStoreOk) return s;
  extents_.push_back({offset, node->capacity, false});
  const uint32_t count = node->count();
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t code = node->code(i);
    if (code < low || code >= high || (i > 0 && code <= node->code(i - 1))) return kStoreNodeOrder;
  }
  if (node->leaf()) {
    if (walk->leaf_depth < 0) walk->leaf_depth = static_cast<int>(depth);
    if (walk->leaf_depth != static_cast<int>(depth)) return kStoreTreeShape;
    walk->leaves.push_back(offset);
    // Copy the entries: checking them loads more nodes into the cache.
    std::vector<std::pair<uint32_t, uint32_t>> entries;
    for (uint32_t i = 0; i < count; ++i) entries.emplace_back(node->code(i), node->value(i));
    for (auto [code, value] : entries) {
      if (StoreStatus s = CheckEntry(code, value, walk); s != kStoreOk) return s;
    }
    return kStoreOk;
  }
  std::vector<std::pair<uint64_t, uint32_t>> children;  // (low bound, child)
  children.emplace_back(low, node->link());
  for (uint32_t i = 0; i < count; ++i) children.emplace_back(node->code(i), node->value(i));
  for (size_t i = 0; i < children.size(); ++i) {
    const uint64_t child_high = i + 1 < children.size() ? children[i + 1].first : high;
    if (StoreStatus s = WalkNode(children[i].second, depth + 1, children[i].first, child_high, walk); s != kStoreOk) {
      return s;
    }
  }
  return kStoreOk;
}

StoreStatus Verifier::CheckEntry(uint32_t code, uint32_t value, Walk* walk) {
  const uint32_t holder = value & 3, root = value & ~3u;
  switch (walk->level) {
    case Level::kPositions:
      if (code != value) return kStoreNodeDamaged;
      return CheckRecord(walk->key, walk->outer_code, walk->has_digest ? &walk->digest : nullptr, value);
    case Level::kDigests: {
      if (holder == 0) return CheckRecord(walk->key, walk->outer_code, &code, value);
      if (holder != 1) return kStoreNodeDamaged;
      Walk inner{walk->key, Level::kPositions, walk->outer_code, true, code};
      return WalkTree(root, &inner);
    }
    case Level::kKey: {
      if (holder == 0) return CheckRecord(walk->key, code, nullptr, value);
      if (holder == 3) return kStoreNodeDamaged;
      Walk inner{walk->key, holder == 1 ? Level::kPositions : Level::kDigests, code};
      return WalkTree(root, &inner);
    }
  }
  return kStoreNodeDamaged;
}

StoreStatus Verifier::CheckRecord(uint32_t key, uint32_t code, const uint32_t* digest, uint32_t position) {
  std::unique_ptr<StoreRecord> record;
  if (StoreStatus s = file_->ReadRecord(position, &record); s != kStoreOk) return s;
  const KeyDescriptor& descriptor = file_->header.keys[key];
  const uint32_t length = record->key_length(key);
  const uint8_t* value = record->key_value(key);
  if (length == 0 || KeyCode(descriptor.method, value, length) != code) return kStoreTreeShape;
  if (digest != nullptr && KeyDigest(descriptor.method, value, length) != *digest) return kStoreTreeShape;
  auto [it, inserted] = records_.try_emplace(position);
  if (inserted) {
    for (uint32_t k = 0; k < record->key_count(); ++k) {
      if (record->key_length(k) != 0) it->second.has_value |= uint64_t{1} << k;
    }
    uint8_t raw[4];
    if (StoreStatus s = file_->ReadExact(position - 4, raw, 4); s != kStoreOk) return s;
    extents_.push_back({position, TagCapacity(LoadWord(raw, file_->swap)), false});
  }
  if (it->second.entered & (uint64_t{1} << key)) return kStoreTreeShape;
  it->second.entered |= uint64_t{1} << key;
  return kStoreOk;
}

StoreStatus Verifier::WalkFreeLists() {
  const BlockAllocator& allocator = file_->allocator;
  if (allocator.directory_offset() == 0) return kStoreOk;
  uint64_t budget = allocator.end() / 12 + 1;
  for (uint32_t cls = 0; cls < kFreeClasses; ++cls) {
    // A list ends at 0, or at a block no longer tagged free: a list left stale
    // by a crash between flushes, which the allocator drops when it meets it.
    for (uint32_t offset = allocator.heads()[cls]; offset != 0;) {
      if (budget-- == 0) return kStoreFreeSpaceDamaged;
      if (offset % 4 != 0 || offset < kFirstContent || offset + uint64_t{8} > allocator.end()) {
        return kStoreFreeSpaceDamaged;
      }
      uint8_t raw[8];
      if (StoreStatus s = file_->ReadExact(offset - 4, raw, sizeof raw); s != kStoreOk) return s;
      const uint32_t tag = LoadWord(raw, file_->swap);
      if (TagKind(tag) != BlockKind::kFree) break;
      if (BlockAllocator::ClassOf(TagCapacity(tag)) != cls) return kStoreFreeSpaceDamaged;
      extents_.push_back({offset, TagCapacity(tag), true});
      offset = LoadWord(raw + 4, file_->swap);
    }
  }
  return kStoreOk;
}

StoreStatus Verifier::HeaderExtent(uint32_t offset) {
  if (offset == 0) return kStoreOk;
  uint8_t raw[4];
  if (StoreStatus s = file_->ReadExact(offset - 4, raw, 4); s != kStoreOk) return s;
  extents_.push_back({offset, TagCapacity(LoadWord(raw, file_->swap)), false});
  return kStoreOk;
}

StoreStatus Verifier::CheckExtents() {
  const StoreHeader& h = file_->header;
  for (uint32_t offset : {h.anchor1, h.anchor2, h.user_block, file_->allocator.directory_offset()}) {
    if (StoreStatus s = HeaderExtent(offset); s != kStoreOk) return s;
  }
  std::sort(extents_.begin(), extents_.end(), [](const Extent& a, const Extent& b) { return a.offset < b.offset; });
  uint64_t covered = kHeaderReserved;  // end of the previous block
  for (const Extent& e : extents_) {
    const uint64_t start = uint64_t{e.offset} - 4;
    if (start < covered) return e.free ? kStoreFreeSpaceDamaged : kStoreBlockDamaged;
    covered = uint64_t{e.offset} + e.capacity;
  }
  return covered <= file_->allocator.end() ? kStoreOk : kStoreBlockDamaged;
}

StoreStatus Verifier::Deep() {
  const StoreHeader& h = file_->header;
  for (uint32_t key = 0; key < h.key_count(); ++key) {
    if (h.keys[key].root == 0) continue;
    Walk walk{key, Level::kKey};
    if (StoreStatus s = WalkTree(h.keys[key].root, &walk); s != kStoreOk) return s;
    file_->nodes.Trim();
  }
  for (const auto& [position, seen] : records_) {
    if (seen.has_value != seen.entered) return kStoreIndexMismatch;
  }
  if (StoreStatus s = WalkFreeLists(); s != kStoreOk) return s;
  return CheckExtents();
}

}  // namespace

StoreStatus Store_Verify(const std::string& path, uint32_t mode, const StoreFileType* type, StoreVerifyDepth depth,
                         Env* env) try {
  StoreFile* raw = nullptr;
  if (StoreStatus s = Store_Open(&raw, path, kStoreRead | (mode & kStoreLockMask), type, env); s != kStoreOk) {
    return s;
  }
  struct Closer {
    void operator()(StoreFile* f) const { Store_Close(f); }
  };
  std::unique_ptr<StoreFile, Closer> file(raw);
  OperationScope scope(file.get());
  Verifier verifier(file.get());
  if (StoreStatus s = verifier.Quick(); s != kStoreOk || depth == StoreVerifyDepth::kQuick) return s;
  return verifier.Deep();
} catch (const std::bad_alloc&) {
  return kStoreNoMemory;
}

}  // namespace tavo
