// A disc object's values as ingestion uses them: for each entry of
// DiscFields() (storage/library/disc_fields.h) the text the disc gives, plus
// the disc's genre data and artist list. The automation layer reads a host's
// disc into it; ApplyDiscReading fills a record from it, so a disc taken
// from one library (GetFileData) can be added to another.
#ifndef TAVO_MANAGER_INGESTION_DISC_READING_H_
#define TAVO_MANAGER_INGESTION_DISC_READING_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/library/track_record.h"

namespace tavo {

class MediaLibrary;

struct DiscReading {
  // By position in DiscFields(); absent where the disc gave nothing.
  std::vector<std::optional<std::string>> fields;
  std::vector<std::string> artists;  // the artist list, joined with ", " into "ART"
  std::optional<std::string> genre_text;
  int32_t genre_v1 = 0;
  int32_t genre_v2 = 0;
};

// Fills `track` from `disc`. Texts go to their keys; the descriptor
// identifiers ("ERA", "TYPE", "ORIGIN", "GEN_V2") only when the descriptor
// list knows them; the last-played date, plays, rating, flags and tag
// identifier (at most 63 bytes) to the record's own values. Display names,
// the created and updated dates and the path are not taken.
void ApplyDiscReading(const DiscReading& disc, MediaLibrary& library, TrackRecord* track);

// True when the disc gave "TLEN", "BITR" and "SIZE": the file need not be
// read for its stream properties.
bool DiscHasStream(const TrackRecord& track);

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_DISC_READING_H_
