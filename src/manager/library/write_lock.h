// The manager's write lock: one writer at a time, and a writer waits for it
// at most a given time. A mutex and a condition variable rather than
// std::timed_mutex, whose timed wait ThreadSanitizer cannot follow here, so
// that the writes it orders are checked as ordered.
#ifndef TAVO_MANAGER_LIBRARY_WRITE_LOCK_H_
#define TAVO_MANAGER_LIBRARY_WRITE_LOCK_H_

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tavo {

class WriteLock {
 public:
  WriteLock() = default;
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

  // True when the lock was taken within `wait`.
  bool TryLockFor(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!released_.wait_for(lock, wait, [&] { return !held_; })) return false;
    held_ = true;
    return true;
  }
  void Lock() {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [&] { return !held_; });
    held_ = true;
  }
  void Unlock() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held_ = false;
    }
    released_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;  // guarded by mutex_
};

// Holds a WriteLock taken with TryLockFor or Lock until destroyed.
class WriteLockHold {
 public:
  WriteLockHold(WriteLock& lock, std::chrono::milliseconds wait) : lock_(lock), held_(lock.TryLockFor(wait)) {}
  explicit WriteLockHold(WriteLock& lock) : lock_(lock), held_(true) { lock.Lock(); }
  ~WriteLockHold() {
    if (held_) lock_.Unlock();
  }
  WriteLockHold(const WriteLockHold&) = delete;
  WriteLockHold& operator=(const WriteLockHold&) = delete;

  bool held() const { return held_; }

 private:
  WriteLock& lock_;
  const bool held_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_WRITE_LOCK_H_
