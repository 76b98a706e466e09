#include "demo_writer.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cstdio>
#include <filesystem>

#include "data/genre_map/genre_map.h"
#include "silent_mp3.h"
#include "tavo/control.h"

namespace tavo {
namespace {

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

TagLib::String Utf8(const std::string& s) { return TagLib::String(s, TagLib::String::UTF8); }

std::string_view GenreName(int32_t id) {
  for (const GenreV2& g : GenreV2Table()) {
    if (g.id == id) return g.name;
  }
  return {};
}

void SetText(TagLib::ID3v2::Tag* tag, const char* id, const TagLib::StringList& values) {
  tag->removeFrames(id);
  auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
  frame->setText(values);
  tag->addFrame(frame);
}

void SetText(TagLib::ID3v2::Tag* tag, const char* id, const std::string& value) {
  SetText(tag, id, TagLib::StringList(Utf8(value)));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

std::string DemoRelativePath(const Recording& r) {
  return r.artists.front() + "/" + r.album + "/" + r.artists.front() + " - " + TwoDigits(r.track) + " " + r.title +
         ".mp3";
}

bool WriteDemoFile(const std::string& path, const Recording& r, std::string* error) {
  const int32_t ms = r.seconds * 1000;
  const uint32_t seed = static_cast<uint32_t>(std::hash<std::string>{}(r.tag_id));
  if (!WriteBytes(path, SilentMp3(r.vbr, ms, seed))) {
    *error = "cannot write " + path;
    return false;
  }
  TagLib::MPEG::File file(path.c_str(), false);
  if (!file.isValid()) {
    *error = "TagLib cannot open " + path;
    return false;
  }
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  SetText(tag, "TIT2", r.title);
  TagLib::StringList artists;
  for (const std::string& a : r.artists) artists.append(Utf8(a));
  SetText(tag, "TPE1", artists);
  SetText(tag, "TSOP", r.artist_sorts.front());
  SetText(tag, "TALB", r.album);
  SetText(tag, "TPUB", r.label);
  SetText(tag, "TRCK", std::to_string(r.track) + "/" + std::to_string(r.total_tracks));
  SetText(tag, "TDRC", std::to_string(r.year));
  if (r.original_year != 0) SetText(tag, "TDOR", std::to_string(r.original_year));
  SetText(tag, "TCON", std::string(GenreName(r.genre_v2)));
  SetText(tag, "TLEN", std::to_string(SilentMp3Duration(r.vbr, ms)));
  SetText(tag, "TBPM", std::to_string(70 + seed % 90));
  auto* id = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
  id->setDescription(TAVOCTL_TAGID_ID3_DESCRIPTION);
  id->setText(Utf8(r.tag_id));
  tag->addFrame(id);
  // Odd tracks get ID3v2.3 (TagLib writes the original year as TORY there),
  // even tracks ID3v2.4.
  const auto version = r.track % 2 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
  if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version)) {
    *error = "TagLib cannot save " + path;
    return false;
  }
  return true;
}

int WriteDemoLibrary(const std::string& dir, std::string* error) {
  int written = 0;
  for (const Recording& r : DemoRecordings()) {
    const std::filesystem::path path = std::filesystem::path(dir) / DemoRelativePath(r);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
      *error = "cannot create " + path.parent_path().string();
      return -1;
    }
    if (!WriteDemoFile(path.string(), r, error)) return -1;
    ++written;
  }
  return written;
}

}  // namespace tavo
