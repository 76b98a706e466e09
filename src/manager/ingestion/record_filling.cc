#include "manager/ingestion/record_filling.h"

#include "manager/ingestion/service_refresh.h"
#include "storage/library/decimal_text.h"

namespace tavo {
namespace {

// The tag's texts and the keys they fill.
struct TagKey {
  std::optional<std::string> FileTag::*value;
  uint32_t key;
};
constexpr TagKey kTagKeys[] = {
    {&FileTag::artist, kKeyArt},         {&FileTag::album, kKeyAlb},
    {&FileTag::title, kKeyTit},          {&FileTag::track_number, kKeyNum},
    {&FileTag::year, kKeyYear},          {&FileTag::original_year, kKeyOYear},
    {&FileTag::label, kKeyLabel},        {&FileTag::genre_text, kKeyGenDesc},
};

void SetNumber(TrackRecord* track, uint32_t key, int64_t value) {
  if (value != 0) TrackRecord_SetValue(track, key, DecimalText(value).c_str());
}

void FillStream(const FileReading& reading, TrackRecord* track) {
  SetNumber(track, kKeySize, static_cast<int64_t>(reading.size));
  if (reading.tag.bpm) SetNumber(track, kKeyBpm, ParseDecimal(*reading.tag.bpm));
  const int32_t frame_ms = reading.tag.length_ms ? ParseDecimal(*reading.tag.length_ms) : 0;
  SetNumber(track, kKeyTLen, frame_ms > 0 ? frame_ms / 1000 : reading.stream_seconds);
  SetNumber(track, kKeyBitR, reading.bit_rate);
}

}  // namespace

void FillFromReading(const FileReading& reading, RecordingService& service, MediaLibrary& library,
                     TrackRecord* track) {
  FillStream(reading, track);
  if (track->tag_id.empty() && reading.tag.tag_id) track->tag_id = reading.tag.tag_id->substr(0, kTagIdMaxLength);
  if (!track->tag_id.empty()) {
    RecordingData data;
    if (service.Lookup(track->tag_id, &data) == kLibraryOk) {
      RunDescriptorStep(data, library, track);
      RunExtendedStep(data, track);
    }
  }
  for (const TagKey& t : kTagKeys) {
    const std::optional<std::string>& value = reading.tag.*t.value;
    if (value && !value->empty()) TrackRecord_SetValue(track, t.key, value->c_str());
  }
  if (!track->tag_id.empty()) RunPopularityStep(service, track);
}

void TakeFileData(TrackRecord&& fresh, TrackRecord* stored) {
  stored->metadata = std::move(fresh.metadata);
  stored->tag_id = std::move(fresh.tag_id);
  stored->genre_v1 = fresh.genre_v1;
  stored->album_popularity = fresh.album_popularity;
  stored->global_popularity = fresh.global_popularity;
  stored->updated = fresh.updated;
}

}  // namespace tavo
