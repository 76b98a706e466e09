// WMA through TagLib's ASF support: the three basic fields of the content
// description under "Title", "Author" and "Description", and every extended
// attribute under its own name (its first value as text).
#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include "control/tag_data.h"

namespace tavo::control {
namespace {

std::string Utf8(const TagLib::String& s) { return s.to8Bit(true); }

struct BasicField {
  const char* key;
  TagLib::String (TagLib::ASF::Tag::*get)() const;
  void (TagLib::ASF::Tag::*set)(const TagLib::String&);
};
constexpr BasicField kBasicFields[] = {
    {"Title", &TagLib::ASF::Tag::title, &TagLib::ASF::Tag::setTitle},
    {"Author", &TagLib::ASF::Tag::artist, &TagLib::ASF::Tag::setArtist},
    {"Description", &TagLib::ASF::Tag::comment, &TagLib::ASF::Tag::setComment},
};

const BasicField* FindBasic(const std::string& key) {
  for (const BasicField& f : kBasicFields) {
    if (key == f.key) return &f;
  }
  return nullptr;
}

class WmaBackend final : public TagBackend {
 public:
  HRESULT Read(const std::string& path, TagData* data) override {
    TagLib::ASF::File file(path.c_str(), true);
    if (!file.isValid()) return TAVOCTL_E_FILE;
    TagLib::ASF::Tag* tag = file.tag();
    for (const BasicField& f : kBasicFields) {
      const TagLib::String value = (tag->*f.get)();
      if (!value.isEmpty()) data->values[f.key] = Utf8(value);
    }
    for (const auto& [name, attributes] : tag->attributeListMap()) {
      if (!attributes.isEmpty()) data->values[Utf8(name)] = Utf8(attributes.front().toString());
    }
    data->has_tag = !data->values.empty();
    data->format = data->has_tag ? "ASF" : "";
    if (const TagLib::ASF::Properties* p = file.audioProperties()) {
      data->stream = {p->lengthInMilliseconds(), p->bitrate(), p->sampleRate(), p->channels()};
    }
    return S_OK;
  }

  HRESULT Write(const std::string& path, const TagData& data) override {
    TagLib::ASF::File file(path.c_str(), false);
    if (!file.isValid() || file.readOnly()) return TAVOCTL_E_FILE;
    TagLib::ASF::Tag* tag = file.tag();
    for (const std::string& key : data.changed) {
      const auto it = data.values.find(key);
      const TagLib::String value =
          it == data.values.end() ? TagLib::String() : TagLib::String(it->second, TagLib::String::UTF8);
      const TagLib::String name(key, TagLib::String::UTF8);
      if (const BasicField* f = FindBasic(key)) {
        (tag->*f->set)(value);
      } else if (it == data.values.end()) {
        tag->removeItem(name);
      } else {
        tag->setAttribute(name, TagLib::ASF::Attribute(value));
      }
    }
    return file.save() ? S_OK : TAVOCTL_E_FILE;
  }
};

}  // namespace

std::unique_ptr<TagBackend> NewWmaBackend() { return std::make_unique<WmaBackend>(); }

}  // namespace tavo::control
