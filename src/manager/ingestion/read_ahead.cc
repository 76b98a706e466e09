#include "manager/ingestion/read_ahead.h"

#include <algorithm>
#include <utility>

namespace tavo {

ReadAhead::ReadAhead(const std::vector<std::string>& files, Reader read)
    : files_(files), read_(std::move(read)), slots_(files.size()) {
  if (files_.size() > 1) helper_ = std::thread([this] { HelperLoop(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  helper_wake_.notify_one();
  if (helper_.joinable()) helper_.join();
}

void ReadAhead::WakeHelper(std::unique_lock<std::mutex>& lock) {
  if (!helper_waiting_) return;
  helper_waiting_ = false;
  lock.unlock();
  helper_wake_.notify_one();
  lock.lock();
}

size_t ReadAhead::ClaimNext(size_t from) {
  const size_t end = std::min(slots_.size(), taken_ + kWindow);
  for (size_t i = std::max(from, taken_); i < end; ++i) {
    if (slots_[i].state == State::kWaiting) {
      slots_[i].state = State::kReading;
      return i;
    }
  }
  return slots_.size();
}

void ReadAhead::ReadInto(size_t index, std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  FileReading reading = read_(files_[index]);
  lock.lock();
  Slot& slot = slots_[index];
  if (slot.state == State::kReading) {  // else dropped meanwhile
    slot.reading = std::move(reading);
    slot.state = State::kDone;
  }
  if (taker_waiting_) {
    taker_waiting_ = false;
    taker_wake_.notify_one();
  }
}

FileReading ReadAhead::Take(size_t index) {
  std::unique_lock<std::mutex> lock(mutex_);
  taken_ = index;
  Slot& slot = slots_[index];
  if (slot.state == State::kWaiting) {
    slot.state = State::kTaken;
    taken_ = index + 1;
    WakeHelper(lock);
    lock.unlock();
    return read_(files_[index]);
  }
  WakeHelper(lock);
  // The helper is reading it: read later files meanwhile, wait when there
  // are none.
  while (slot.state != State::kDone) {
    const size_t other = ClaimNext(index + 1);
    if (other < slots_.size()) {
      ReadInto(other, lock);
    } else {
      taker_waiting_ = true;
      taker_wake_.wait(lock, [&] { return slot.state == State::kDone; });
      taker_waiting_ = false;
    }
  }
  slot.state = State::kTaken;
  taken_ = index + 1;
  FileReading reading = std::move(slot.reading);
  WakeHelper(lock);
  return reading;
}

void ReadAhead::Drop(size_t index) {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& slot = slots_[index];
  slot.state = State::kTaken;  // a reading in progress is dropped when it ends
  slot.reading = FileReading{};
  taken_ = index + 1;
  WakeHelper(lock);
}

void ReadAhead::HelperLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    const size_t next = ClaimNext(taken_);
    if (next < slots_.size()) {
      ReadInto(next, lock);
      continue;
    }
    helper_waiting_ = true;
    helper_wake_.wait(lock, [&] { return !helper_waiting_ || stopping_; });
    helper_waiting_ = false;
  }
}

}  // namespace tavo
