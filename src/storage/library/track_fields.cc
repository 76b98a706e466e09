#include "storage/library/track_fields.h"

#include <array>

#include "data/genre_map/genre_map.h"
#include "storage/library/decimal_text.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

using S = FieldSource;
using T = FieldTarget;

// Indexed by txpl_crit_field_t. Fields written "nothing" from text: 0, 1,
// 4-6 (dates: written by date only), 8, 9, 15, 18, 22, 23, 29-33, 37, 38,
// 41-44, 53. Field 48 would name the key "DEVFIELD%d", which is no usable
// path: it is never found and writing it stores nothing.
constexpr std::array<TrackFieldEntry, 54> kFields = {{
    {S::kAbsent, 0, T::kNone},                        // 0 first
    {S::kFileName, 0, T::kNone},                      // 1 file_name
    {S::kKilobytes, kKeySize, T::kKey},               // 2 file_size
    {S::kKeyNumber, kKeyTLen, T::kKey},               // 3 file_length
    {S::kCreated, 0, T::kNone},                       // 4 file_created_date
    {S::kUpdated, 0, T::kNone},                       // 5 file_modified_date
    {S::kLastPlayed, 0, T::kNone},                    // 6 file_lastplayed_date
    {S::kKeyNumber, kKeyBitR, T::kKey},               // 7 file_bitrate
    {S::kAbsent, 0, T::kNone},                        // 8 file_codec_format
    {S::kAbsent, 0, T::kNone},                        // 9 file_drm
    {S::kKeyText, kKeyTit, T::kKey},                  // 10 track_name
    {S::kKeyText, kKeyTitSort, T::kKey},              // 11 track_sort_name
    {S::kKeyText, kKeyArt, T::kKey},                  // 12 track_artist_name
    {S::kKeyText, kKeyArtSort, T::kKey},              // 13 track_artist_sortname
    {S::kReleaseYear, kKeyOYear, T::kKey},            // 14 track_releaseyear
    {S::kAbsent, 0, T::kNone},                        // 15 track_langid
    {S::kKeyNumber, kKeyBpm, T::kKey},                // 16 track_bpm
    {S::kKeyNumber, kKeyNum, T::kKey},                // 17 track_num
    {S::kGenre, 0, T::kNone},                         // 18 track_genre
    {S::kGenre, kKeyGenV2, T::kKey},                  // 19 track_genrev2
    {S::kKeyNumber, kKeyMood, T::kKey},               // 20 track_mood
    {S::kKeyNumber, kKeyTempo, T::kKey},              // 21 track_tempoid
    {S::kAlbumPopularity, 0, T::kNone},               // 22 track_album_pop
    {S::kGlobalPopularity, 0, T::kNone},              // 23 track_global_pop
    {S::kKeyText, kKeyAlb, T::kKey},                  // 24 album_name
    {S::kKeyText, kKeyAlbSort, T::kKey},              // 25 album_sortname
    {S::kKeyText, kKeyArt, T::kKey},                  // 26 album_primaryartist
    {S::kKeyNumber, kKeyYear, T::kKey},               // 27 album_releaseyear
    {S::kKeyText, kKeyLabel, T::kKey},                // 28 album_label
    {S::kAbsent, 0, T::kNone},                        // 29 album_compilation
    {S::kKeyNumber, kKeyOrigin, T::kNone},            // 30 album_region
    {S::kGenre, 0, T::kNone},                         // 31 album_genre
    {S::kGenre, 0, T::kNone},                         // 32 album_genrev2
    {S::kAlbumPopularity, 0, T::kNone},               // 33 album_pop
    {S::kKeyNumber, kKeyOrigin, T::kKey},             // 34 artist_region
    {S::kKeyNumber, kKeyEra, T::kKey},                // 35 artist_era
    {S::kKeyNumber, kKeyType, T::kKey},               // 36 artist_type
    {S::kGlobalPopularity, 0, T::kNone},              // 37 track_local_pop
    {S::kAbsent, 0, T::kNone},                        // 38 artist_local_pop
    {S::kPlays, 0, T::kPlays},                        // 39 track_playcount
    {S::kRating, 0, T::kRating},                      // 40 track_myrating
    {S::kRating, 0, T::kNone},                        // 41 album_myrating
    {S::kRating, 0, T::kNone},                        // 42 artist_myrating
    {S::kRating, 0, T::kNone},                        // 43 genre_myrating
    {S::kRating, 0, T::kNone},                        // 44 playlist_myrating
    {S::kDeveloper, kKeyDevField1, T::kKey},          // 45 xdev1
    {S::kDeveloper, kKeyDevField2, T::kKey},          // 46 xdev2
    {S::kDeveloper, kKeyDevField3, T::kKey},          // 47 xdev3
    {S::kAbsent, 0, T::kNone},                        // 48 xdev
    {S::kKeyNumber, kKeyRhythm, T::kKey},             // 49 track_rhythmid
    {S::kKeyNumber, kKeyInstruments, T::kKey},        // 50 track_instrumentsid
    {S::kKeyNumber, kKeyVocals, T::kKey},             // 51 track_vocalsid
    {S::kKeyNumber, kKeyTimbre, T::kKey},             // 52 track_timbreid
    {S::kAbsent, 0, T::kNone},                        // 53 last
}};
static_assert(kFields.size() == txpl_crit_field_last + 1);

