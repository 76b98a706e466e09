#include "manager/ingestion/disc_reading.h"

#include "data/descriptors/descriptor_list.h"
#include "manager/library/media_library.h"
#include "storage/library/decimal_text.h"
#include "storage/library/disc_fields.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

// The keys that hold a descriptor identifier and the list that must know it.
struct DescriptorKey {
  uint32_t key;
  DescriptorKind kind;
};
constexpr DescriptorKey kDescriptorKeys[] = {
    {kKeyEra, DescriptorKind::kEras},
    {kKeyType, DescriptorKind::kArtistTypes},
    {kKeyOrigin, DescriptorKind::kOrigins},
    {kKeyGenV2, DescriptorKind::kGenres},
};

bool KnownDescriptor(MediaLibrary& library, uint32_t key, int32_t id) {
  for (const DescriptorKey& d : kDescriptorKeys) {
    if (d.key != key) continue;
    DescriptorListPtr list;
    if (id == 0 || library.List(d.kind, &list) != kLibraryOk || list == nullptr) return false;
    return list->FindById(id) != nullptr;
  }
  return true;  // not a descriptor key
}

void ApplyField(const DiscField& field, const std::string& text, MediaLibrary& library, TrackRecord* track) {
  switch (field.source) {
    case DiscSource::kKey:
      if (KnownDescriptor(library, field.key, ParseDecimal(text))) {
        TrackRecord_SetValue(track, field.key, text.c_str());
      }
      return;
    case DiscSource::kLastPlayed: {
      DateTime date;
      if (Timestamp::Parse(text, &date)) track->last_played = ToRecordDate(date);
      return;
    }
    case DiscSource::kTagId: track->tag_id = text.substr(0, kTagIdMaxLength); return;
    case DiscSource::kPlays: track->plays = static_cast<uint32_t>(ParseDecimal(text)); return;
    case DiscSource::kRating: track->rating = ParseDecimal(text); return;
    case DiscSource::kFlags: track->flags = static_cast<uint32_t>(ParseDecimal(text)); return;
    case DiscSource::kDescriptorName:  // display names: the identifiers are taken instead
    case DiscSource::kCreated:         // the dates of this library's record are its own
    case DiscSource::kUpdated:
    case DiscSource::kPathName:
    case DiscSource::kFileName:
      return;
  }
}

}  // namespace

void ApplyDiscReading(const DiscReading& disc, MediaLibrary& library, TrackRecord* track) {
  const std::span<const DiscField> fields = DiscFields();
  for (size_t i = 0; i < fields.size() && i < disc.fields.size(); ++i) {
    if (disc.fields[i] && !disc.fields[i]->empty()) ApplyField(fields[i], *disc.fields[i], library, track);
  }
  std::string artists;
  for (const std::string& name : disc.artists) {
    if (name.empty()) continue;
    if (!artists.empty()) artists += ", ";
    artists += name;
  }
  if (!artists.empty()) TrackRecord_SetValue(track, kKeyArt, artists.c_str());
  if (disc.genre_text && !disc.genre_text->empty()) TrackRecord_SetValue(track, kKeyGenDesc, disc.genre_text->c_str());
  if (disc.genre_v1 != 0) track->genre_v1 = disc.genre_v1;
  if (disc.genre_v2 != 0 && KnownDescriptor(library, kKeyGenV2, disc.genre_v2)) {
    TrackRecord_SetValue(track, kKeyGenV2, DecimalText(disc.genre_v2).c_str());
  }
}

bool DiscHasStream(const TrackRecord& track) {
  for (uint32_t key : {kKeyTLen, kKeyBitR, kKeySize}) {
    if (TrackRecord_Value(track, key) == nullptr) return false;
  }
  return true;
}

}  // namespace tavo
