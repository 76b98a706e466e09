#include "manager/ingestion/service_refresh.h"

#include "data/descriptors/descriptor_list.h"
#include "manager/ingestion/ingestion_status.h"
#include "manager/library/media_library.h"
#include "storage/library/decimal_text.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

constexpr int32_t kLookupFlags = TAVO_UPDATE_STANDARD | TAVO_UPDATE_EXTENDED | TAVO_UPDATE_ALL;
constexpr int32_t kPopularityFlags = TAVO_UPDATE_STANDARD | TAVO_UPDATE_POP | TAVO_UPDATE_ALL;

// The descriptor keys and the list that must know each identifier.
struct DescriptorKey {
  std::optional<int32_t> RecordingData::*value;
  uint32_t key;
  DescriptorKind kind;
};
constexpr DescriptorKey kDescriptorKeys[] = {
    {&RecordingData::artist_type, kKeyType, DescriptorKind::kArtistTypes},
    {&RecordingData::origin, kKeyOrigin, DescriptorKind::kOrigins},
    {&RecordingData::era, kKeyEra, DescriptorKind::kEras},
    {&RecordingData::genre_v2, kKeyGenV2, DescriptorKind::kGenres},
};

// The numeric keys of the extended step; 0 means unknown and is not stored.
struct NumberKey {
  std::optional<int32_t> RecordingData::*value;
  uint32_t key;
};
constexpr NumberKey kExtendedNumbers[] = {
    {&RecordingData::total_tracks, kKeyTot},
    {&RecordingData::original_year, kKeyOYear},
    {&RecordingData::year, kKeyYear},
};

void SetText(TrackRecord* track, uint32_t key, const std::string& text) {
  if (!text.empty()) TrackRecord_SetValue(track, key, text.c_str());
}

bool Known(MediaLibrary& library, DescriptorKind kind, int32_t id) {
  DescriptorListPtr list;
  if (id == 0 || library.List(kind, &list) != kLibraryOk || list == nullptr) return false;
  return list->FindById(id) != nullptr;
}

bool HasGenre(const TrackRecord& track) {
  const char* genre = TrackRecord_Value(track, kKeyGenV2);
  return genre != nullptr && genre[0] != '\0';
}

}  // namespace

int32_t ResolveUpdateFlags(const TrackRecord& track, int32_t flags) {
  if (flags != TAVO_UPDATE_UNPOPULATED) return flags;
  int32_t resolved = TAVO_UPDATE_NONE;
  if (!HasGenre(track)) resolved |= TAVO_UPDATE_EXTENDED;
  if (track.album_popularity == -1 || track.global_popularity == -1 || track.album_popularity == 0) {
    resolved |= TAVO_UPDATE_POP;
  }
  return resolved;
}

void RunExtendedStep(const RecordingData& data, TrackRecord* track) {
  if (data.title_sort) SetText(track, kKeyTitSort, *data.title_sort);
  std::string artists;
  for (const std::string& name : data.artist_sorts) {
    if (!artists.empty()) artists += ", ";
    artists += name;
  }
  SetText(track, kKeyArtSort, artists);
  if (data.label) SetText(track, kKeyLabel, *data.label);
  for (const NumberKey& n : kExtendedNumbers) {
    const std::optional<int32_t>& value = data.*n.value;
    if (value && *value != 0) SetText(track, n.key, DecimalText(*value));
  }
}

void RunDescriptorStep(const RecordingData& data, MediaLibrary& library, TrackRecord* track) {
  if (data.genre_v1) track->genre_v1 = *data.genre_v1;
  for (const DescriptorKey& d : kDescriptorKeys) {
    const std::optional<int32_t>& value = data.*d.value;
    if (value && Known(library, d.kind, *value)) SetText(track, d.key, DecimalText(*value));
  }
}

LibraryStatus RunPopularityStep(RecordingService& service, TrackRecord* track) {
  const char* number = TrackRecord_Value(*track, kKeyNum);
  const int32_t track_number = number != nullptr ? ParseDecimal(number) : 0;
  int32_t album = -1;
  int32_t global = -1;
  const LibraryStatus status = service.Popularity(track->tag_id, track_number, &album, &global);
  if (status != kLibraryOk) return status;
  track->album_popularity = album;
  track->global_popularity = global;
  return kLibraryOk;
}

LibraryStatus RefreshFromService(RecordingService& service, MediaLibrary& library, int32_t flags,
                                 TrackRecord* track, bool* changed) {
  *changed = false;
  if (track->tag_id.empty()) return kIngestionNoTagId;
  flags = ResolveUpdateFlags(*track, flags);
  if (flags == TAVO_UPDATE_NONE) return kLibraryOk;
  LibraryStatus status = kLibraryOk;
  if ((flags & kLookupFlags) != 0) {
    RecordingData data;
    status = service.Lookup(track->tag_id, &data);
    if (status != kLibraryOk) return status;
    if ((flags & TAVO_UPDATE_ALL) != 0) RunExtendedStep(data, track);
    RunDescriptorStep(data, library, track);
    *changed = true;
  }
  if ((flags & kPopularityFlags) != 0) {
    status = RunPopularityStep(service, track);
    if (status == kLibraryOk) *changed = true;
  }
  return status;
}

}  // namespace tavo
