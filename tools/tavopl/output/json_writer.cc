#include "json_writer.h"

namespace tavo::tool {

nlohmann::json TrackJson(const Track& t) {
  return {{"path", t.path},   {"artist", t.artist}, {"album", t.album},     {"title", t.title},
          {"genre", t.genre}, {"year", t.year},     {"bytes", t.bytes},     {"seconds", t.seconds},
          {"kbps", t.kbps},   {"plays", t.plays},   {"rating", t.rating}};
}

std::string JsonText(const nlohmann::json& value) {
  return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string WriteJson(const std::vector<Track>& tracks) {
  nlohmann::json list = nlohmann::json::array();
  for (const Track& t : tracks) list.push_back(TrackJson(t));
  return JsonText(list);
}

std::string WriteJson(const Playlist& playlist) {
  nlohmann::json tracks = nlohmann::json::array();
  for (const Track& t : playlist.tracks) tracks.push_back(TrackJson(t));
  return JsonText({{"name", playlist.name}, {"description", playlist.description}, {"tracks", tracks}});
}

}  // namespace tavo::tool
