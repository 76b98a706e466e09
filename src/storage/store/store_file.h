// The open file behind a StoreFile handle, shared by the operation files.
#ifndef TAVO_STORAGE_STORE_STORE_FILE_H_
#define TAVO_STORAGE_STORE_STORE_FILE_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/fs/env.h"
#include "storage/store/block_allocator.h"
#include "storage/store/btree.h"
#include "storage/store/format.h"
#include "storage/store/locks.h"
#include "storage/store/node.h"
#include "storage/store/pager.h"
#include "storage/store/store.h"

namespace tavo {

// Where a walk over a key's tree stands: valid while the trees are unchanged
// (epoch), so that the next entry is read from the same leaf or its neighbour.
struct KeyCursor {
  uint32_t leaf = 0;  // 0: no position, seek from the root
  uint32_t index = 0;
  uint64_t epoch = 0;
};

// A record's place in a key's walk order: key code, then the digest of its
// value (0 for integer keys), then its position.
struct KeyPlace {
  uint32_t code = 0;
  uint32_t digest = 0;
  uint32_t position = 0;
};

struct StoreIteration {
  uint32_t key = 0;
  bool whole_key = true;
  std::vector<uint8_t> value;  // wanted value when not the whole key
  bool started = false;
  KeyPlace last;               // of the record handed out last
  KeyCursor cursor;
};

struct RecordAccess {
  static uint32_t& offset(StoreRecord* r) noexcept { return r->offset_; }
  static uint32_t& block_capacity(StoreRecord* r) noexcept { return r->block_capacity_; }
  static uint32_t& key_count(StoreRecord* r) noexcept { return r->key_count_; }
  static std::vector<uint8_t>& image(StoreRecord* r) noexcept { return r->image_; }
};

// Checks a record image in file byte order against the block that holds it.
// *image_size is the part of the block the image uses.
StoreStatus ValidateRecordImage(const uint8_t* image, size_t available, uint32_t block_capacity,
                                uint32_t key_count, bool swap, uint32_t* image_size);

struct StoreFile {
  StoreFile(std::unique_ptr<Pager> f, bool swap_order, uint32_t node_size)
      : file(std::move(f)),
        swap(swap_order),
        allocator(file.get(), swap_order),
        nodes(file.get(), swap_order, node_size, &allocator) {}

  Env* env = nullptr;
  std::string path;
  uint32_t mode = 0;
  // Every read and write of the file goes through the pager, so that changes
  // stay in the current transaction until a flush commits them.
  std::unique_ptr<Pager> file;
  bool swap;
  StoreFileType type;
  StoreHeader header;
  CommitStamp stamp;  // of the last commit; its salt is this handle's
  bool header_dirty = false;
  bool unusable = false;
  // Non-zero when every change is refused: kStoreTailDamaged for a file
  // whose size or last blocks did not check out at open.
  StoreStatus write_refusal = kStoreOk;
  bool free_directory_damaged = false;  // found at open; its lists were dropped
  BlockAllocator allocator;
  NodeStore nodes;
  RecursiveLock handle_lock;
  std::unique_ptr<RecursiveLock> operation_lock;
  std::unique_ptr<ReaderWriterLock> rw_lock;
  std::vector<std::unique_ptr<StoreIteration>> iterations;
  uint32_t read_hint = 1024;
  uint64_t tree_epoch = 0;  // bumped by every change to a key tree
  // Read-ahead for iteration and scans; stale once the pager's write count
  // moved past window_writes (a write anywhere, a freed block's tag among them).
  uint64_t window_start = 0;
  uint64_t window_writes = 0;
  std::vector<uint8_t> window;
  // Of ReadRecord and WriteRecordImage, kept so that their memory is reused.
  std::vector<uint8_t> read_buffer, write_buffer;

  bool writable() const noexcept { return (mode & kStoreAccessMask) == kStoreReadWrite; }

