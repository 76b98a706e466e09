#include "storage/library/track_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "storage/store/byte_order.h"

namespace tavo {
namespace {

enum : uint32_t {
  kFlags = 0,
  kCreated = 4,
  kUpdated = 8,
  kLastPlayed = 12,
  kPlays = 16,
  kRating = 20,
  kGenreV1 = 24,
  kAlbumPopularity = 28,
  kGlobalPopularity = 32,
  kPathLength = 100,
  kMetadataLength = 104,
  kDeveloperLength = 108,
};

// The words a byte-order conversion swaps.
constexpr uint32_t kWordOffsets[] = {kFlags,           kCreated,          kUpdated,    kLastPlayed,
                                     kPlays,           kRating,           kGenreV1,    kAlbumPopularity,
                                     kGlobalPopularity, kPathLength,      kMetadataLength, kDeveloperLength};

uint32_t Word(const uint8_t* data, uint32_t offset) noexcept { return LoadWord(data + offset, false); }
int32_t SignedWord(const uint8_t* data, uint32_t offset) noexcept {
  return static_cast<int32_t>(Word(data, offset));
}
void PutWord(uint8_t* data, uint32_t offset, uint32_t v) noexcept { StoreWord(data + offset, v, false); }

RecordDate Unpack(uint32_t packed) noexcept { return ToRecordDate(UnpackRecordDate(packed)); }

// A serialized set, freed with its owner.
struct SetText {
  char* text = nullptr;
  size_t length = 0;
  ~SetText() { PropertySet_FreeText(text); }
};

LibraryStatus Serialize(const PropertySet* set, SetText* out) noexcept {
  if (set == nullptr) return kLibraryOk;
  const uint32_t s = PropertySet_Serialize(set, &out->text, &out->length);
  if (s == kPropertySetOutOfMemory) return kLibraryNoMemory;
  return s == kPropertySetOk ? kLibraryOk : kPropertySetNoText;
}

LibraryStatus ParseSet(std::string_view xml, PropertySetPtr* out) noexcept {
  out->reset();
  if (xml.empty()) return kLibraryOk;
  PropertySet* set = nullptr;
  const uint32_t s = PropertySet_Parse(&set, kPropertySetRec, xml.data(), xml.size());
  if (s == kPropertySetOutOfMemory) return kLibraryNoMemory;
  if (s != kPropertySetOk) return kLibraryRecordDamaged;
  out->reset(set);
  return kLibraryOk;
}

}  // namespace

LibraryStatus TrackImage_Parse(const uint8_t* data, uint32_t length, TrackImage* out) noexcept {
  if (data == nullptr || length < kTrackFixedBytes) return kLibraryRecordDamaged;
  const uint64_t path = Word(data, kPathLength);
  const uint64_t metadata = Word(data, kMetadataLength);
  const uint64_t developer = Word(data, kDeveloperLength);
  if (kTrackFixedBytes + path + metadata + developer != length) return kLibraryRecordDamaged;
  TrackImage& t = *out;
  t.flags = Word(data, kFlags);
  t.created = Word(data, kCreated);
  t.updated = Word(data, kUpdated);
  t.last_played = Word(data, kLastPlayed);
  t.plays = Word(data, kPlays);
  t.rating = SignedWord(data, kRating);
  t.genre_v1 = SignedWord(data, kGenreV1);
  t.album_popularity = SignedWord(data, kAlbumPopularity);
  t.global_popularity = SignedWord(data, kGlobalPopularity);
  const auto* tag = reinterpret_cast<const char*>(data + kTrackTagOffset);
  t.tag_id = std::string_view(tag, std::find(tag, tag + kTagIdMaxLength, '\0') - tag);
  const auto* variable = reinterpret_cast<const char*>(data + kTrackFixedBytes);
  t.path_name = std::string_view(variable, path);
  t.metadata_xml = std::string_view(variable + path, metadata);
  t.developer_xml = std::string_view(variable + path + metadata, developer);
  return kLibraryOk;
}

LibraryStatus TrackImage_Decode(const TrackImage& image, std::string_view file_name, TrackLoad load,
                                TrackRecord* out) noexcept try {
  TrackRecord t;
  if (load == TrackLoad::kWithSets) {
    if (LibraryStatus s = ParseSet(image.metadata_xml, &t.metadata); s != kLibraryOk) return s;
    if (LibraryStatus s = ParseSet(image.developer_xml, &t.developer); s != kLibraryOk) return s;
  }
  t.path_name.assign(image.path_name);
  t.file_name.assign(file_name);
  t.created = Unpack(image.created);
  t.updated = Unpack(image.updated);
  t.last_played = Unpack(image.last_played);
  t.plays = image.plays;
  t.rating = image.rating;
  t.genre_v1 = image.genre_v1;
  t.album_popularity = image.album_popularity;
  t.global_popularity = image.global_popularity;
  t.flags = image.flags;
  t.tag_id.assign(image.tag_id);
  *out = std::move(t);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus TrackImage_Encode(const TrackRecord& track, std::string_view path_name,
                                std::vector<uint8_t>* out) noexcept try {
  SetText metadata, developer;
  if (LibraryStatus s = Serialize(track.metadata.get(), &metadata); s != kLibraryOk) return s;
  if (LibraryStatus s = Serialize(track.developer.get(), &developer); s != kLibraryOk) return s;
  const uint64_t total = uint64_t{kTrackFixedBytes} + path_name.size() + metadata.length + developer.length;
  if (total > UINT32_MAX / 2) return kLibraryInvalidArgument;
  std::vector<uint8_t>& data = *out;
  data.assign(total, 0);
  uint8_t* d = data.data();
  PutWord(d, kFlags, track.flags);
  PutWord(d, kCreated, static_cast<uint32_t>(track.created.packed));
  PutWord(d, kUpdated, static_cast<uint32_t>(track.updated.packed));
  PutWord(d, kLastPlayed, static_cast<uint32_t>(track.last_played.packed));
  PutWord(d, kPlays, track.plays);
  PutWord(d, kRating, static_cast<uint32_t>(track.rating));
  PutWord(d, kGenreV1, static_cast<uint32_t>(track.genre_v1));
  PutWord(d, kAlbumPopularity, static_cast<uint32_t>(track.album_popularity));
  PutWord(d, kGlobalPopularity, static_cast<uint32_t>(track.global_popularity));
  // The tag stops at its first zero byte, so that the stored text reads back
  // as it was written.
  const size_t tag = std::min({track.tag_id.size(), kTagIdMaxLength, std::strlen(track.tag_id.c_str())});
  std::memcpy(d + kTrackTagOffset, track.tag_id.data(), tag);
  PutWord(d, kPathLength, static_cast<uint32_t>(path_name.size()));
  PutWord(d, kMetadataLength, static_cast<uint32_t>(metadata.length));
  PutWord(d, kDeveloperLength, static_cast<uint32_t>(developer.length));
  uint8_t* p = d + kTrackFixedBytes;
  if (!path_name.empty()) std::memcpy(p, path_name.data(), path_name.size());
  p += path_name.size();
  if (metadata.length > 0) std::memcpy(p, metadata.text, metadata.length);
  p += metadata.length;
  if (developer.length > 0) std::memcpy(p, developer.text, developer.length);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

void TrackImage_Convert(uint8_t* data, uint32_t length, StoreConvert) {
  for (uint32_t offset : kWordOffsets) {
    if (offset + 4 <= length) StoreWord(data + offset, LoadWord(data + offset, true), false);
  }
}

}  // namespace tavo
