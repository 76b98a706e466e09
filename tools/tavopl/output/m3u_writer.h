// Extended M3U in UTF-8 (".m3u8"): "#EXTM3U", then per track
// "#EXTINF:<seconds>,<artist> - <title>" and the file's path on its own line.
// Unknown lengths are written as -1, as players expect. Line breaks inside
// a tag value would start a new entry, so they become spaces.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_M3U_WRITER_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_M3U_WRITER_H_

#include <string>

#include "track.h"

namespace tavo::tool {

std::string WriteM3u8(const Playlist& playlist);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_M3U_WRITER_H_
