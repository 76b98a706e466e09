#include "generation/engine/genre_similarity.h"

#include "data/descriptors/hierarchy.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

bool UsesLeafCandidates(int32_t field) {
  return field == txpl_crit_field_track_genre || field == txpl_crit_field_track_genrev2 ||
         field == txpl_crit_field_album_genrev2;
}

}  // namespace

SimilarityWindow SimilarityWindowOf(const FieldRange& scale, int64_t target, int64_t window_percent) noexcept {
  const int64_t min = scale.minimum;
  const int64_t max = scale.maximum;
  const int64_t half = (max - min) * window_percent / 100;
  int64_t low = target - half;
  int64_t high = target + half;
  if (low < min) {
    high += min - low;
    low = min;
  }
  if (high > max) {
    const int64_t over = high - max;
    low = over > low ? min : low - over;
    high = max;
  }
  return SimilarityWindow{low, high, target == 0 || (low <= max && max <= high)};
}

GenreSimilarity::GenreSimilarity(int32_t field, int32_t seed, int64_t target, int64_t window_percent,
                                 const FieldRange& scale, const RunLists& lists, CorrelateTables* tables)
    : seed_(seed),
      window_(SimilarityWindowOf(scale, target, window_percent)),
      translation_(lists.genre_translation),
      tables_(tables) {
  if (UsesLeafCandidates(field) && lists.genres) LeafDescendants(*lists.genres, seed, &candidates_);
  if (candidates_.empty()) candidates_.push_back(seed);
}

void GenreSimilarity::Prepare(const std::vector<int32_t>& genres) {
  for (int32_t genre : genres) Of(genre);
}

int64_t GenreSimilarity::Of(int32_t genre) {
  if (auto it = known_.find(genre); it != known_.end()) return it->second;
  const int64_t similarity = Compute(genre);
  known_.emplace(genre, similarity);
  return similarity;
}

int64_t GenreSimilarity::Compute(int32_t genre) {
  if (genre == seed_) return window_.seed_similar ? kSeedSimilarity : 0;
  const auto translate = [&](int32_t id) { return translation_ != nullptr ? translation_->Translate(id) : 0; };
  int64_t best = 0;
  for (int32_t c : candidates_) {
    int64_t x = tables_->Weight(c, genre);
    if (x == 0) x = tables_->Weight(genre, c);
    if (x == 0) {
      const int32_t tc = translate(c);
      const int32_t tg = translate(genre);
      x = tables_->Weight(tc, tg);
      if (x == 0) x = tables_->Weight(tg, tc);
    }
    if (x >= 1 && window_.low <= x && x <= window_.high && x > best) best = x;
  }
  return best;
}

}  // namespace tavo
