// The search index ".idx": one record per track, no data, fifteen keys.
//
//   KEY  TYPE  VALUE
//   0    u32   track identifier (joins the entry to key 1 of ".pdb")
//   1    text  "ART", lower-cased
//   2    u32   genre in the version-1 system
//   3    u32   "GEN_V2" as a number; without it the version-1 genre
//              converted (empty when the conversion gives none)
//   4    u32   "OYEAR" as a number, else "YEAR"
//   5    text  not used: always empty
//   6    u32   play count
//   7    u32   last-played date, packed
//   8    u32   album popularity; empty when unknown (-1)
//   9    u32   rating
//   10   text  "ALB", lower-cased
//   11   u32   "ERA" as a number
//   12   u32   created date, packed
//   13   u32   "ORIGIN" as a number
//   14   u32   "BPM" as a number
//
// Text keys hold the text with A-Z lowered to a-z and its terminating zero
// (text keys use the store's case-folded text method 12); integer keys hold
// one word (method 5). A key whose source is missing is empty and the entry
// is not found through it.
//
// The entry is kept current by every write of the library: whenever one of
// these values or the identifier changes, the entry is replaced; it goes
// with its track.
#ifndef TAVO_STORAGE_LIBRARY_INDEX_ENTRY_H_
#define TAVO_STORAGE_LIBRARY_INDEX_ENTRY_H_

#include <array>
#include <cstdint>
#include <string>

#include "storage/library/library_status.h"
#include "storage/library/track_record.h"
#include "storage/store/store.h"

namespace tavo {

inline constexpr uint32_t kIndexKeyCount = 15;

enum IndexKey : uint32_t {
  kIndexKeyId = 0,
  kIndexKeyArtist = 1,
  kIndexKeyGenreV1 = 2,
  kIndexKeyGenreV2 = 3,
  kIndexKeyYear = 4,
  kIndexKeyUnused = 5,
  kIndexKeyPlays = 6,
  kIndexKeyLastPlayed = 7,
  kIndexKeyAlbumPopularity = 8,
  kIndexKeyRating = 9,
  kIndexKeyAlbum = 10,
  kIndexKeyEra = 11,
  kIndexKeyCreated = 12,
  kIndexKeyOrigin = 13,
  kIndexKeyBpm = 14,
};

// The key values of one entry, as the bytes stored for each key (empty =
// no value).
struct IndexEntry {
  std::array<std::string, kIndexKeyCount> values;

  bool operator==(const IndexEntry&) const = default;
};

IndexEntry IndexEntry_Build(const TrackRecord& track, uint32_t id);

// The key values of a stored index record.
IndexEntry IndexEntry_FromRecord(const StoreRecord& record);

// Inserts the entry; on success *stored (when given) receives the stored
// record, which the caller frees.
LibraryStatus IndexEntry_Insert(StoreFile* index, const IndexEntry& entry, StoreRecord** stored = nullptr);

// A text lowered as index keys hold it (A-Z only), with its terminating zero.
std::string IndexText(const char* text);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_INDEX_ENTRY_H_
