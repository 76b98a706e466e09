// A file's tag as the readers keep it between Open and Save: the values by
// key, and the keys changed since Open. Keys are those of the file's format:
//
//   format  key                         example
//   MP3     ID3v2 text frame id         "TALB", "TRCK" ("3/12"), "TDRC"
//           "TXXX:" + description       "TXXX:TAVO_TAGID"
//           "COMM"                      the first comment
//   WMA     ASF attribute name          "WM/AlbumTitle", "TAVO/TagID"
//           basic field                 "Title", "Author", "Description"
//
// A multi-valued frame reads as its values joined with ", ".
#ifndef TAVO_CONTROL_TAG_DATA_H_
#define TAVO_CONTROL_TAG_DATA_H_

#include <map>
#include <memory>
#include <set>
#include <string>

#include "tavo/control.h"

namespace tavo::control {

struct StreamInfo {
  LONG duration_ms = 0;
  LONG bitrate_kbps = 0;
  LONG sample_rate = 0;
  LONG channels = 0;
};

struct TagData {
  bool has_tag = false;
  std::string format;  // "ID3v2.4", "ID3v1", "ASF", or "" without a tag
  std::map<std::string, std::string> values;
  std::set<std::string> changed;  // keys to write (absent from values: remove)
  StreamInfo stream;
};

// Reads and writes one file format. Read fails with TAVOCTL_E_FILE for a
// missing, unreadable or foreign file; Write writes the changed keys only.
class TagBackend {
 public:
  virtual ~TagBackend() = default;
  virtual HRESULT Read(const std::string& path, TagData* data) = 0;
  virtual HRESULT Write(const std::string& path, const TagData& data) = 0;
};

std::unique_ptr<TagBackend> NewMp3Backend();
std::unique_ptr<TagBackend> NewWmaBackend();

// The properties of the tag interface and their keys in each format.
enum class TagProperty {
  kAlbum, kAlbumSort, kTitle, kTitleSort, kComposer, kComment, kLabel, kAlbumArtist, kArtist,
  kArtistSort, kTrackNumber, kYear, kGenre, kTagId, kDiscNumber, kOriginalYear, kTotalTracks,
};

enum class TagFormat { kMp3, kWma };

}  // namespace tavo::control

#endif  // TAVO_CONTROL_TAG_DATA_H_
