// One track of a playlist or a library listing, as the output writers see
// it: plain values copied out of the component's result and disc objects.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_TRACK_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_TRACK_H_

#include <string>
#include <vector>

namespace tavo::tool {

struct Track {
  std::string path;  // full path of the audio file
  std::string artist;
  std::string album;
  std::string title;
  std::string genre;  // display name, or the genre id as text
  std::string year;
  long bytes = 0;
  long seconds = 0;  // 0 when unknown
  long kbps = 0;
  long plays = 0;
  long rating = 0;
};

struct Playlist {
  std::string name;
  std::string description;
  std::vector<Track> tracks;
};

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_TRACK_H_
