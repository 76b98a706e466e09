// Generated tracks for the library benchmarks: realistic values (titles of
// varying length, artists and albums shared by many tracks, folders with a
// common prefix, ".mp3" names), seven in ten with a tag identifier that names
// their number, the rest numbered from the counter. Track n is a function of n.
#ifndef TAVO_BENCH_LIBRARY_GENERATED_TRACKS_H_
#define TAVO_BENCH_LIBRARY_GENERATED_TRACKS_H_

#include <cstdint>
#include <string>

#include "storage/library/track_record.h"

namespace tavo::bench {

inline const char* const kWords[] = {"love", "night", "blue", "river", "fire", "heart", "road", "dream",
                                     "light", "rain",  "gold", "summer", "city", "shadow", "wild", "home"};

inline std::string TitleOf(uint32_t n) {
  std::string title;
  uint32_t x = n * 2654435761u;
  for (uint32_t words = 1 + x % 5; words-- > 0; x = x * 1103515245u + 12345u) {
    if (!title.empty()) title += ' ';
    title += kWords[(x >> 16) % 16];
  }
  return title + " " + std::to_string(n);
}

inline std::string ArtistOf(uint32_t n) { return "Artist " + std::to_string(n / 12 % 40000); }
inline std::string AlbumOf(uint32_t n) { return "Album " + std::to_string(n / 12); }

inline std::string FileNameOf(uint32_t n) {
  return std::to_string(n % 12 + 1) + " - " + TitleOf(n) + ".mp3";
}

inline std::string PathOf(uint32_t n) { return "/home/user/Music/" + ArtistOf(n) + "/" + AlbumOf(n) + "/" + FileNameOf(n); }

// Tag identifiers are the service's numbers, unrelated to the order in which
// tracks are added: 8 digits (length letter 'R') scattered over 10,000,000 to
// 99,999,999 by a permutation of n.
inline uint32_t TagNumberOf(uint32_t n) { return 10'000'000 + static_cast<uint32_t>(uint64_t{n} * 7'777'777 % 90'000'000); }
inline bool HasTag(uint32_t n) { return n % 10 < 7; }
inline std::string TagOf(uint32_t n) { return HasTag(n) ? "3CD3PR" + std::to_string(TagNumberOf(n)) : ""; }

inline TrackRecord TrackOf(uint32_t n) {
  TrackRecord t;
  const auto set = [&](uint32_t key, const std::string& value) { TrackRecord_SetValue(&t, key, value.c_str()); };
  set(kKeyTit, TitleOf(n));
  set(kKeyArt, ArtistOf(n));
  set(kKeyAlb, AlbumOf(n));
  set(kKeyYear, std::to_string(1960 + n % 60));
  set(kKeyLabel, "Label " + std::to_string(n % 300));
  set(kKeyNum, std::to_string(n % 12 + 1));
  set(kKeyTot, "12");
  set(kKeyTLen, std::to_string(120 + n % 300));
  set(kKeyBitR, "192");
  set(kKeySize, std::to_string(3'000'000 + n % 5'000'000));
  set(kKeyGenV2, std::to_string(300 + n % 700));
  set(kKeyEra, std::to_string(n % 12));
  set(kKeyOrigin, std::to_string(n % 90));
  set(kKeyType, std::to_string(n % 6));
  set(kKeyBpm, std::to_string(70 + n % 100));
  set(kKeyMood, std::to_string(n % 25));
  t.tag_id = TagOf(n);
  t.genre_v1 = static_cast<int32_t>(n % 272);
  t.created = ToRecordDate({2020 + static_cast<int32_t>(n % 4), 1 + static_cast<int32_t>(n % 12), 1, 12, 0});
  t.updated = t.created;
  t.album_popularity = static_cast<int32_t>(n % 1000);
  t.global_popularity = -1;
  return t;
}

}  // namespace tavo::bench

#endif  // TAVO_BENCH_LIBRARY_GENERATED_TRACKS_H_
