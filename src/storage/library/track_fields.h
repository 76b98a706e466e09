// Catalogue fields of a track: where each field of txpl_crit_field_t lives in
// a track record, read as text, number and date. One table (track_fields.cc)
// serves reading here and writing in track_writes.h.
#ifndef TAVO_STORAGE_LIBRARY_TRACK_FIELDS_H_
#define TAVO_STORAGE_LIBRARY_TRACK_FIELDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/library/track_record.h"

namespace tavo {

// Texts of a field read are cut to this many bytes (at a character boundary).
inline constexpr size_t kFieldTextMaxLength = 399;

// The length a field read keeps of `text`: all of it up to
// kFieldTextMaxLength bytes, else the longest prefix of at most that many
// bytes that does not end inside a UTF-8 sequence.
size_t FieldTextLength(std::string_view text) noexcept;

// Where a field's value comes from.
enum class FieldSource : uint8_t {
  kAbsent,             // never found
  kFileName,           // the record's file name, text only
  kKeyText,            // a REC key, text only
  kKeyNumber,          // a REC key, text and its decimal number
  kKilobytes,          // "SIZE": text, number = bytes / 1024
  kReleaseYear,        // "OYEAR", else "YEAR"
  kGenre,              // "GEN_V2", else the version-1 genre converted
  kCreated,            // record dates: number = packed record date
  kUpdated,
  kLastPlayed,
  kAlbumPopularity,    // -1 is not found
  kGlobalPopularity,   // -1 is not found
  kPlays,
  kRating,
  kDeveloper,          // DEVFIELD1..3: text, number, and the number as a generator date
};

// How a field is written from text (track_writes.h).
enum class FieldTarget : uint8_t {
  kNone,    // nothing is written
  kKey,     // the entry's key
  kPlays,   // plays = the text's number
  kRating,  // rating = the text's number
};

struct TrackFieldEntry {
  FieldSource source;
  uint32_t key;  // REC key index for key sources and key targets; 0 otherwise
  FieldTarget target;
};

// The entry of a catalogue field; fields outside 0..53 read as absent and
// write nothing.
const TrackFieldEntry& TrackField_Entry(int32_t field) noexcept;

struct TrackFieldValue {
  bool found = false;
  std::string text;  // at most kFieldTextMaxLength bytes
  bool has_number = false;
  int32_t number = 0;
  bool has_date = false;
  RecordDate date;
};

// Reads a field. False (and `out` reset) when the record has no value for it.
bool TrackField_Read(const TrackRecord& track, int32_t field, TrackFieldValue* out);

// The track's genre in the version-2 system: "GEN_V2" as a number when the
// metadata has it, else the version-1 genre converted. False when neither
// gives one (a version-1 id outside 0..271 or one without a positive entry).
bool TrackGenreV2(const TrackRecord& track, int32_t* genre) noexcept;

// The one conversion of version-1 genres: valid for 0 <= id < 272 when the
// table holds a positive version-2 id.
bool GenreV1ToV2Checked(int32_t v1, int32_t* v2) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_FIELDS_H_
