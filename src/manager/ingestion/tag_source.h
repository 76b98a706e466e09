// Where ingestion gets a file's tag and what the recognition service knows
// about a recording. The automation layer implements both over the control
// (manager/com/control_ingestion_sources.h); tests fake them.
//
// Thread safety: a folder scan reads tags on a second thread while its own
// thread stores, so TagSource::Read must allow calls for different files at
// once. RecordingService is only called from the thread of an ingestion call,
// but several callers may share one.
#ifndef TAVO_MANAGER_INGESTION_TAG_SOURCE_H_
#define TAVO_MANAGER_INGESTION_TAG_SOURCE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/library/library_status.h"

namespace tavo {

// A file's tag as a tag object gives it. Each value is absent when its
// getter failed (no tag, no such frame) and then leaves its record key as
// it was.
struct FileTag {
  std::optional<std::string> album;
  std::optional<std::string> title;
  std::optional<std::string> label;
  std::optional<std::string> artist;
  std::optional<std::string> track_number;
  std::optional<std::string> year;
  std::optional<std::string> genre_text;
  std::optional<std::string> tag_id;
  std::optional<std::string> original_year;  // frame "TORY"
  std::optional<std::string> length_ms;      // frame "TLEN"
  std::optional<std::string> bpm;            // frame "TBPM"
};

// The audio formats ingestion reads, by extension.
enum class AudioFormat { kNone, kMp3, kWma };

class TagSource {
 public:
  virtual ~TagSource() = default;
  // Opens `path` with the tag reader of `format` and reads its tag. A status
  // other than 0 when the reader cannot open the file.
  virtual LibraryStatus Read(const std::string& path, AudioFormat format, FileTag* tag) = 0;
};

// What the service knows about one recording; absent where its getter
// failed. Numbers are 0 when unknown, popularity -1.
struct RecordingData {
  std::optional<std::string> title_sort;
  std::vector<std::string> artist_sorts;
  std::optional<std::string> label;
  std::optional<int32_t> total_tracks;
  std::optional<int32_t> original_year;
  std::optional<int32_t> year;
  std::optional<int32_t> genre_v1;
  std::optional<int32_t> genre_v2;
  std::optional<int32_t> era;
  std::optional<int32_t> origin;
  std::optional<int32_t> artist_type;
};

class RecordingService {
 public:
  virtual ~RecordingService() = default;
  // The recording of `tag_id`; a status other than 0 when the service knows
  // none or fails.
  virtual LibraryStatus Lookup(const std::string& tag_id, RecordingData* data) = 0;
  // The album and global popularity of track `track` of the recording.
  virtual LibraryStatus Popularity(const std::string& tag_id, int32_t track, int32_t* album_popularity,
                                   int32_t* global_popularity) = 0;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_TAG_SOURCE_H_