std::string CutText(const char* text) { return std::string(text, FieldTextLength(text)); }

bool SetText(TrackFieldValue* out, const char* text) {
  if (text == nullptr) return false;
  out->found = true;
  out->text = CutText(text);
  return true;
}

bool SetNumber(TrackFieldValue* out, int64_t number) {
  out->found = true;
  out->has_number = true;
  out->number = static_cast<int32_t>(number);
  out->text = DecimalText(out->number);
  return true;
}

// A key's text, with its decimal number beside it.
bool SetKeyNumber(TrackFieldValue* out, const char* text) {
  if (!SetText(out, text)) return false;
  out->has_number = true;
  out->number = ParseDecimal(text);
  return true;
}

bool SetDate(TrackFieldValue* out, const RecordDate& date) {
  SetNumber(out, date.packed);
  out->has_date = true;
  out->date = date;
  return true;
}

bool SetPopularity(TrackFieldValue* out, int32_t popularity) {
  return popularity != -1 && SetNumber(out, popularity);
}

}  // namespace

size_t FieldTextLength(std::string_view text) noexcept {
  if (text.size() <= kFieldTextMaxLength) return text.size();
  size_t n = kFieldTextMaxLength;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

const TrackFieldEntry& TrackField_Entry(int32_t field) noexcept {
  return field >= 0 && field < static_cast<int32_t>(kFields.size()) ? kFields[static_cast<size_t>(field)]
                                                                     : kFields[0];
}

bool GenreV1ToV2Checked(int32_t v1, int32_t* v2) noexcept {
  if (v1 < 0 || v1 >= kGenreV1Count) return false;
  const int32_t mapped = GenreV1ToV2(v1);
  if (mapped <= 0) return false;
  *v2 = mapped;
  return true;
}

bool TrackGenreV2(const TrackRecord& track, int32_t* genre) noexcept {
  if (const char* text = TrackRecord_Value(track, kKeyGenV2)) {
    *genre = ParseDecimal(text);
    return true;
  }
  return GenreV1ToV2Checked(track.genre_v1, genre);
}

bool TrackField_Read(const TrackRecord& track, int32_t field, TrackFieldValue* out) {
  *out = TrackFieldValue{};
  const TrackFieldEntry& entry = TrackField_Entry(field);
  switch (entry.source) {
    case S::kAbsent: return false;
    case S::kFileName: return SetText(out, track.file_name.c_str());
    case S::kKeyText: return SetText(out, TrackRecord_Value(track, entry.key));
    case S::kKeyNumber: return SetKeyNumber(out, TrackRecord_Value(track, entry.key));
    case S::kKilobytes:
      if (!SetKeyNumber(out, TrackRecord_Value(track, entry.key))) return false;
      out->number /= 1024;
      return true;
    case S::kReleaseYear: {
      const char* year = TrackRecord_Value(track, kKeyOYear);
      return SetKeyNumber(out, year != nullptr ? year : TrackRecord_Value(track, kKeyYear));
    }
    case S::kGenre: {
      if (SetKeyNumber(out, TrackRecord_Value(track, kKeyGenV2))) return true;
      int32_t genre = 0;
      return TrackGenreV2(track, &genre) && SetNumber(out, genre);
    }
    case S::kCreated: return SetDate(out, track.created);
    case S::kUpdated: return SetDate(out, track.updated);
    case S::kLastPlayed: return SetDate(out, track.last_played);
    case S::kAlbumPopularity: return SetPopularity(out, track.album_popularity);
    case S::kGlobalPopularity: return SetPopularity(out, track.global_popularity);
    case S::kPlays: return SetNumber(out, track.plays);
    case S::kRating: return SetNumber(out, track.rating);
    case S::kDeveloper:
      if (!SetKeyNumber(out, TrackRecord_Value(track, entry.key))) return false;
      out->has_date = true;
      out->date = ToRecordDate(UnpackGeneratorDate(static_cast<uint32_t>(out->number)));
      return true;
  }
  return false;
}

}  // namespace tavo
