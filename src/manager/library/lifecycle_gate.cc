#include "manager/library/lifecycle_gate.h"

#include <algorithm>
#include <vector>

#include "manager/library/manager_status.h"

namespace tavo {
namespace {

// The gates the calling thread is inside, once per Enter (nested uses of one
// gate appear as often as they nest). Uses are scoped, so the list stays
// short and is a stack.
thread_local std::vector<const LifecycleGate*> t_inside;

}  // namespace

bool LifecycleGate::CallerInside() const {
  return std::find(t_inside.begin(), t_inside.end(), this) != t_inside.end();
}

bool LifecycleGate::CallerBusy() const {
  return CallerInside() || (state_ == State::kOpening && opener_ == std::this_thread::get_id());
}

LifecycleGate::State LifecycleGate::state() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

LibraryStatus LifecycleGate::BeginOpen() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (CallerBusy()) {
    // Waiting here would wait for the caller itself.
    return state_ == State::kOpen || state_ == State::kOpening ? kManagerAlreadyOpen : kManagerBusy;
  }
  changed_.wait(lock, [&] { return state_ != State::kClosing; });
  if (state_ != State::kClosed) return kManagerAlreadyOpen;
  state_ = State::kOpening;
  opener_ = std::this_thread::get_id();
  close_requested_ = false;
  return kLibraryOk;
}

void LifecycleGate::EndOpen(bool opened) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = opened ? State::kOpen : State::kClosed;
  opener_ = std::thread::id();
  changed_.notify_all();
}

LibraryStatus LifecycleGate::BeginClose() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (CallerBusy()) return kManagerBusy;
  changed_.wait(lock, [&] { return state_ != State::kOpening; });
  if (state_ != State::kOpen) {
    // Closed, or another thread is closing it: wait for that to end.
    changed_.wait(lock, [&] { return state_ != State::kClosing; });
    return kManagerNotOpen;
  }
  state_ = State::kClosing;
  close_requested_ = true;
  changed_.wait(lock, [&] { return users_ == 0; });
  return kLibraryOk;
}

void LifecycleGate::EndClose() {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = State::kClosed;
  changed_.notify_all();
}

LibraryStatus LifecycleGate::Enter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::kOpen) return kManagerNotOpen;
    ++users_;
  }
  t_inside.push_back(this);
  return kLibraryOk;
}

void LifecycleGate::Leave() {
  const auto it = std::find(t_inside.rbegin(), t_inside.rend(), this);
  if (it != t_inside.rend()) t_inside.erase(std::next(it).base());
  std::lock_guard<std::mutex> lock(mutex_);
  if (--users_ == 0) changed_.notify_all();
}

}  // namespace tavo
