// When the library flushes its database: after 100 stored writes, or at the
// first write that comes more than 10 seconds after the first write not yet
// flushed. Between flushes a crash loses the writes since the last one (the
// record store's README says what exactly).
//
//   write  counter += 1
//          counter == 1                        -> stamp = now, nothing else
//          now - stamp > 10000 ms, or
//          counter >= 100                      -> flush
//   flush  succeeded -> counter = 0, stamp = now; failed -> both unchanged,
//          so the next write tries again
//
// Ticks are a 32-bit millisecond count that may wrap; differences are taken
// modulo 2^32. Not thread safe: the library calls it under its write lock.
#ifndef TAVO_MANAGER_LIBRARY_COMMIT_POLICY_H_
#define TAVO_MANAGER_LIBRARY_COMMIT_POLICY_H_

#include <cstdint>

namespace tavo {

using TickFunction = uint32_t (*)();

// The process's monotonic millisecond tick.
uint32_t SteadyTick() noexcept;

inline constexpr int32_t kCommitAfterWrites = 100;
inline constexpr uint32_t kCommitAfterMilliseconds = 10000;

class CommitPolicy {
 public:
  explicit CommitPolicy(TickFunction tick = SteadyTick) : tick_(tick) {}

  // Counts one stored write; true when the database should be flushed now.
  bool CountWrite() noexcept;
  // The flush asked for succeeded.
  void Flushed() noexcept;
  // A new database: nothing counted, no stamp.
  void Reset() noexcept;

  int32_t pending() const { return counter_; }

 private:
  TickFunction tick_;
  int32_t counter_ = 0;
  uint32_t stamp_ = 0;
  bool stamped_ = false;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_COMMIT_POLICY_H_
