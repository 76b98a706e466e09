// The keys of a track's record in ".pdb": key 0 is the file name as text
// with its terminating zero (found without regard to letter case), key 1
// the track identifier; keys 2 and 3 stay empty.
#ifndef TAVO_STORAGE_LIBRARY_TRACK_KEYS_H_
#define TAVO_STORAGE_LIBRARY_TRACK_KEYS_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "storage/library/library_status.h"
#include "storage/library/store_records.h"

namespace tavo {

enum TrackKey : uint32_t { kTrackKeyFileName = 0, kTrackKeyId = 1 };

// The key-0 value of a file name; 0x1001 for an empty name or one holding a
// zero byte.
inline LibraryStatus FileNameKey(std::string_view name, std::string* key) {
  if (name.empty() || name.find('\0') != std::string_view::npos) return kLibraryInvalidArgument;
  key->assign(name);
  key->push_back('\0');
  return kLibraryOk;
}

// Key 1 of a stored track record (0 when it has none).
inline uint32_t StoredTrackId(const StoreRecord& record) {
  uint32_t id = 0;
  if (record.key_length(kTrackKeyId) == 4) std::memcpy(&id, record.key_value(kTrackKeyId), 4);
  return id;
}

// Key 0 of a stored track record without its terminating zero.
inline std::string_view StoredFileName(const StoreRecord& record) {
  std::string_view key(reinterpret_cast<const char*>(record.key_value(kTrackKeyFileName)),
                       record.key_length(kTrackKeyFileName));
  if (!key.empty() && key.back() == '\0') key.remove_suffix(1);
  return key;
}

inline LibraryStatus BuildTrackRecord(StoreFile* records, const std::vector<uint8_t>& data,
                                      std::string_view name_key, uint32_t id, StoreRecordPtr* out) {
  const KeyValue keys[] = {{name_key.data(), static_cast<uint32_t>(name_key.size())}, {&id, 4}, {}, {}};
  return BuildRecord(records, data.data(), static_cast<uint32_t>(data.size()), keys, 4, out);
}

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_KEYS_H_