  StoreStatus ReadExact(uint64_t offset, void* buf, size_t n);
  StoreStatus WriteHeader();
  // Commits every change since the last commit (pager.h).
  StoreStatus FlushLocked();
  // Ends a change: commits when the mode asks for it after an insert, or
  // when the transaction has grown past its bound.
  StoreStatus FinishChange(bool insert);
  // Reads and checks the record at `position`, converting it to native order.
  // With read_ahead, reads a window of the file at once and serves the next
  // records from it (iteration visits records mostly in file order).
  StoreStatus ReadRecord(uint32_t position, std::unique_ptr<StoreRecord>* out, bool read_ahead = false);
  // n bytes at offset from the read-ahead window (loaded there when
  // read_ahead), or null when the window does not hold them.
  const uint8_t* WindowAt(uint64_t offset, size_t n, bool read_ahead, StoreStatus* status);
  void DropWindow() noexcept { window.clear(); }
  StoreStatus WriteRecordImage(const StoreRecord& record, uint32_t block_capacity);
  // Converts an image in place between byte orders.
  void ConvertImage(uint8_t* image, StoreConvert direction) const;
  // Checks a header offset: 0, or a block of `kind` holding `bytes`.
  StoreStatus CheckBlock(uint32_t offset, BlockKind kind, uint32_t bytes, uint64_t file_size);
};

// Holds the locks of one operation; trims the node cache when it ends.
class OperationScope {
 public:
  explicit OperationScope(StoreFile* file) : file_(file) {
    file_->handle_lock.Lock();
    if (file_->operation_lock) file_->operation_lock->Lock();
  }
  ~OperationScope() {
    file_->nodes.Trim();
    if (file_->operation_lock) file_->operation_lock->Unlock();
    file_->handle_lock.Unlock();
  }
  OperationScope(const OperationScope&) = delete;
  OperationScope& operator=(const OperationScope&) = delete;

 private:
  StoreFile* file_;
};

// A key value with its code, and its digest computed when first asked for:
// only values that share their code with another need it.
class KeyValue {
 public:
  KeyValue(uint32_t method, const uint8_t* bytes, uint32_t length) noexcept
      : method_(method), bytes_(bytes), length_(length), code_(KeyCode(method, bytes, length)) {}
  uint32_t code() const noexcept { return code_; }
  uint32_t digest() const noexcept {
    if (!has_digest_) {
      digest_ = KeyDigest(method_, bytes_, length_);
      has_digest_ = true;
    }
    return digest_;
  }

 private:
  uint32_t method_;
  const uint8_t* bytes_;
  uint32_t length_;
  uint32_t code_;
  mutable uint32_t digest_ = 0;
  mutable bool has_digest_ = false;
};

// A record's entry in key i's tree, at `position`, under the code and digest
// of its value (key_index.cc describes how records sharing a code are held).
StoreStatus EnterKey(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position);
StoreStatus LeaveKey(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position);
StoreStatus HasKeyEntry(StoreFile* file, uint32_t key, const StoreRecord& record, uint32_t position, bool* present);
// The records that may hold `wanted` (those of its code and digest), by
// position: the first after `after` (0: the first of all).
StoreStatus NextCandidate(StoreFile* file, uint32_t key, const KeyValue& wanted, uint32_t after, uint32_t* position,
                          bool* found);
// The next record of key i's walk after `last`, or (last == null) the first
// whose code is at least `from_code`. *digest_known tells whether
// place->digest was set (from a digest tree); otherwise the caller takes the
// digest from the record.
StoreStatus NextKeyEntry(StoreFile* file, uint32_t key, const KeyPlace* last, uint32_t from_code, KeyPlace* place,
                         bool* digest_known, bool* found, KeyCursor* cursor = nullptr);

// Refusals shared by every operation that changes the file.
StoreStatus CheckWritable(StoreFile* file);
// At a read-write open: whether the file's size and its last blocks are what
// its header's commit stamp recorded (or, without a stamp, whether the blocks
// from the header up tile the file exactly). kStoreTailDamaged when not.
StoreStatus CheckTail(StoreFile* file, const CommitStamp* stamp);
// The answer of an operation that ran out of memory: the handle may hold a
// half-changed tree in memory, so it becomes unusable: it takes no more
// reads or writes of its trees and never flushes them; the file on disk
// stays as of the last flush.
StoreStatus StoreOutOfMemory(StoreFile* file) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_STORE_FILE_H_
