#include "storage/library/disc_fields.h"

#include "storage/library/decimal_text.h"

namespace tavo {
namespace {

using Set = DiscSetter;
using Src = DiscSource;
using Names = DescriptorNames;

constexpr DiscField kFields[] = {
    {Set::kDiscArtist, nullptr, Src::kKey, kKeyArt, Names::kNone},
    {Set::kExtended, "PLM_artist_sort", Src::kKey, kKeyArtSort, Names::kNone},
    {Set::kTrackTitle, nullptr, Src::kKey, kKeyTit, Names::kNone},
    {Set::kDiscTitle, nullptr, Src::kKey, kKeyAlb, Names::kNone},
    {Set::kExtended, "PLM_track_sort", Src::kKey, kKeyTitSort, Names::kNone},
    {Set::kDiscYear, nullptr, Src::kKey, kKeyYear, Names::kNone},
    {Set::kExtended, "PLM_original_release_year", Src::kKey, kKeyOYear, Names::kNone},
    {Set::kExtended, "PLM_tracklen", Src::kKey, kKeyTLen, Names::kNone},
    {Set::kExtended, "PLM_bitrate", Src::kKey, kKeyBitR, Names::kNone},
    {Set::kExtended, "PLM_BPM", Src::kKey, kKeyBpm, Names::kNone},
    {Set::kExtended, "PLM_label", Src::kKey, kKeyLabel, Names::kNone},
    {Set::kExtended, "PLM_filesize", Src::kKey, kKeySize, Names::kNone},
    {Set::kTrackNumber, nullptr, Src::kKey, kKeyNum, Names::kNone},
    {Set::kExtended, "PLM_total_tracks", Src::kKey, kKeyTot, Names::kNone},
    {Set::kExtended, "PLM_eraid", Src::kKey, kKeyEra, Names::kNone},
    {Set::kExtended, "PLM_era", Src::kDescriptorName, kKeyEra, Names::kEras},
    {Set::kExtended, "PLM_artisttypeid", Src::kKey, kKeyType, Names::kNone},
    {Set::kExtended, "PLM_artisttype", Src::kDescriptorName, kKeyType, Names::kArtistTypes},
    {Set::kExtended, "PLM_originid", Src::kKey, kKeyOrigin, Names::kNone},
    {Set::kExtended, "PLM_origin", Src::kDescriptorName, kKeyOrigin, Names::kOrigins},
    {Set::kExtended, "PLM_genrev2id", Src::kKey, kKeyGenV2, Names::kNone},
    {Set::kExtended, "PLM_genrev2", Src::kDescriptorName, kKeyGenV2, Names::kGenres},
    {Set::kExtended, "PLM_rec_created", Src::kCreated, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_updated", Src::kUpdated, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_lastplay", Src::kLastPlayed, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_tagid", Src::kTagId, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_pathname", Src::kPathName, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_filename", Src::kFileName, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_plays", Src::kPlays, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_rating", Src::kRating, 0, Names::kNone},
    {Set::kExtended, "PLM_rec_flags", Src::kFlags, 0, Names::kNone},
};

DiscValue Text(const std::string& text) {
  DiscValue v;
  if (text.empty()) return v;
  v.kind = DiscValue::Kind::kText;
  v.text = text;
  return v;
}

DiscValue Number(int64_t n) {
  DiscValue v;
  v.kind = DiscValue::Kind::kNumber;
  v.number = n;
  return v;
}

DiscValue Date(const RecordDate& date) {
  DiscValue v;
  v.kind = DiscValue::Kind::kDate;
  v.date = date;
  return v;
}

}  // namespace

std::span<const DiscField> DiscFields() noexcept { return kFields; }

DiscValue DiscField_Value(const TrackRecord& track, const DiscField& field) {
  switch (field.source) {
    case Src::kKey: {
      const char* value = TrackRecord_Value(track, field.key);
      return value != nullptr ? Text(value) : DiscValue{};
    }
    case Src::kDescriptorName: {
      const char* value = TrackRecord_Value(track, field.key);
      return value != nullptr ? Number(ParseDecimal(value)) : DiscValue{};
    }
    case Src::kCreated: return Date(track.created);
    case Src::kUpdated: return Date(track.updated);
    case Src::kLastPlayed: return Date(track.last_played);
    case Src::kTagId: return Text(track.tag_id);
    case Src::kPathName: return Text(track.path_name);
    case Src::kFileName: return Text(track.file_name);
    case Src::kPlays: return Number(track.plays);
    case Src::kRating: return Number(track.rating);
    case Src::kFlags: return Number(track.flags);
  }
  return {};
}

}  // namespace tavo
