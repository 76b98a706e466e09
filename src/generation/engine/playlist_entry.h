// PlaylistEntry: one track of a generated playlist, as the result list
// hands it out.
#ifndef TAVO_GENERATION_ENGINE_PLAYLIST_ENTRY_H_
#define TAVO_GENERATION_ENGINE_PLAYLIST_ENTRY_H_

#include <cstdint>
#include <string>

namespace tavo {

struct PlaylistEntry {
  std::string path;    // folder, directory delimiter, file name (delimiter and name without a folder)
  std::string artist;  // "ART", "ALB", "TIT"; empty when absent
  std::string album;
  std::string title;
  int32_t genre_id = 0;  // the track's genre (field 19); 0 when it has none
  uint64_t size = 0;     // "SIZE" in bytes; 0 when absent or negative
  uint32_t length = 0;   // "TLEN" in seconds; 0 when absent or negative
  uint32_t bitrate = 0;  // "BITR" in kilobits per second; 0 when absent or negative

  bool operator==(const PlaylistEntry&) const = default;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_PLAYLIST_ENTRY_H_
