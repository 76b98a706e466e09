// Replaces the global operator new, so that a test can make any one
// allocation fail the way running out of memory does (std::bad_alloc, or null
// from the nothrow forms). Include it in exactly one file of a test
// program of its own: the replacement holds for the whole program.
#ifndef TAVO_TESTS_SUPPORT_FAILING_ALLOCATIONS_H_
#define TAVO_TESTS_SUPPORT_FAILING_ALLOCATIONS_H_

#include <atomic>
#include <cstdlib>
#include <new>

namespace tavo::testing {

// Allocations left before the armed failure; negative: disarmed.
inline std::atomic<long> allocations_left{-1};
// Every allocation so far, to size a run that fails at each one in turn.
inline std::atomic<long> allocations_seen{0};

inline void* AllocateOrFail(std::size_t n) {
  allocations_seen.fetch_add(1, std::memory_order_relaxed);
  if (allocations_left.load(std::memory_order_relaxed) >= 0 && allocations_left.fetch_sub(1) == 0)
    throw std::bad_alloc();
  if (void* p = std::malloc(n != 0 ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace tavo::testing

// Not inlined: the compiler would otherwise see the blocks of its own
// operator new reach free() and warn of a mismatch.
#define TAVO_REPLACED __attribute__((noinline))
TAVO_REPLACED void* operator new(std::size_t n) { return tavo::testing::AllocateOrFail(n); }
TAVO_REPLACED void* operator new[](std::size_t n) { return tavo::testing::AllocateOrFail(n); }
TAVO_REPLACED void operator delete(void* p) noexcept { std::free(p); }
TAVO_REPLACED void operator delete[](void* p) noexcept { std::free(p); }
TAVO_REPLACED void operator delete(void* p, std::size_t) noexcept { std::free(p); }
TAVO_REPLACED void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The nothrow forms too: a sanitizer's own would otherwise allocate blocks that
// the delete above frees.
TAVO_REPLACED void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return tavo::testing::AllocateOrFail(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
TAVO_REPLACED void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
TAVO_REPLACED void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
TAVO_REPLACED void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#undef TAVO_REPLACED

#endif  // TAVO_TESTS_SUPPORT_FAILING_ALLOCATIONS_H_
