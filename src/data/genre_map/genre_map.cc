#include "data/genre_map/genre_map.h"

namespace tavo {
namespace {

constexpr GenreV1 kV1[] = {
#define TAVO_GENRE_V1(id, name, v2) {id, name, v2},
#include "data/genre_map/genres_v1.inc"
#undef TAVO_GENRE_V1
};
static_assert(std::size(kV1) == kGenreV1Count, "the version-1 system has exactly 272 genres");

constexpr bool IdsAreIndexes() {
  for (int i = 0; i < kGenreV1Count; ++i) {
    if (kV1[i].id != i) return false;
  }
  return true;
}
static_assert(IdsAreIndexes(), "genres_v1.inc lists ids 0..271 in order");

constexpr GenreV2 kV2[] = {
#define TAVO_GENRE_V2(id, parent, name) {id, parent, name},
#include "data/genre_map/genres_v2.inc"
#undef TAVO_GENRE_V2
};

}  // namespace

std::span<const GenreV1, kGenreV1Count> GenreV1Table() { return std::span<const GenreV1, kGenreV1Count>(kV1); }

std::span<const GenreV2> GenreV2Table() { return kV2; }

int32_t GenreV1ToV2(int32_t v1) { return v1 >= 0 && v1 < kGenreV1Count ? kV1[v1].v2 : -1; }

int32_t GenreV2ToV1(int32_t v2) {
  int32_t parent = 0;
  for (const GenreV2& g : kV2) {
    if (g.id == v2) parent = g.parent;
  }
  for (int32_t target : {v2, parent}) {
    if (target <= 0) continue;
    for (const GenreV1& g : kV1) {
      if (g.v2 == target) return g.id;
    }
  }
  return 0;
}

}  // namespace tavo
