#include "generation/engine/track_row.h"

#include "generation/engine/property_text_scan.h"
#include "storage/library/decimal_text.h"
#include "storage/library/track_fields.h"

namespace tavo {
namespace {

// The fixed part of a record, as the image keeps it.
struct FixedPart {
  uint32_t created, updated, last_played, plays;
  int32_t rating, genre_v1, album_popularity, global_popularity;
};

const KeyNames& MetadataNames() {
  static const KeyNames names(ViewMetadataKeys());
  return names;
}

const KeyNames& DeveloperNames() {
  static const KeyNames names(ViewDeveloperKeys());
  return names;
}

void FillRow(uint32_t id, std::string_view file_name, std::string_view path_name, const FixedPart& f,
             const KeyTexts& keys, TrackRow* row) {
  *row = TrackRow{};
  row->id = id;
  row->text[kTextFolder] = path_name;
  row->text[kTextFileName] = file_name;
  for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
    const std::string_view* value = keys.Find(key);
    if (value == nullptr) continue;
    if (const uint8_t column = TextColumnOfKey(key); column != kNoColumn) row->text[column] = *value;
    if (const uint8_t column = NumberColumnOfKey(key); column != kNoColumn) {
      row->SetNumber(column, ParseDecimal(*value));
    }
  }
  if (const std::string_view* size = keys.Find(kKeySize)) {
    row->size = ParseDecimal64(*size);
    row->present |= kSizePresentBit;
  }
  int32_t genre = 0;
  if (const std::string_view* v2 = keys.Find(kKeyGenV2)) {
    row->SetNumber(kNumberGenre, ParseDecimal(*v2));
  } else if (GenreV1ToV2Checked(f.genre_v1, &genre)) {
    row->SetNumber(kNumberGenre, genre);
  }
  const auto date = [&](uint8_t column, uint32_t packed) {
    if (packed != 0) row->SetNumber(column, static_cast<int32_t>(packed));
  };
  date(kNumberCreated, f.created);
  date(kNumberUpdated, f.updated);
  date(kNumberLastPlayed, f.last_played);
  row->SetNumber(kNumberPlays, static_cast<int32_t>(f.plays));
  row->SetNumber(kNumberRating, f.rating);
  if (f.album_popularity != -1) row->SetNumber(kNumberAlbumPopularity, f.album_popularity);
  if (f.global_popularity != -1) row->SetNumber(kNumberGlobalPopularity, f.global_popularity);
}

// A value as the stored text gives it back: the parser drops the leading
// blanks of a text run.
std::string_view AsStored(const char* value) {
  std::string_view v(value);
  while (!v.empty() && (v.front() == ' ' || (v.front() >= '\t' && v.front() <= '\r'))) v.remove_prefix(1);
  return v;
}

}  // namespace

bool TrackRow_FromImage(uint32_t id, std::string_view file_name, const TrackImage& image, KeyTexts* keys,
                        PropertySetPtr parsed[2], TrackRow* row) {
  keys->Clear();
  if (ReadPropertyText(image.metadata_xml, MetadataNames(), keys, &parsed[0]) == PropertyTextRead::kDamaged ||
      ReadPropertyText(image.developer_xml, DeveloperNames(), keys, &parsed[1]) == PropertyTextRead::kDamaged) {
    return false;
  }
  const FixedPart fixed{image.created,  image.updated,  image.last_played,      image.plays,
                        image.rating,   image.genre_v1, image.album_popularity, image.global_popularity};
  FillRow(id, file_name, image.path_name, fixed, *keys, row);
  return true;
}

void TrackRow_FromRecord(uint32_t id, const TrackRecord& track, KeyTexts* keys, TrackRow* row) {
  keys->Clear();
  const auto read = [&](const KeySet& wanted) {
    for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
      if (!wanted.test(key)) continue;
      const char* value = TrackRecord_Value(track, key);
      if (value == nullptr) continue;
      const std::string_view stored = AsStored(value);
      if (!stored.empty()) keys->Set(key, stored);
    }
  };
  read(ViewMetadataKeys());
  read(ViewDeveloperKeys());
  const FixedPart fixed{static_cast<uint32_t>(track.created.packed),
                        static_cast<uint32_t>(track.updated.packed),
                        static_cast<uint32_t>(track.last_played.packed),
                        track.plays,
                        track.rating,
                        track.genre_v1,
                        track.album_popularity,
                        track.global_popularity};
  FillRow(id, track.file_name, track.path_name, fixed, *keys, row);
}

}  // namespace tavo
