#include "storage/library/index_entry.h"

#include <algorithm>

#include "storage/library/decimal_text.h"
#include "storage/library/store_records.h"
#include "storage/library/track_fields.h"

namespace tavo {
namespace {

std::string Word(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string KeyNumber(const char* text) {
  return text != nullptr ? Word(static_cast<uint32_t>(ParseDecimal(text))) : std::string();
}

}  // namespace

std::string IndexText(const char* text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  s.push_back('\0');
  return s;
}

IndexEntry IndexEntry_Build(const TrackRecord& t, uint32_t id) {
  IndexEntry e;
  auto& v = e.values;
  v[kIndexKeyId] = Word(id);
  if (const char* artist = TrackRecord_Value(t, kKeyArt)) v[kIndexKeyArtist] = IndexText(artist);
  v[kIndexKeyGenreV1] = Word(static_cast<uint32_t>(t.genre_v1));
  if (int32_t genre = 0; TrackGenreV2(t, &genre)) v[kIndexKeyGenreV2] = Word(static_cast<uint32_t>(genre));
  const char* year = TrackRecord_Value(t, kKeyOYear);
  v[kIndexKeyYear] = KeyNumber(year != nullptr ? year : TrackRecord_Value(t, kKeyYear));
  v[kIndexKeyPlays] = Word(t.plays);
  v[kIndexKeyLastPlayed] = Word(static_cast<uint32_t>(t.last_played.packed));
  if (t.album_popularity != -1) v[kIndexKeyAlbumPopularity] = Word(static_cast<uint32_t>(t.album_popularity));
  v[kIndexKeyRating] = Word(static_cast<uint32_t>(t.rating));
  if (const char* album = TrackRecord_Value(t, kKeyAlb)) v[kIndexKeyAlbum] = IndexText(album);
  v[kIndexKeyEra] = KeyNumber(TrackRecord_Value(t, kKeyEra));
  v[kIndexKeyCreated] = Word(static_cast<uint32_t>(t.created.packed));
  v[kIndexKeyOrigin] = KeyNumber(TrackRecord_Value(t, kKeyOrigin));
  v[kIndexKeyBpm] = KeyNumber(TrackRecord_Value(t, kKeyBpm));
  return e;
}

IndexEntry IndexEntry_FromRecord(const StoreRecord& record) {
  IndexEntry e;
  const uint32_t keys = std::min(record.key_count(), kIndexKeyCount);
  for (uint32_t i = 0; i < keys; ++i) {
    e.values[i].assign(reinterpret_cast<const char*>(record.key_value(i)), record.key_length(i));
  }
  return e;
}

LibraryStatus IndexEntry_Insert(StoreFile* index, const IndexEntry& entry, StoreRecord** stored) {
  KeyValue keys[kIndexKeyCount];
  for (uint32_t i = 0; i < kIndexKeyCount; ++i) {
    keys[i] = {entry.values[i].data(), static_cast<uint32_t>(entry.values[i].size())};
  }
  StoreRecordPtr record;
  if (LibraryStatus s = BuildRecord(index, nullptr, 0, keys, kIndexKeyCount, &record); s != kLibraryOk) return s;
  if (StoreStatus s = Store_Insert(index, record.get()); s != kStoreOk) return s;
  if (stored != nullptr) *stored = record.release();
  return kLibraryOk;
}

}  // namespace tavo
