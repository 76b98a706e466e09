#include "m3u_writer.h"

namespace tavo::tool {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string Label(const Track& t) {
  if (t.artist.empty()) return OneLine(t.title);
  if (t.title.empty()) return OneLine(t.artist);
  return OneLine(t.artist + " - " + t.title);
}

}  // namespace

std::string WriteM3u8(const Playlist& playlist) {
  std::string out = "#EXTM3U\n";
  if (!playlist.name.empty()) out += "#PLAYLIST:" + OneLine(playlist.name) + "\n";
  for (const Track& t : playlist.tracks) {
    out += "#EXTINF:" + std::to_string(t.seconds > 0 ? t.seconds : -1) + "," + Label(t) + "\n";
    out += OneLine(t.path) + "\n";
  }
  return out;
}

}  // namespace tavo::tool
