#include "xspf_writer.h"

#include "file_uri.h"
#include "xml_text.h"

namespace tavo::tool {
namespace {

void Element(std::string* out, const char* indent, const char* name, const std::string& text) {
  if (text.empty()) return;
  *out += indent;
  *out += "<";
  *out += name;
  *out += ">" + XmlEscape(text) + "</";
  *out += name;
  *out += ">\n";
}

}  // namespace

std::string WriteXspf(const Playlist& playlist) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n";
  Element(&out, "  ", "title", playlist.name);
  Element(&out, "  ", "annotation", playlist.description);
  out += "  <trackList>\n";
  for (const Track& t : playlist.tracks) {
    out += "    <track>\n";
    Element(&out, "      ", "location", FileUri(t.path));
    Element(&out, "      ", "title", t.title);
    Element(&out, "      ", "creator", t.artist);
    Element(&out, "      ", "album", t.album);
    if (t.seconds > 0) Element(&out, "      ", "duration", std::to_string(t.seconds * 1000L));
    out += "    </track>\n";
  }
  out += "  </trackList>\n</playlist>\n";
  return out;
}

}  // namespace tavo::tool
