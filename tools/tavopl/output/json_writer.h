// JSON of playlists and listings (nlohmann-json): a playlist is
// {"name", "description", "tracks": [...]}, a track
// {"path", "artist", "album", "title", "genre", "year", "bytes", "seconds",
//  "kbps", "plays", "rating"}. Output is indented by two and ends in a newline.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_JSON_WRITER_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_JSON_WRITER_H_

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "track.h"

namespace tavo::tool {

nlohmann::json TrackJson(const Track& track);
std::string WriteJson(const Playlist& playlist);
std::string WriteJson(const std::vector<Track>& tracks);
// Any value, as the writers above print it. Invalid UTF-8 becomes U+FFFD.
std::string JsonText(const nlohmann::json& value);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_JSON_WRITER_H_
