// Opening, creating, flushing and closing store files; the user block.
#include "storage/store/store_file.h"

#include <new>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/store/byte_order.h"
#include "storage/store/commit_log.h"

namespace tavo {
namespace {

constexpr uint32_t Clamp(uint32_t v, uint32_t lo, uint32_t hi) noexcept {
  return v < lo ? lo : v > hi ? hi : v;
}

Env* EnvOrDefault(Env* env) noexcept { return env != nullptr ? env : Env::Default(); }

std::unique_ptr<RecursiveLock> MakeOperationLock(uint32_t mode) {
  return (mode & kStoreLockMask) == kStoreOperationLock ? std::make_unique<RecursiveLock>() : nullptr;
}

std::unique_ptr<ReaderWriterLock> MakeReaderWriterLock(uint32_t mode) {
  return (mode & kStoreLockMask) == kStoreReaderWriterLock ? std::make_unique<ReaderWriterLock>() : nullptr;
}

}  // namespace

StoreStatus CheckWritable(StoreFile* file) {
  if (file->unusable) return kStoreUnusable;
  if (!file->writable()) return kStoreAccessDenied;
  if (file->write_refusal != kStoreOk) return file->write_refusal;
  if (file->rw_lock && !file->rw_lock->IsWriter()) return kStoreNotWriter;
  return kStoreOk;
}

StoreStatus StoreOutOfMemory(StoreFile* file) noexcept {
  if (file != nullptr) file->unusable = true;
  return kStoreNoMemory;
}

StoreStatus StoreFile::ReadExact(uint64_t offset, void* buf, size_t n) {
  size_t got = 0;
  if (int err = file->Read(offset, buf, n, &got); err != 0) return StoreStatusFromErrno(err);
  return got == n ? kStoreOk : kStoreShortIo;
}

StoreStatus StoreFile::WriteHeader() {
  uint8_t raw[kHeaderReserved];
  header.Encode(raw, swap);
  if (StampFits(header.key_count())) {
    stamp.end = static_cast<uint32_t>(allocator.end());
    ++stamp.sequence;
    EncodeStamp(raw, stamp, swap);
  }
  if (int err = file->Write(0, raw, sizeof raw); err != 0) return StoreStatusFromErrno(err);
  header_dirty = false;
  return kStoreOk;
}

// Everything a commit writes (records, nodes, free lists, the header) is one
// transaction of the pager; the header goes with every commit because its
// stamp records the commit.
StoreStatus StoreFile::FlushLocked() {
  if (!writable() || write_refusal != kStoreOk) return kStoreOk;
  DropWindow();
  if (unusable) return kStoreUnusable;
  if (!file->has_pending() && !nodes.has_dirty() && !header_dirty) return kStoreOk;
  if (StoreStatus s = allocator.PrepareCommit(); s != kStoreOk) return s;
  if (allocator.anchor_offset() != header.anchor1) header.anchor1 = allocator.anchor_offset();
  if (StoreStatus s = nodes.WriteDirty(); s != kStoreOk) return s;
  // Blocks freed before they were ever written leave holes: the file must
  // still reach the end its stamp records.
  uint64_t size = 0;
  if (int err = file->Size(&size); err != 0) return StoreStatusFromErrno(err);
  if (size < allocator.end()) {
    const std::vector<uint8_t> zeros(allocator.end() - size, 0);
    if (int err = file->Write(size, zeros.data(), zeros.size()); err != 0) return StoreStatusFromErrno(err);
  }
  if (StoreStatus s = WriteHeader(); s != kStoreOk) return s;
  std::lock_guard<std::mutex> commit(StoreCommitLock());
  const StoreStatus s = file->Commit();
  if (file->failed()) unusable = true;
  return s;
}

StoreStatus StoreFile::FinishChange(bool insert) {
  // The bound keeps the memory a transaction holds (its writes and the nodes
  // it changed) in proportion to the node cache.
  constexpr size_t kTransactionBound = size_t{16} << 20;
  const size_t held = file->pending_bytes() + nodes.dirty_count() * size_t{nodes.node_size()};
  if ((insert && (mode & kStoreFlushOnInsert)) || held > kTransactionBound) return FlushLocked();
  return kStoreOk;
}

StoreStatus StoreFile::CheckBlock(uint32_t offset, BlockKind kind, uint32_t bytes, uint64_t file_size) {
  if (offset == 0) return kStoreOk;
  if (offset % 4 != 0 || offset < kFirstContent || offset + uint64_t{bytes} > file_size) {
    return kStoreDamagedHeader;
  }
  uint8_t raw[4];
  if (StoreStatus s = ReadExact(offset - 4, raw, 4); s != kStoreOk) {
    return s == kStoreShortIo ? kStoreDamagedHeader : s;
  }
  const uint32_t tag = LoadWord(raw, swap);
  if (TagKind(tag) != kind || TagCapacity(tag) < bytes || offset + uint64_t{TagCapacity(tag)} > file_size) {
    return kStoreDamagedHeader;
  }
  return kStoreOk;
}

StoreStatus Store_Create(StoreFile** out, const std::string& path, uint32_t mode, const StoreFileDef* def,
                         const StoreFileType* type, Env* env) try {
  if (out == nullptr) return kStoreInvalidArgument;
  *out = nullptr;
  const StoreFileDef defaults;
  if (def == nullptr) def = &defaults;
  if (def->keys.empty() || def->keys.size() > kMaxCreateKeys ||
      kHeaderFixedBytes + kKeyDescriptorBytes * def->keys.size() > kHeaderReserved) {
    return kStoreInvalidArgument;
  }
  for (const StoreKeyDef& k : def->keys) {
    if (!IsKnownKeyMethod(k.method)) return kStoreInvalidArgument;
  }
  if (def->user_block_size > kBlockCapacityMask - 8) return kStoreInvalidArgument;
  const uint32_t order = type != nullptr ? type->byte_order : NativeByteOrder();
  if (order != kStoreBigEndian && order != kStoreLittleEndian) return kStoreInvalidArgument;
  if ((mode & kStoreLockMask) == kStoreLockMask) return kStoreInvalidArgument;

  std::lock_guard<std::mutex> global(StoreGlobalLock());
  env = EnvOrDefault(env);
  // A log left by a crash belongs to the file being replaced.
  if (int err = env->Remove(CommitLogPath(path)); err != 0 && err != ENOENT) return StoreStatusFromErrno(err);
  std::unique_ptr<File> file;
  if (int err = env->Open(path, OpenMode::kCreate, &file); err != 0) return StoreStatusFromErrno(err);
  const bool sync = (mode & kStoreNoSync) == 0;
  const uint32_t node_size = Clamp(def->node_size, 32, 1024);
  auto handle = std::make_unique<StoreFile>(std::make_unique<Pager>(env, path, std::move(file), sync),
                                            order != NativeByteOrder(), node_size);
  handle->env = env;
  handle->path = path;
  handle->mode = (mode & ~kStoreAccessMask) | kStoreReadWrite;
  if (type != nullptr) handle->type = *type;
  handle->stamp.salt = NewSalt();
  StoreHeader& h = handle->header;
  h.kind = def->kind;
  h.node_size = node_size;
  h.alloc_a = Clamp(def->alloc_a, 32, 1024);
  h.alloc_b = Clamp(def->alloc_b, 32, 1024);
  h.user_block_size = def->user_block_size;
  for (const StoreKeyDef& k : def->keys) h.keys.push_back({k.type, k.method, 0});
  handle->allocator.set_end(kHeaderReserved);
  Node* root = nullptr;
  if (StoreStatus s = handle->nodes.Create(true, &root); s != kStoreOk) return s;
  h.keys[0].root = root->offset;
  handle->header_dirty = true;
  handle->operation_lock = MakeOperationLock(mode);
  handle->rw_lock = MakeReaderWriterLock(mode);
  if (StoreStatus s = handle->FlushLocked(); s != kStoreOk) return s;
  if (sync) {
    if (int err = env->SyncDirOf(path); err != 0) return StoreStatusFromErrno(err);
  }
  *out = handle.release();
  return kStoreOk;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return kStoreNoMemory;
}

StoreStatus Store_Open(StoreFile** out, const std::string& path, uint32_t mode, const StoreFileType* type,
                       Env* env) try {
  if (out == nullptr) return kStoreInvalidArgument;
  *out = nullptr;
  const uint32_t access = mode & kStoreAccessMask;
  if ((access != kStoreRead && access != kStoreReadWrite) || (mode & kStoreLockMask) == kStoreLockMask) {
    return kStoreInvalidArgument;
  }
  const bool writable = access == kStoreReadWrite;
  std::lock_guard<std::mutex> global(StoreGlobalLock());
  env = EnvOrDefault(env);
  std::unique_ptr<File> file;
  if (int err = env->Open(path, writable ? OpenMode::kReadWrite : OpenMode::kRead, &file); err != 0) {
    return StoreStatusFromErrno(err);
  }
  auto pager = std::make_unique<Pager>(env, path, std::move(file), (mode & kStoreNoSync) == 0);
  uint8_t raw[kHeaderReserved] = {};
  size_t got = 0;
  {
    std::lock_guard<std::mutex> commit(StoreCommitLock());
    if (StoreStatus s = pager->Recover(writable); s != kStoreOk) return s;
    if (pager->Read(0, raw, sizeof raw, &got) != 0 || got < kHeaderMinimum) return kStoreHeaderUnreadable;
  }
  if (std::memcmp(raw, "TXDB", 4) != 0) return kStoreBadMagic;
  const uint32_t version = LoadWord(raw + 4, false);
  if (version != kVersion && version != kVersionOtherOrder) return kStoreBadVersion;
  const bool swap = version == kVersionOtherOrder;
  if (swap && type == nullptr) return kStoreOtherOrder;

  uint64_t size = 0;
  if (pager->Size(&size) != 0) return kStoreShortIo;
  StoreHeader header;
  if (StoreStatus s = StoreHeader::Decode(raw, got, swap, &header); s != kStoreOk) return s;
  auto handle = std::make_unique<StoreFile>(std::move(pager), swap, header.node_size);
  handle->env = env;
  handle->path = path;
  handle->mode = mode;
  if (type != nullptr) handle->type = *type;
  handle->header = std::move(header);
  const StoreHeader& h = handle->header;
  for (auto [offset, kind, bytes] : {std::tuple{h.anchor1, BlockKind::kAnchor, kAnchorBytes},
                                     std::tuple{h.anchor2, BlockKind::kAnchor, kAnchorBytes},
                                     std::tuple{h.user_block, BlockKind::kUserBlock, h.user_block_size}}) {
    if (StoreStatus s = handle->CheckBlock(offset, kind, bytes, size); s != kStoreOk) return s;
  }
  for (const KeyDescriptor& k : h.keys) {
    if (StoreStatus s = handle->CheckBlock(k.root, BlockKind::kNode, h.node_size, size); s != kStoreOk) {
      return s;
    }
  }
  handle->allocator.set_end(size);
  if (writable) {
    CommitStamp stamp;
    const bool stamped = got == kHeaderReserved && StampFits(h.key_count()) && DecodeStamp(raw, swap, &stamp);
    handle->write_refusal = CheckTail(handle.get(), stamped ? &stamp : nullptr);
    handle->stamp = {stamp.end, stamp.sequence, NewSalt()};
    // A file without a stamp gets one with the next commit.
    handle->header_dirty = !stamped && StampFits(h.key_count());
  }
  // A damaged free directory costs only its blocks: the lists start empty and
  // the next flush writes a new directory.
  if (StoreStatus s = handle->allocator.Load(h.anchor1); s == kStoreFreeSpaceDamaged) {
    handle->allocator.Load(0);
    handle->free_directory_damaged = true;
    handle->header.anchor1 = 0;
    handle->header_dirty = true;
  } else if (s != kStoreOk) {
    return s;
  }
  handle->operation_lock = MakeOperationLock(mode);
  handle->rw_lock = MakeReaderWriterLock(mode);
  *out = handle.release();
  return kStoreOk;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return kStoreNoMemory;
}

StoreStatus Store_Close(StoreFile* file) try {
  if (file == nullptr) return kStoreInvalidArgument;
  std::lock_guard<std::mutex> global(StoreGlobalLock());
  StoreStatus status;
  {
    OperationScope scope(file);
    if (file->rw_lock) {
      if (file->rw_lock->HasWriter()) return kStoreWriterRegistered;
      if (file->rw_lock->HasReaders()) return kStoreReadersRegistered;
    }
    status = file->FlushLocked();
    std::lock_guard<std::mutex> commit(StoreCommitLock());
    const StoreStatus finished = file->file->Finish();
    if (status == kStoreOk) status = finished;
  }
  delete file;
  return status;
} catch (const std::bad_alloc&) {
  delete file;  // a close always lets the handle go
  return kStoreNoMemory;
}

StoreStatus Store_Flush(StoreFile* file) try {
  if (file == nullptr) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (file->rw_lock && file->writable() && !file->rw_lock->IsWriter()) return kStoreNotWriter;
  return file->FlushLocked();
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_GetInfo(StoreFile* file, StoreInfo* info) try {
  if (file == nullptr || info == nullptr) return kStoreInvalidArgument;
  std::lock_guard<std::mutex> global(StoreGlobalLock());
  OperationScope scope(file);
  const StoreHeader& h = file->header;
  *info = {h.kind, h.key_count(), h.node_size, h.alloc_a, h.alloc_b, h.user_block_size};
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_ReadUserBlock(StoreFile* file, uint8_t** block, uint32_t* length) try {
  if (file == nullptr || block == nullptr || length == nullptr) return kStoreInvalidArgument;
  *block = nullptr;
  *length = 0;
  OperationScope scope(file);
  const StoreHeader& h = file->header;
  if (h.user_block == 0) return kStoreNotFound;
  std::vector<uint8_t> raw(4 + size_t{h.user_block_size});
  if (StoreStatus s = file->ReadExact(h.user_block - 4, raw.data(), raw.size()); s != kStoreOk) return s;
  const uint32_t tag = LoadWord(raw.data(), file->swap);
  if (TagKind(tag) != BlockKind::kUserBlock || TagCapacity(tag) < h.user_block_size) return kStoreBlockDamaged;
  auto* copy = new uint8_t[h.user_block_size + 1];
  std::memcpy(copy, raw.data() + 4, h.user_block_size);
  if (file->swap && file->type.convert_user_block != nullptr) {
    file->type.convert_user_block(copy, h.user_block_size, StoreConvert::kToNative);
  }
  *block = copy;
  *length = h.user_block_size;
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_WriteUserBlock(StoreFile* file, const void* block, uint32_t length) try {
  if (file == nullptr || (block == nullptr && length > 0)) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (StoreStatus s = CheckWritable(file); s != kStoreOk) return s;
  StoreHeader& h = file->header;
  if (h.user_block_size == 0 || length > h.user_block_size) return kStoreInvalidArgument;
  Block target{h.user_block, 0};
  if (target.offset == 0) {
    if (StoreStatus s = file->allocator.Allocate(h.user_block_size, &target); s != kStoreOk) return s;
  } else {
    uint8_t raw[4];
    if (StoreStatus s = file->ReadExact(target.offset - 4, raw, 4); s != kStoreOk) return s;
    const uint32_t tag = LoadWord(raw, file->swap);
    if (TagKind(tag) != BlockKind::kUserBlock || TagCapacity(tag) < h.user_block_size) {
      return kStoreBlockDamaged;
    }
    target.capacity = TagCapacity(tag);
  }
  file->DropWindow();
  std::vector<uint8_t> raw(4 + size_t{target.capacity}, 0);
  StoreWord(raw.data(), BlockTag(BlockKind::kUserBlock, target.capacity), file->swap);
  if (length > 0) std::memcpy(raw.data() + 4, block, length);
  if (file->swap && file->type.convert_user_block != nullptr) {
    file->type.convert_user_block(raw.data() + 4, h.user_block_size, StoreConvert::kToFile);
  }
  if (int err = file->file->Write(target.offset - 4, raw.data(), raw.size()); err != 0) {
    if (h.user_block == 0) file->allocator.Unallocate(target);
    return StoreStatusFromErrno(err);
  }
  if (h.user_block == 0) {
    h.user_block = target.offset;
    file->header_dirty = true;
  }
  return file->FinishChange(false);
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_FreeUserBlock(StoreFile* file, uint8_t* block) try {
  if (file == nullptr) return kStoreInvalidArgument;
  delete[] block;
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_LockWriter(StoreFile* file) try {
  if (file == nullptr || !file->rw_lock) return kStoreInvalidArgument;
  return file->rw_lock->LockWriter();
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_UnlockWriter(StoreFile* file) try {
  if (file == nullptr || !file->rw_lock) return kStoreInvalidArgument;
  return file->rw_lock->UnlockWriter();
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_LockReader(StoreFile* file) try {
  if (file == nullptr || !file->rw_lock) return kStoreInvalidArgument;
  return file->rw_lock->LockReader();
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_UnlockReader(StoreFile* file) try {
  if (file == nullptr || !file->rw_lock) return kStoreInvalidArgument;
  return file->rw_lock->UnlockReader();
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

}  // namespace tavo
