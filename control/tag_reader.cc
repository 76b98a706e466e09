#include "control/tag_reader.h"

#include <cctype>

#include "platform/fs/env.h"

namespace tavo::control {
namespace {

// Which part of a stored value a property is.
enum class Part {
  kWhole,
  kFirst,   // before '/' ("3" of "3/12")
  kSecond,  // after '/'
  kYear,    // the first four characters ("1987" of "1987-05-01")
};

struct PropertyKeys {
  TagProperty property;
  const char* mp3;
  const char* mp3_fallback;  // an older frame read when the first is absent
  const char* wma;
  Part part;
};

constexpr PropertyKeys kProperties[] = {
    {TagProperty::kAlbum, "TALB", nullptr, "WM/AlbumTitle", Part::kWhole},
    {TagProperty::kAlbumSort, "TSOA", nullptr, "WM/AlbumSortOrder", Part::kWhole},
    {TagProperty::kTitle, "TIT2", nullptr, "Title", Part::kWhole},
    {TagProperty::kTitleSort, "TSOT", nullptr, "WM/TitleSortOrder", Part::kWhole},
    {TagProperty::kComposer, "TCOM", nullptr, "WM/Composer", Part::kWhole},
    {TagProperty::kComment, "COMM", nullptr, "Description", Part::kWhole},
    {TagProperty::kLabel, "TPUB", nullptr, "WM/Publisher", Part::kWhole},
    {TagProperty::kAlbumArtist, "TPE2", nullptr, "WM/AlbumArtist", Part::kWhole},
    {TagProperty::kArtist, "TPE1", nullptr, "Author", Part::kWhole},
    {TagProperty::kArtistSort, "TSOP", nullptr, "WM/ArtistSortOrder", Part::kWhole},
    {TagProperty::kTrackNumber, "TRCK", nullptr, "WM/TrackNumber", Part::kFirst},
    {TagProperty::kYear, "TDRC", "TYER", "WM/Year", Part::kYear},
    {TagProperty::kGenre, "TCON", nullptr, "WM/Genre", Part::kWhole},
    {TagProperty::kTagId, "TXXX:" TAVOCTL_TAGID_ID3_DESCRIPTION, nullptr, TAVOCTL_TAGID_ASF_ATTRIBUTE, Part::kWhole},
    {TagProperty::kDiscNumber, "TPOS", nullptr, "WM/PartOfSet", Part::kFirst},
    {TagProperty::kOriginalYear, "TDOR", "TORY", "WM/OriginalReleaseYear", Part::kYear},
    {TagProperty::kTotalTracks, "TRCK", nullptr, "WM/TrackNumber", Part::kSecond},
};

const PropertyKeys& KeysOf(TagProperty p) {
  for (const PropertyKeys& k : kProperties) {
    if (k.property == p) return k;
  }
  return kProperties[0];  // unreachable: the table covers every property
}

// Frame names that callers use for both formats: "TORY" is the original
// year property; in WMA files "TBPM" is an attribute and "TLEN" the
// stream's duration (ASF keeps no such attribute).
struct FrameAlias {
  const char* name;
  TagProperty property;
};
constexpr FrameAlias kFrameAliases[] = {{"TORY", TagProperty::kOriginalYear}};
constexpr std::pair<const char*, const char*> kWmaFrameNames[] = {{"TBPM", "WM/BeatsPerMinute"},
                                                                  {"TLEN", nullptr}};

std::string Extract(const std::string& value, Part part) {
  const size_t slash = value.find('/');
  switch (part) {
    case Part::kWhole: return value;
    case Part::kFirst: return value.substr(0, slash);
    case Part::kSecond: return slash == std::string::npos ? std::string() : value.substr(slash + 1);
    case Part::kYear: return value.substr(0, 4);
  }
  return value;
}

// Where a frame name leads in this reader's format.
struct FrameTarget {
  const TagProperty* property = nullptr;  // a property alias ("TORY")
  bool stream_duration = false;           // "TLEN" of a WMA file
  std::string key;                        // else: the stored key
};

FrameTarget ResolveFrame(TagFormat format, const std::string& frame) {
  FrameTarget target;
  for (const FrameAlias& alias : kFrameAliases) {
    if (frame == alias.name) target.property = &alias.property;
  }
  target.key = frame;
  if (format == TagFormat::kWma) {
    for (const auto& [id3, asf] : kWmaFrameNames) {
      if (frame != id3) continue;
      target.stream_duration = asf == nullptr;
      if (asf != nullptr) target.key = asf;
    }
  }
  return target;
}

}  // namespace

TagReaderCore::TagReaderCore(TagFormat format)
    : format_(format), backend_(format == TagFormat::kMp3 ? NewMp3Backend() : NewWmaBackend()) {}

HRESULT TagReaderCore::Open(BSTR filename, LONG mode) {
  Close();
  if (filename == nullptr || SysStringLen(filename) == 0) return E_INVALIDARG;
  if (mode != TAVOCTL_OPEN_READ && mode != TAVOCTL_OPEN_READWRITE) return E_INVALIDARG;
  const std::string path = BstrToUtf8(filename);
  FileInfo info;
  if (Env::Default()->Stat(path, &info) != 0 || !info.exists || info.is_directory) return TAVOCTL_E_FILE;
  TagData data;
  if (HRESULT hr = backend_->Read(path, &data); FAILED(hr)) return hr;
  data_ = std::move(data);
  path_ = path;
  open_ = true;
  writable_ = mode == TAVOCTL_OPEN_READWRITE;
  return S_OK;
}

HRESULT TagReaderCore::Close() {
  open_ = writable_ = false;
  path_.clear();
  data_ = TagData();
  return S_OK;
}

HRESULT TagReaderCore::Save() {
  if (!open_) return TAVOCTL_E_NOT_OPEN;
  if (!writable_) return TAVOCTL_E_READ_ONLY;
  if (data_.changed.empty()) return S_OK;
  if (HRESULT hr = backend_->Write(path_, data_); FAILED(hr)) return hr;
  data_.changed.clear();
  return S_OK;
}

HRESULT TagReaderCore::FileName(BSTR* name) const {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  return open_ ? StoreText(name, path_) : TAVOCTL_E_NOT_OPEN;
}

HRESULT TagReaderCore::Stream(LONG StreamInfo::*field, LONG* value) const {
  if (value == nullptr) return E_POINTER;
  *value = 0;
  return open_ ? StoreOut(value, data_.stream.*field) : TAVOCTL_E_NOT_OPEN;
}

HRESULT TagReaderCore::Format(BSTR* format) const {
  if (format == nullptr) return E_POINTER;
  *format = nullptr;
  return open_ ? StoreText(format, data_.format) : TAVOCTL_E_NOT_OPEN;
}

HRESULT TagReaderCore::HasTag(LONG* has) const {
  if (has == nullptr) return E_POINTER;
  *has = 0;
  return open_ ? StoreOut(has, data_.has_tag ? 1 : 0) : TAVOCTL_E_NOT_OPEN;
}

const std::string* TagReaderCore::Value(const std::string& key) const {
  const auto it = data_.values.find(key);
  return it == data_.values.end() ? nullptr : &it->second;
}

void TagReaderCore::SetValue(const std::string& key, const std::string* value) {
  if (value) {
    data_.values[key] = *value;
  } else {
    data_.values.erase(key);
  }
  data_.changed.insert(key);
}

HRESULT TagReaderCore::Get(TagProperty property, BSTR* value) const {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  if (!open_) return TAVOCTL_E_NOT_OPEN;
  const PropertyKeys& keys = KeysOf(property);
  const std::string* stored = format_ == TagFormat::kWma ? Value(keys.wma) : Value(keys.mp3);
  if (stored == nullptr && format_ == TagFormat::kMp3 && keys.mp3_fallback) stored = Value(keys.mp3_fallback);
  if (stored == nullptr) return TAVOCTL_E_NO_VALUE;
  const std::string text = Extract(*stored, keys.part);
  if (text.empty() && keys.part != Part::kWhole) return TAVOCTL_E_NO_VALUE;
  return StoreText(value, text);
}

HRESULT TagReaderCore::Put(TagProperty property, BSTR value) {
  if (!open_) return TAVOCTL_E_NOT_OPEN;
  const PropertyKeys& keys = KeysOf(property);
  const std::string key = format_ == TagFormat::kWma ? keys.wma : keys.mp3;
  std::string text = BstrToUtf8(value);
  // "n/total": setting one half keeps the other.
  if (keys.part == Part::kFirst || keys.part == Part::kSecond) {
    const std::string* stored = Value(key);
    const std::string first = keys.part == Part::kFirst ? text : stored ? Extract(*stored, Part::kFirst) : "";
    const std::string second = keys.part == Part::kSecond ? text : stored ? Extract(*stored, Part::kSecond) : "";
    text = second.empty() ? first : first + "/" + second;
  }
  if (format_ == TagFormat::kMp3 && keys.mp3_fallback) SetValue(keys.mp3_fallback, nullptr);
  SetValue(key, text.empty() ? nullptr : &text);
  return S_OK;
}

HRESULT TagReaderCore::GetFrame(BSTR name, BSTR* text) const {
  if (text == nullptr) return E_POINTER;
  *text = nullptr;
  if (name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  if (!open_) return TAVOCTL_E_NOT_OPEN;
  const FrameTarget target = ResolveFrame(format_, BstrToUtf8(name));
  if (target.property) return Get(*target.property, text);
  if (target.stream_duration) {
    return data_.stream.duration_ms > 0 ? StoreText(text, std::to_string(data_.stream.duration_ms))
                                        : TAVOCTL_E_NO_VALUE;
  }
  const std::string* stored = Value(target.key);
  return stored ? StoreText(text, *stored) : TAVOCTL_E_NO_VALUE;
}

HRESULT TagReaderCore::SetFrame(BSTR name, BSTR text) {
  if (name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  if (!open_) return TAVOCTL_E_NOT_OPEN;
  const FrameTarget target = ResolveFrame(format_, BstrToUtf8(name));
  if (target.property) return Put(*target.property, text);
  if (target.stream_duration) return E_INVALIDARG;  // the duration is the stream's
  const std::string value = BstrToUtf8(text);
  SetValue(target.key, value.empty() ? nullptr : &value);
  return S_OK;
}

}  // namespace tavo::control
