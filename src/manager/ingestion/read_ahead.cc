#include "manager/ingestion/read_ahead.h"

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
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

FileReading ReadAhead::Take(size_t index) {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& slot = slots_[index];
  taken_ = index + 1;
  if (slot.state == State::kWaiting) {
    slot.state = State::kReading;
    lock.unlock();
    changed_.notify_all();  // the window moved
    FileReading reading = read_(files_[index]);
    lock.lock();
    slot.state = State::kTaken;
    return reading;
  }
  changed_.notify_all();
  changed_.wait(lock, [&] { return slot.state == State::kDone; });
  slot.state = State::kTaken;
  return std::move(slot.reading);
}

void ReadAhead::Drop(size_t index) {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& slot = slots_[index];
  taken_ = index + 1;
  if (slot.state == State::kDone) slot.reading = FileReading{};
  // A slot the helper is reading is left to it; nobody takes it.
  if (slot.state != State::kReading) slot.state = State::kTaken;
  lock.unlock();
  changed_.notify_all();
}

void ReadAhead::HelperLoop() {
  size_t next = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] {
      if (next < taken_) next = taken_;
      return stopping_ || (next < slots_.size() && next < taken_ + kWindow);
    });
    if (stopping_) return;
    Slot& slot = slots_[next++];
    if (slot.state != State::kWaiting) continue;
    slot.state = State::kReading;
    lock.unlock();
    FileReading reading = read_(files_[next - 1]);
    lock.lock();
    slot.reading = std::move(reading);
    slot.state = State::kDone;
    changed_.notify_all();
  }
}

}  // namespace tavo
