// Locks of the record store.
//
// - The process-wide store lock guards creating, opening, closing and
//   Store_GetInfo.
// - Every handle has a recursive handle lock held for the duration of each
//   operation; the owning thread may take it again.
// - Mode 0x100 adds a second recursive lock of the same kind; mode 0x200 a
//   reader/writer lock whose writer alone may change the file.
#ifndef TAVO_STORAGE_STORE_LOCKS_H_
#define TAVO_STORAGE_STORE_LOCKS_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "storage/store/status.h"

namespace tavo {

std::mutex& StoreGlobalLock() noexcept;
// Held while a commit writes the log and the file, and while an open reads
// them, so that no open in this process sees a commit halfway. Taken after
// the global lock when both are held.
std::mutex& StoreCommitLock() noexcept;

class RecursiveLock {
 public:
  void Lock();
  // Release by a thread that does not hold the lock is kStoreInvalidArgument.
  StoreStatus Unlock();
  bool held() const noexcept { return owner_.load() != std::thread::id(); }

 private:
  std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};
  uint32_t depth_ = 0;
};

class ReaderWriterLock {
 public:
  // Readers wait while another thread writes; re-entrant per thread.
  StoreStatus LockReader();
  StoreStatus UnlockReader();
  // The writer waits until no other thread reads; re-entrant.
  StoreStatus LockWriter();
  StoreStatus UnlockWriter();
  bool IsWriter() noexcept;
  bool HasReaders() noexcept;
  bool HasWriter() noexcept;

 private:
  std::mutex guard_;
  std::condition_variable changed_;
  std::unordered_map<std::thread::id, uint32_t> readers_;
  std::thread::id writer_{};
  uint32_t writer_depth_ = 0;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_LOCKS_H_
