// The data of a track's record in the record file ".pdb": a fixed part of
// 112 bytes and three variable parts.
//
//   OFFSET  SIZE  FIELD
//   0       4     flags
//   4       4     created date, packed (see vocabulary/dates.h)
//   8       4     updated date, packed
//   12      4     last-played date, packed (0 = never played)
//   16      4     play count
//   20      4     rating (signed)
//   24      4     genre in the version-1 system (signed)
//   28      4     album popularity (signed, -1 = unknown)
//   32      4     global popularity (signed, -1 = unknown)
//   36      64    tag identifier text, zero-padded (at most 63 bytes)
//   100     4     P = length of the path name
//   104     4     M = length of the metadata set text
//   108     4     D = length of the developer set text
//   112     P     path name: the directory of the file, no terminator
//   112+P   M     metadata set (kind REC) as one-line XML text
//   112+P+M D     developer set (kind REC) as one-line XML text
//
// A variable part of length 0 is absent, and 112 + P + M + D is the data
// length exactly. The words at 0..32 and 100..108 are in the file's byte
// order on disk (most significant byte first); the tag and the variable
// parts are bytes. In memory the words are native: TrackImage_Convert is the
// record file's data converter.
#ifndef TAVO_STORAGE_LIBRARY_TRACK_IMAGE_H_
#define TAVO_STORAGE_LIBRARY_TRACK_IMAGE_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "storage/library/library_status.h"
#include "storage/library/track_record.h"
#include "storage/store/store.h"

namespace tavo {

inline constexpr uint32_t kTrackFixedBytes = 112;
inline constexpr uint32_t kTrackTagOffset = 36;
inline constexpr uint32_t kTrackTagBytes = 64;

// A record's data as it lies in the file, fixed part decoded, variable parts
// as views into the data. Valid as long as the data it was parsed from.
struct TrackImage {
  uint32_t flags = 0;
  uint32_t created = 0;  // packed record dates
  uint32_t updated = 0;
  uint32_t last_played = 0;
  uint32_t plays = 0;
  int32_t rating = 0;
  int32_t genre_v1 = 0;
  int32_t album_popularity = 0;
  int32_t global_popularity = 0;
  std::string_view tag_id;
  std::string_view path_name;
  std::string_view metadata_xml;
  std::string_view developer_xml;
};

// Parses the fixed part and locates the variable parts. 0x1005 when the data
// is shorter than the fixed part or its lengths do not add up to the data.
LibraryStatus TrackImage_Parse(const uint8_t* data, uint32_t length, TrackImage* out) noexcept;

enum class TrackLoad {
  kWithSets,   // parse both property sets
  kFixedOnly,  // fixed part, tag and path only; both sets left absent
};

// Builds a track record from a parsed image. 0x1005 when a set's text does
// not parse; 0x1003 when memory runs out.
LibraryStatus TrackImage_Decode(const TrackImage& image, std::string_view file_name, TrackLoad load,
                                TrackRecord* out) noexcept;

// The data of a track record kept under the directory `path_name`. The tag
// identifier keeps its first 63 bytes. 0x2004 when a set cannot be written
// out; 0x1003 when memory runs out.
LibraryStatus TrackImage_Encode(const TrackRecord& track, std::string_view path_name,
                                std::vector<uint8_t>* out) noexcept;

// The record file's data converter: swaps the words at 0..32 and 100..108
// (those that lie inside the data).
void TrackImage_Convert(uint8_t* data, uint32_t length, StoreConvert direction);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_IMAGE_H_
