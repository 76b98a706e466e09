// Read-ahead of a folder scan: the readings (file_reading.h) of the files
// after the current one, made on a second thread while the scan's own thread
// asks the host and stores.
//
// Invariants:
//   1. Take(i) or Drop(i) is called for i = 0, 1, 2, ... in order, from one
//      thread (the taker); Take hands out exactly the reading of files[i],
//      made once.
//   2. Readings are made only for files in the window [i, i + kWindow) of
//      the file i being taken, each by the thread that claimed it (state
//      kWaiting -> kReading, under mutex_). The helper claims the first
//      unclaimed file of the window; so does the taker while the file it
//      needs is still being read by the helper, rather than wait idle. Both
//      threads therefore read while the scan stores.
//   3. Readings not taken are dropped when the object is destroyed (a skip
//      or a stop of the scan); the destructor waits for the helper.
//
// Thread safety: slots_ (states and readings), taken_, stopping_ and the two
// waiting flags are guarded by mutex_; a reading is made outside the lock by
// the claimant and stored under it. Each thread is woken only when the other
// knows it waits and has something for it (a wake-up costs a context
// switch, and on a busy machine a time slice).
#ifndef TAVO_MANAGER_INGESTION_READ_AHEAD_H_
#define TAVO_MANAGER_INGESTION_READ_AHEAD_H_

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "manager/ingestion/file_reading.h"

namespace tavo {

class ReadAhead {
 public:
  // How many files from the current one may be read ahead.
  static constexpr size_t kWindow = 32;

  using Reader = std::function<FileReading(const std::string& path)>;

  ReadAhead(const std::vector<std::string>& files, Reader read);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  FileReading Take(size_t index);
  // Moves past file `index` without its reading (the scan will not store
  // it); a reading made for it is dropped.
  void Drop(size_t index);

 private:
  enum class State { kWaiting, kReading, kDone, kTaken };
  struct Slot {
    State state = State::kWaiting;
    FileReading reading;
  };

  // The first unclaimed file of the window, claimed; or files_.size().
  size_t ClaimNext(size_t from);
  // Reads file `index` (claimed by the caller) with mutex_ released and
  // stores the reading.
  void ReadInto(size_t index, std::unique_lock<std::mutex>& lock);
  void HelperLoop();

  const std::vector<std::string>& files_;
  const Reader read_;
  // Wakes the helper when the window moved or the scan ends.
  void WakeHelper(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable helper_wake_;  // the helper waits for a file to claim
  std::condition_variable taker_wake_;   // the taker waits for the helper's reading
  std::vector<Slot> slots_;
  size_t taken_ = 0;  // the window starts here: files before it were taken or dropped
  bool stopping_ = false;
  bool helper_waiting_ = false;
  bool taker_waiting_ = false;
  std::thread helper_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_READ_AHEAD_H_
