// The pseudo-random generator of generator runs: values 0 to 32767, the same
// sequence for a seed on every platform and compiler (plain 64-bit integer
// arithmetic, nothing from the C library).
//
// Algorithm (a permuted congruential generator, "XSH RR" output):
//
//   state  64-bit, increment = (0x5461766F << 1) | 1
//   seed s:   state = 0; step; state += s (as unsigned 32-bit); step
//   step:     state = state * 6364136223846793005 + increment
//   next:     old = state; step;
//             x = (uint32)(((old >> 18) ^ old) >> 27); r = old >> 59
//             out = rotate_right(x, r); value = out >> 17     (0..32767)
//
// A choice among n entries (Draw) takes value % n while n is at most 32,768,
// and otherwise combines k values, ((v1 << 15) | v2) ... % n, with the
// fewest k whose 15k bits reach n, so that every entry of a long list can
// be reached; lists of up to 32,768 entries keep the one-value sequence.
//
// Runs draw from a RandomGenerator of their own, seeded for the run, so a
// seed gives the same playlist even while other runs draw on other threads;
// when a run ends, the process-wide generator continues from the run's final
// state (ProcessRandom_Continue), as if the run had drawn from it alone.
#ifndef TAVO_GENERATION_ENGINE_RANDOM_GENERATOR_H_
#define TAVO_GENERATION_ENGINE_RANDOM_GENERATOR_H_

#include <cstdint>

namespace tavo {

inline constexpr uint32_t kRandomValueCount = 32768;  // values are 0..32767

class RandomGenerator {
 public:
  explicit RandomGenerator(uint32_t seed = 1) noexcept { Seed(seed); }

  void Seed(uint32_t seed) noexcept;
  // The next value, 0..32767.
  uint32_t Next() noexcept;
  // A position in [0, n), n >= 1 (0 for n == 0).
  uint64_t Draw(uint64_t n) noexcept;

  uint64_t state() const noexcept { return state_; }
  void set_state(uint64_t state) noexcept { state_ = state; }

 private:
  void Step() noexcept;

  uint64_t state_ = 0;
};

// The process-wide generator; each call is atomic with respect to the others.
void ProcessRandom_Seed(uint32_t seed) noexcept;
uint32_t ProcessRandom_Next() noexcept;
// Makes the process-wide generator continue from `finished`'s state.
void ProcessRandom_Continue(const RandomGenerator& finished) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_RANDOM_GENERATOR_H_
