#include "storage/store/locks.h"

namespace tavo {

std::mutex& StoreGlobalLock() noexcept {
  static std::mutex lock;
  return lock;
}

std::mutex& StoreCommitLock() noexcept {
  static std::mutex lock;
  return lock;
}

void RecursiveLock::Lock() {
  const std::thread::id self = std::this_thread::get_id();
  if (owner_.load() == self) {
    ++depth_;
    return;
  }
  mutex_.lock();
  owner_.store(self);
  depth_ = 1;
}

StoreStatus RecursiveLock::Unlock() {
  if (owner_.load() != std::this_thread::get_id()) return kStoreInvalidArgument;
  if (--depth_ == 0) {
    owner_.store(std::thread::id());
    mutex_.unlock();
  }
  return kStoreOk;
}

StoreStatus ReaderWriterLock::LockReader() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(guard_);
  changed_.wait(lock, [&] { return writer_ == std::thread::id() || writer_ == self; });
  ++readers_[self];
  return kStoreOk;
}

StoreStatus ReaderWriterLock::UnlockReader() {
  std::lock_guard<std::mutex> lock(guard_);
  auto it = readers_.find(std::this_thread::get_id());
  if (it == readers_.end()) return kStoreInvalidArgument;
  if (--it->second == 0) readers_.erase(it);
  changed_.notify_all();
  return kStoreOk;
}

StoreStatus ReaderWriterLock::LockWriter() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(guard_);
  if (writer_ == self) {
    ++writer_depth_;
    return kStoreOk;
  }
  changed_.wait(lock, [&] {
    const bool others_read = readers_.size() > (readers_.count(self) ? 1u : 0u);
    return writer_ == std::thread::id() && !others_read;
  });
  writer_ = self;
  writer_depth_ = 1;
  return kStoreOk;
}

StoreStatus ReaderWriterLock::UnlockWriter() {
  std::lock_guard<std::mutex> lock(guard_);
  if (writer_ != std::this_thread::get_id()) return kStoreInvalidArgument;
  if (--writer_depth_ == 0) {
    writer_ = std::thread::id();
    changed_.notify_all();
  }
  return kStoreOk;
}

bool ReaderWriterLock::IsWriter() noexcept {
  std::lock_guard<std::mutex> lock(guard_);
  return writer_ == std::this_thread::get_id();
}

bool ReaderWriterLock::HasReaders() noexcept {
  std::lock_guard<std::mutex> lock(guard_);
  return !readers_.empty();
}

bool ReaderWriterLock::HasWriter() noexcept {
  std::lock_guard<std::mutex> lock(guard_);
  return writer_ != std::thread::id();
}

}  // namespace tavo
