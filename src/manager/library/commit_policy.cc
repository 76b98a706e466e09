#include "manager/library/commit_policy.h"

#include <chrono>

namespace tavo {

uint32_t SteadyTick() noexcept {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}

bool CommitPolicy::CountWrite() noexcept {
  if (++counter_ == 1) {
    stamp_ = tick_();
    stamped_ = true;
    return false;
  }
  if (stamped_ && tick_() - stamp_ > kCommitAfterMilliseconds) return true;
  return counter_ >= kCommitAfterWrites;
}

void CommitPolicy::Flushed() noexcept {
  counter_ = 0;
  stamp_ = tick_();
  stamped_ = true;
}

void CommitPolicy::Reset() noexcept {
  counter_ = 0;
  stamp_ = 0;
  stamped_ = false;
}

}  // namespace tavo
