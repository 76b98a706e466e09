#include "generation/engine/random_generator.h"

#include <mutex>

namespace tavo {
namespace {

constexpr uint64_t kMultiplier = 6364136223846793005ull;
constexpr uint64_t kIncrement = (uint64_t{0x5461766F} << 1) | 1;  // "Tavo", made odd
constexpr int kValueBits = 15;

std::mutex g_process_mutex;
RandomGenerator g_process;  // guarded by g_process_mutex

}  // namespace

void RandomGenerator::Step() noexcept { state_ = state_ * kMultiplier + kIncrement; }

void RandomGenerator::Seed(uint32_t seed) noexcept {
  state_ = 0;
  Step();
  state_ += seed;
  Step();
}

uint32_t RandomGenerator::Next() noexcept {
  const uint64_t old = state_;
  Step();
  const uint32_t x = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
  const uint32_t r = static_cast<uint32_t>(old >> 59);
  const uint32_t out = (x >> r) | (x << ((32 - r) & 31));
  return out >> (32 - kValueBits);
}

uint64_t RandomGenerator::Draw(uint64_t n) noexcept {
  if (n == 0) return 0;
  uint64_t value = Next();
  for (uint64_t reach = kRandomValueCount; reach < n && reach < (uint64_t{1} << 60); reach <<= kValueBits) {
    value = (value << kValueBits) | Next();
  }
  return value % n;
}

void ProcessRandom_Seed(uint32_t seed) noexcept {
  std::lock_guard lock(g_process_mutex);
  g_process.Seed(seed);
}

uint32_t ProcessRandom_Next() noexcept {
  std::lock_guard lock(g_process_mutex);
  return g_process.Next();
}

void ProcessRandom_Continue(const RandomGenerator& finished) noexcept {
  std::lock_guard lock(g_process_mutex);
  g_process.set_state(finished.state());
}

}  // namespace tavo
