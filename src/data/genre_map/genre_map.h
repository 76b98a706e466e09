// The conversion of version-1 genre identifiers to version-2 identifiers,
// compiled in from genres_v1.inc, the same source that the catalog's
// "genres-v1-to-v2" list is written from (tools/make-demo).
#ifndef TAVO_DATA_GENRE_MAP_GENRE_MAP_H_
#define TAVO_DATA_GENRE_MAP_GENRE_MAP_H_

#include <cstdint>
#include <span>
#include <string_view>

namespace tavo {

inline constexpr int kGenreV1Count = 272;

struct GenreV1 {
  int32_t id;             // 0..271, equal to the entry's index
  std::string_view name;  // the version-1 display name
  int32_t v2;             // version-2 display id, -1 when the genre has none
};

struct GenreV2 {
  int32_t id;      // display id, 300..9999
  int32_t parent;  // 0 for a top-level genre
  std::string_view name;
};

// All 272 version-1 genres, index = id.
std::span<const GenreV1, kGenreV1Count> GenreV1Table();
// The version-2 hierarchy, parents before children.
std::span<const GenreV2> GenreV2Table();

// The version-2 id of a version-1 genre; -1 for unmapped ids and for ids
// outside 0..271.
int32_t GenreV1ToV2(int32_t v1);
// The version-1 genre a version-2 genre translates back to: the first
// version-1 genre that maps to it, else the one of its parent, else 0.
int32_t GenreV2ToV1(int32_t v2);

}  // namespace tavo

#endif  // TAVO_DATA_GENRE_MAP_GENRE_MAP_H_
