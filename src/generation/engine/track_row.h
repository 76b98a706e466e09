// TrackRow: the values the library view keeps of one track, taken either
// from a stored record image (the build walks the record file) or from a
// track record (the writes the manager reports). Both ways give the same
// row for the same stored track.
#ifndef TAVO_GENERATION_ENGINE_TRACK_ROW_H_
#define TAVO_GENERATION_ENGINE_TRACK_ROW_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "generation/engine/key_texts.h"
#include "generation/engine/view_columns.h"
#include "storage/library/track_image.h"
#include "storage/library/track_record.h"

namespace tavo {

struct TrackRow {
  uint32_t id = 0;
  // Views into the image, the record or a KeyTexts; empty is no value.
  std::array<std::string_view, kTextColumnCount> text{};
  std::array<int32_t, kNumberColumnCount> number{};
  uint32_t present = 0;  // bit n: number[n]; kSizePresentBit: size
  int64_t size = 0;      // "SIZE" in bytes

  void SetNumber(uint8_t column, int32_t value) {
    number[column] = value;
    present |= 1u << column;
  }
};

// The row of a stored image; `keys` receives the texts the row's views point
// into and must outlive the row. False when a property-set text of the image
// does not parse (a decoded walk skips such a record as well).
bool TrackRow_FromImage(uint32_t id, std::string_view file_name, const TrackImage& image, KeyTexts* keys,
                        PropertySetPtr parsed[2], TrackRow* row);

// The row of a track record as it will read back once stored: a text's
// leading blanks are dropped and a text of blanks only is no value, as the
// stored property-set text gives them. `keys` as above.
void TrackRow_FromRecord(uint32_t id, const TrackRecord& track, KeyTexts* keys, TrackRow* row);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_TRACK_ROW_H_
