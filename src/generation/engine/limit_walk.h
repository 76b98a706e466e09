// The walk that picks the playlist from the ranked candidates under the
// generator's limits (K bytes = kilobytes * 1024, M seconds = minutes * 60,
// S songs; 0 means no limit), in 64-bit totals:
//
//   from the top of the ranked order, until M is reached by the collected
//   length, K by the collected size, or S songs are collected:
//     - within a run of candidates that rank equal, the candidate taken next
//       is drawn at random from the run's remaining ones (a draw over their
//       number), so ties come in random order;
//     - with K set: fewer than 10,240 bytes left ends the walk, a larger
//       track is passed over; then with M set: fewer than 8 seconds left
//       ends the walk, a longer track is passed over;
//     - otherwise the candidate joins the playlist.
//
// The ranked order is built lazily: only the part the walk reaches is
// sorted (partial sorts of growing blocks), with equal candidates in
// canonical order, so a seed gives the same walk on every platform. Without
// rank entries all candidates rank equal: the walk is one run.
#ifndef TAVO_GENERATION_ENGINE_LIMIT_WALK_H_
#define TAVO_GENERATION_ENGINE_LIMIT_WALK_H_

#include <cstdint>
#include <functional>
#include <vector>

#include "generation/engine/random_generator.h"

namespace tavo {

struct WalkLimits {
  uint64_t bytes = 0;
  uint64_t seconds = 0;
  uint64_t songs = 0;
};

struct WalkCandidate {
  uint64_t size = 0;    // bytes
  uint64_t length = 0;  // seconds
};

// Compares candidates a and b (canonical indices) by rank alone: < 0 when a
// ranks first, 0 when equal; null when the generator has no rank entries.
using RankCompare = std::function<int(uint32_t a, uint32_t b)>;

// The picked candidates (canonical indices) in walk order. Throws std::bad_alloc.
std::vector<uint32_t> WalkUnderLimits(const std::vector<WalkCandidate>& candidates, const RankCompare& compare,
                                      const WalkLimits& limits, RandomGenerator* random);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_LIMIT_WALK_H_
