// The track record: one per audio file in the library, the plain value that
// ingestion builds, the library database stores, statistics change, searches
// return and playlist criteria are tested against.
//
// Its descriptive data lives in two property sets of kind REC: the metadata
// set (keys "TIT", "ART", "ALB", "GEN_V2", ...) and the developer set (the
// host's "DEVFIELD1" to "DEVFIELD3", made on first use). Values are text;
// numbers are kept as decimal text.
//
// A new record is all zero: both sets absent, texts empty, dates zero.
#ifndef TAVO_STORAGE_LIBRARY_TRACK_RECORD_H_
#define TAVO_STORAGE_LIBRARY_TRACK_RECORD_H_

#include <cstdint>
#include <string>

#include "vocabulary/dates.h"
#include "vocabulary/property_set.h"

namespace tavo {

// The tag identifier keeps at most this many bytes in the record file.
inline constexpr size_t kTagIdMaxLength = 63;

struct TrackRecord {
  PropertySetPtr metadata;   // kind REC, or null
  PropertySetPtr developer;  // kind REC holding DEVFIELD1..3, or null
  std::string path_name;     // directory part of the file's path
  std::string file_name;     // without directory: the record's key
  RecordDate created;        // first stored
  RecordDate updated;        // last rebuilt from the file or the service
  RecordDate last_played;    // all zero when never played
  uint32_t plays = 0;
  int32_t rating = 0;
  int32_t genre_v1 = 0;           // used when the metadata has no "GEN_V2"
  int32_t album_popularity = 0;   // -1 = unknown
  int32_t global_popularity = 0;  // -1 = unknown
  uint32_t flags = 0;
  std::string tag_id;  // the service's identifier of the recording; may be empty
};

// True for the keys kept in the developer set (DEVFIELD1..3).
constexpr bool IsDeveloperKey(uint32_t key_index) noexcept {
  return key_index >= kKeyDevField1 && key_index <= kKeyDevField3;
}

// The value of a REC key, from the set that keeps it; null when the set or
// the key is absent. Valid until the record's sets change.
const char* TrackRecord_Value(const TrackRecord& track, uint32_t key_index) noexcept;

// Stores a non-empty value under a REC key, making the set that keeps the key
// when it is missing. Statuses of PropertySet_SetValue (0x2001 for an empty
// value or a key outside REC, 0x2002 out of memory, 1 for a key that is not a
// usable path such as "DEVFIELD%d").
uint32_t TrackRecord_SetValue(TrackRecord* track, uint32_t key_index, const char* value) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_RECORD_H_
