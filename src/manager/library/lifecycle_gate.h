// LifecycleGate: the states of a media library and who may use it in each.
//
//              BeginOpen           EndOpen(true)
//   kClosed ─────────────▶ kOpening ─────────────▶ kOpen
//      ▲                      │ EndOpen(false)       │ BeginClose (waits until
//      └──────────────────────┘                      │ no other thread uses it)
//      └────────────────── EndClose ◀── kClosing ◀───┘
//
// Invariants:
//  - Enter succeeds only in kOpen; every successful Enter is paired with a
//    Leave (LibraryUse does both), and kClosing is reached only when no
//    thread but the closing one is inside.
//  - One thread opens or closes at a time. BeginOpen fails with
//    kManagerAlreadyOpen while another thread opens or the library is open;
//    it waits while another thread closes. BeginClose waits while another
//    thread opens and fails with kManagerNotOpen when nothing is open.
//  - A thread never waits for itself: BeginOpen and BeginClose called by a
//    thread that is inside the library (a sink calling back from an event of
//    one of its operations) or that is opening it fail with kManagerBusy.
//  - closing() turns true as soon as BeginClose is called, so a long
//    operation on another thread (a folder scan) can stop early instead of
//    keeping the close waiting.
#ifndef TAVO_MANAGER_LIBRARY_LIFECYCLE_GATE_H_
#define TAVO_MANAGER_LIBRARY_LIFECYCLE_GATE_H_

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "storage/library/library_status.h"

namespace tavo {

class LifecycleGate {
 public:
  enum class State { kClosed, kOpening, kOpen, kClosing };

  LifecycleGate() = default;
  LifecycleGate(const LifecycleGate&) = delete;
  LifecycleGate& operator=(const LifecycleGate&) = delete;

  LibraryStatus BeginOpen();
  void EndOpen(bool opened);
  LibraryStatus BeginClose();
  void EndClose();

  LibraryStatus Enter();
  void Leave();

  State state() const;
  bool closing() const { return close_requested_.load(std::memory_order_relaxed); }
  // Whether the calling thread is inside (between Enter and Leave).
  bool CallerInside() const;

 private:
  bool CallerBusy() const;  // inside, or the thread that opens

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::kClosed;      // guarded by mutex_
  int users_ = 0;                     // Enter without Leave, all threads; guarded by mutex_
  std::thread::id opener_;            // the thread in kOpening; guarded by mutex_
  std::atomic<bool> close_requested_{false};
};

// One use of an open library by the calling thread: Enter on construction,
// Leave on destruction.
class LibraryUse {
 public:
  explicit LibraryUse(LifecycleGate& gate) : gate_(gate), status_(gate.Enter()) {}
  ~LibraryUse() {
    if (status_ == kLibraryOk) gate_.Leave();
  }
  LibraryUse(const LibraryUse&) = delete;
  LibraryUse& operator=(const LibraryUse&) = delete;

  LibraryStatus status() const { return status_; }
  bool ok() const { return status_ == kLibraryOk; }

 private:
  LifecycleGate& gate_;
  const LibraryStatus status_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_LIFECYCLE_GATE_H_
