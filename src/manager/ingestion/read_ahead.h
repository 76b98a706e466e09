// Read-ahead of a folder scan: the readings (file_reading.h) of the files
// after the current one, made on a second thread while the scan's own thread
// asks the host and stores.
//
// Invariants:
//   1. Take(i) or Drop(i) is called for i = 0, 1, 2, ... in order, from one
//      thread; Take hands out exactly the reading of files[i], made once.
//   2. The helper thread reads at most kWindow files past the last one
//      taken, in order, never one already claimed; a slot it has not
//      claimed when Take reaches it is read by the taking thread itself, so
//      both threads read while the helper lags.
//   3. Readings not taken are dropped when the object is destroyed (a skip
//      or a stop of the scan); the destructor waits for the helper.
//
// Thread safety: slots_ and next_ are guarded by mutex_; a slot's reading is
// written only by the thread that claimed it.
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
  // How many files past the current one the helper reads at most.
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

  void HelperLoop();

  const std::vector<std::string>& files_;
  const Reader read_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;  // guarded by mutex_ (state; see invariant)
  size_t taken_ = 0;         // guarded by mutex_: files before it were taken
  bool stopping_ = false;    // guarded by mutex_
  std::thread helper_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_READ_AHEAD_H_
