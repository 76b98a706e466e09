// Genre similarity: how close a track's genre g is to a criterion's seed
// genre s, from the correlate tables, inside a window of the similarity
// scale. 0 means not similar; otherwise the correlate weight found (1000
// for the seed itself when it counts as similar).
//
// Window, for the scale (min, max) of the criterion's field, target t and
// window w percent:
//   half = (max - min) * w / 100 (truncated); low = t - half; high = t + half
//   low < min:   high += min - low; low = min
//   high > max:  low = (high - max > low) ? min : low - (high - max); high = max
//
// Similarity of g:
//   g == s: 1000 when t is 0 or max lies in [low, high], else 0
//   otherwise the best weight x in [low, high], x >= 1, over the candidates
//   c: the seed's leaf descendants in the genre list for fields 18, 19 and
//   32 (the seed itself when it has none or no list is loaded), the seed
//   alone for other fields. For one candidate, x is the weight of g in c's
//   table; else that of c in g's table; else, through the genre translation
//   map, that of tg in tc's table; else that of tc in tg's table.
#ifndef TAVO_GENERATION_ENGINE_GENRE_SIMILARITY_H_
#define TAVO_GENERATION_ENGINE_GENRE_SIMILARITY_H_

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "generation/engine/correlate_tables.h"
#include "generation/engine/run_lists.h"
#include "generation/records/generator_record.h"

namespace tavo {

inline constexpr int64_t kSeedSimilarity = 1000;

struct SimilarityWindow {
  int64_t low = 0;
  int64_t high = 0;
  bool seed_similar = false;  // the seed genre itself counts as similar
};

SimilarityWindow SimilarityWindowOf(const FieldRange& scale, int64_t target, int64_t window_percent) noexcept;

class GenreSimilarity {
 public:
  // Throws std::bad_alloc.
  GenreSimilarity(int32_t field, int32_t seed, int64_t target, int64_t window_percent, const FieldRange& scale,
                  const RunLists& lists, CorrelateTables* tables);

  // Works out the similarity of each genre now (reading the tables it
  // needs). Throws std::bad_alloc.
  void Prepare(const std::vector<int32_t>& genres);
  // Throws std::bad_alloc (the first time a genre not prepared is asked for).
  int64_t Of(int32_t genre);

 private:
  int64_t Compute(int32_t genre);

  int32_t seed_;
  SimilarityWindow window_;
  std::vector<int32_t> candidates_;
  const IdMapping* translation_;
  CorrelateTables* tables_;
  std::unordered_map<int32_t, int64_t> known_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_GENRE_SIMILARITY_H_
