// MP3 (and ".aac" files with ID3 tags) through TagLib's MPEG support. The
// ID3v2 tag is read frame by frame; a file with only an ID3v1 tag reads its
// fields under the equivalent ID3v2 frame ids. Writing always writes ID3v2.4
// and leaves other tags alone.
#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include "control/tag_data.h"

namespace tavo::control {
namespace {

std::string Utf8(const TagLib::String& s) { return s.to8Bit(true); }

std::string Joined(const TagLib::StringList& values, unsigned first = 0) {
  std::string out;
  for (unsigned i = first; i < values.size(); ++i) {
    if (!out.empty()) out += ", ";
    out += Utf8(values[i]);
  }
  return out;
}

// A genre given as a version-1 number ("17" or "(17)") reads as its name.
std::string GenreText(const std::string& text) {
  std::string digits = text;
  if (digits.size() > 2 && digits.front() == '(' && digits.back() == ')') digits = digits.substr(1, digits.size() - 2);
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return text;
  const TagLib::String name = TagLib::ID3v1::genre(std::stoi(digits));
  return name.isEmpty() ? text : Utf8(name);
}

void ReadId3v2(TagLib::ID3v2::Tag* tag, TagData* data) {
  data->format = "ID3v2." + std::to_string(tag->header()->majorVersion());
  for (TagLib::ID3v2::Frame* frame : tag->frameList()) {
    const std::string id(frame->frameID().data(), frame->frameID().size());
    if (auto* user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame)) {
      data->values["TXXX:" + Utf8(user->description())] = Joined(user->fieldList(), 1);
    } else if (auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
      data->values[id] = id == "TCON" ? GenreText(Joined(text->fieldList())) : Joined(text->fieldList());
    } else if (auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(frame)) {
      data->values.emplace("COMM", Utf8(comment->text()));
    }
  }
}

void ReadId3v1(TagLib::ID3v1::Tag* tag, TagData* data) {
  data->format = "ID3v1";
  const std::pair<const char*, TagLib::String> fields[] = {
      {"TIT2", tag->title()}, {"TPE1", tag->artist()}, {"TALB", tag->album()},
      {"COMM", tag->comment()}, {"TCON", tag->genre()}};
  for (const auto& [key, value] : fields) {
    if (!value.isEmpty()) data->values[key] = Utf8(value);
  }
  if (tag->year() != 0) data->values["TDRC"] = std::to_string(tag->year());
  if (tag->track() != 0) data->values["TRCK"] = std::to_string(tag->track());
}

void WriteFrame(TagLib::ID3v2::Tag* tag, const std::string& key, const std::string* value) {
  const TagLib::String text = value ? TagLib::String(*value, TagLib::String::UTF8) : TagLib::String();
  if (key.rfind("TXXX:", 0) == 0) {
    const TagLib::String description(key.substr(5), TagLib::String::UTF8);
    while (auto* old = TagLib::ID3v2::UserTextIdentificationFrame::find(tag, description)) tag->removeFrame(old);
    if (value == nullptr) return;
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
    frame->setDescription(description);
    frame->setText(text);
    tag->addFrame(frame);
  } else if (key == "COMM") {
    tag->setComment(text);
  } else if (key.size() == 4 && key[0] == 'T') {
    tag->removeFrames(TagLib::ByteVector(key.data(), 4));
    if (value == nullptr) return;
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(key.data(), 4), TagLib::String::UTF8);
    frame->setText(text);
    tag->addFrame(frame);
  }
}

class Mp3Backend final : public TagBackend {
 public:
  HRESULT Read(const std::string& path, TagData* data) override {
    TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
    if (!file.isValid()) return TAVOCTL_E_FILE;
    if (file.hasID3v2Tag()) {
      ReadId3v2(file.ID3v2Tag(), data);
    } else if (file.hasID3v1Tag()) {
      ReadId3v1(file.ID3v1Tag(), data);
    }
    data->has_tag = !data->values.empty();
    if (const TagLib::MPEG::Properties* p = file.audioProperties()) {
      data->stream = {p->lengthInMilliseconds(), p->bitrate(), p->sampleRate(), p->channels()};
    }
    // TagLib accepts any bytes; a file with neither a tag nor an MPEG frame
    // is not ours. (A tagged ".aac" file has no MPEG frames and still reads.)
    return data->has_tag || data->stream.sample_rate > 0 ? S_OK : TAVOCTL_E_FILE;
  }

  HRESULT Write(const std::string& path, const TagData& data) override {
    TagLib::MPEG::File file(path.c_str(), false);
    if (!file.isValid() || file.readOnly()) return TAVOCTL_E_FILE;
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    for (const std::string& key : data.changed) {
      const auto it = data.values.find(key);
      WriteFrame(tag, key, it == data.values.end() ? nullptr : &it->second);
    }
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4) ? S_OK : TAVOCTL_E_FILE;
  }
};

}  // namespace

std::unique_ptr<TagBackend> NewMp3Backend() { return std::make_unique<Mp3Backend>(); }

}  // namespace tavo::control
