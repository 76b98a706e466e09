#include "manager/com/control_ingestion_sources.h"

#include <array>
#include <mutex>
#include <utility>

#include "manager/ingestion/ingestion_status.h"
#include "platform/automation/utf.h"
#include "storage/library/disc_fields.h"

namespace tavo {
namespace {

// An automation string received from a call: freed on destruction.
struct Received {
  BSTR s = nullptr;
  ~Received() { SysFreeString(s); }
  std::string text() const { return BstrToUtf8(s); }
};

// An automation string we pass.
struct Passed {
  BSTR s;
  explicit Passed(std::string_view text) : s(BstrFromUtf8(text)) {}
  ~Passed() { SysFreeString(s); }
  Passed(const Passed&) = delete;
  Passed& operator=(const Passed&) = delete;
};

// The text a call gives through its last out-parameter; absent when it fails.
template <class Call>
std::optional<std::string> TextFrom(Call&& call) {
  Received value;
  if (FAILED(call(&value.s))) return std::nullopt;
  return value.text();
}

template <class Object>
std::optional<std::string> TextOf(Object* object, HRESULT (STDMETHODCALLTYPE Object::*getter)(BSTR*)) {
  return TextFrom([&](BSTR* out) { return (object->*getter)(out); });
}

template <class Object>
std::optional<int32_t> NumberOf(Object* object, HRESULT (STDMETHODCALLTYPE Object::*getter)(LONG*)) {
  LONG value = 0;
  if (FAILED((object->*getter)(&value))) return std::nullopt;
  return static_cast<int32_t>(value);
}

// The tag object's getters (slots 7, 11, 19, 23, 27, 29, 31, 33).
struct TagGetter {
  std::optional<std::string> FileTag::*value;
  HRESULT (STDMETHODCALLTYPE ITAVOTag::*get)(BSTR*);
};
constexpr TagGetter kTagGetters[] = {
    {&FileTag::album, &ITAVOTag::get_Album},         {&FileTag::title, &ITAVOTag::get_Title},
    {&FileTag::label, &ITAVOTag::get_Label},         {&FileTag::artist, &ITAVOTag::get_Artist},
    {&FileTag::track_number, &ITAVOTag::get_TrackNumber}, {&FileTag::year, &ITAVOTag::get_Year},
    {&FileTag::genre_text, &ITAVOTag::get_GenreText}, {&FileTag::tag_id, &ITAVOTag::get_TagID},
};

// The frames read by name (slot 45).
struct TagFrame {
  std::optional<std::string> FileTag::*value;
  const char* frame;
};
constexpr TagFrame kTagFrames[] = {
    {&FileTag::original_year, "TORY"},
    {&FileTag::length_ms, "TLEN"},
    {&FileTag::bpm, "TBPM"},
};

// The lookup object's numbers.
struct LookupNumber {
  std::optional<int32_t> RecordingData::*value;
  HRESULT (STDMETHODCALLTYPE ITAVOLookup::*get)(LONG*);
};
constexpr LookupNumber kLookupNumbers[] = {
    {&RecordingData::total_tracks, &ITAVOLookup::get_TotalTracks},
    {&RecordingData::original_year, &ITAVOLookup::get_OriginalYear},
    {&RecordingData::year, &ITAVOLookup::get_Year},
    {&RecordingData::genre_v1, &ITAVOLookup::get_GenreV1},
    {&RecordingData::genre_v2, &ITAVOLookup::get_GenreV2},
    {&RecordingData::era, &ITAVOLookup::get_Era},
    {&RecordingData::origin, &ITAVOLookup::get_Origin},
    {&RecordingData::artist_type, &ITAVOLookup::get_ArtistType},
};

std::mutex& RequestMutex() {
  static std::mutex mutex;
  return mutex;
}

// At most this many artists are read from a lookup or a disc: a count
// beyond it is not a recording's.
constexpr LONG kMaxArtists = 1024;

template <class Reader>
LibraryStatus OpenAndRead(CreateObjectFunction create, REFCLSID clsid, const std::string& path, FileTag* tag) {
  ComPtr<Reader> reader;
  if (FAILED(create(clsid, IID_OF(Reader), reader.ReleaseAndGetVoidAddressOf())) || reader.Get() == nullptr) {
    return kIngestionCannotRead;
  }
  const Passed name(path);
  if (name.s == nullptr || FAILED(reader->Open(name.s, TAVOCTL_OPEN_READ))) return kIngestionCannotRead;
  ComPtr<ITAVOTag> tag_object;
  if (FAILED(reader.As(&tag_object))) return kIngestionCannotRead;
  *tag = ReadTagObject(tag_object.Get());
  reader->Close();
  return kLibraryOk;
}

// The text a disc gives for one field, by the getter its setter pairs with.
std::optional<std::string> DiscText(ITAVODiscData* data, const DiscField& field) {
  switch (field.setter) {
    case DiscSetter::kExtended: {
      const Passed name(field.extended_name);
      Received value;
      if (name.s == nullptr || FAILED(data->GetExtended(0, name.s, &value.s))) return std::nullopt;
      return value.text();
    }
    case DiscSetter::kDiscArtist: return TextOf(data, &ITAVODiscData::get_Artist);
    case DiscSetter::kTrackTitle: return TextOf(data, &ITAVODiscData::get_TrackTitle);
    case DiscSetter::kDiscTitle: return TextOf(data, &ITAVODiscData::get_Title);
    case DiscSetter::kDiscYear: return TextOf(data, &ITAVODiscData::get_Year);
    case DiscSetter::kTrackNumber: return TextOf(data, &ITAVODiscData::get_TrackNumber);
  }
  return std::nullopt;
}

}  // namespace

FileTag ReadTagObject(ITAVOTag* tag) {
  FileTag values;
  for (const TagGetter& g : kTagGetters) values.*g.value = TextOf(tag, g.get);
  for (const TagFrame& f : kTagFrames) {
    const Passed frame(f.frame);
    if (frame.s != nullptr) values.*f.value = TextFrom([&](BSTR* out) { return tag->GetFrameText(frame.s, out); });
  }
  return values;
}

LibraryStatus ControlTagSource::Read(const std::string& path, AudioFormat format, FileTag* tag) {
  switch (format) {
    case AudioFormat::kMp3: return OpenAndRead<ITAVOMP3Reader>(create_, CLSID_TAVOMP3Reader, path, tag);
    case AudioFormat::kWma: return OpenAndRead<ITAVOWMAReader>(create_, CLSID_TAVOWMAReader, path, tag);
    case AudioFormat::kNone: break;
  }
  return kIngestionUnknownFormat;
}

LibraryStatus ControlRecordingService::Lookup(const std::string& tag_id, RecordingData* data) {
  if (service_.Get() == nullptr) return kManagerServiceFailed;
  const Passed id(tag_id);
  if (id.s == nullptr) return kLibraryNoMemory;
  std::lock_guard<std::mutex> lock(RequestMutex());
  ComPtr<ITAVOLookup> lookup;
  LONG track = 0;
  if (FAILED(service_->Lookup(id.s, lookup.ReleaseAndGetAddressOf(), &track)) || lookup.Get() == nullptr) {
    return kManagerServiceFailed;
  }
  data->title_sort = TextOf(lookup.Get(), &ITAVOLookup::get_TitleSort);
  data->label = TextOf(lookup.Get(), &ITAVOLookup::get_Label);
  LONG artists = 0;
  if (SUCCEEDED(lookup->get_ArtistSortCount(&artists))) {
    for (LONG i = 1; i <= artists && i <= kMaxArtists; ++i) {
      if (auto name = TextFrom([&](BSTR* out) { return lookup->GetArtistSort(i, out); })) {
        data->artist_sorts.push_back(std::move(*name));
      }
    }
  }
  for (const LookupNumber& n : kLookupNumbers) data->*n.value = NumberOf(lookup.Get(), n.get);
  return kLibraryOk;
}

LibraryStatus ControlRecordingService::Popularity(const std::string& tag_id, int32_t track,
                                                  int32_t* album_popularity, int32_t* global_popularity) {
  if (service_.Get() == nullptr) return kManagerServiceFailed;
  const Passed id(tag_id);
  if (id.s == nullptr) return kLibraryNoMemory;
  std::lock_guard<std::mutex> lock(RequestMutex());
  LONG album = -1;
  LONG global = -1;
  if (FAILED(service_->GetPopularity(id.s, track, &album, &global))) return kManagerServiceFailed;
  *album_popularity = album;
  *global_popularity = global;
  return kLibraryOk;
}

HRESULT ReadDiscObject(IDispatch* disc, DiscReading* reading) {
  ComPtr<ITAVODiscData> data;
  const HRESULT hr = disc->QueryInterface(IID_ITAVODiscData, data.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr) || data.Get() == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
  const std::span<const DiscField> fields = DiscFields();
  reading->fields.assign(fields.size(), std::nullopt);
  for (size_t i = 0; i < fields.size(); ++i) reading->fields[i] = DiscText(data.Get(), fields[i]);
  LONG artists = 0;
  if (SUCCEEDED(data->get_ArtistCount(&artists))) {
    for (LONG i = 1; i <= artists && i <= kMaxArtists; ++i) {
      if (auto name = TextFrom([&](BSTR* out) { return data->GetArtistName(i, out); })) {
        reading->artists.push_back(std::move(*name));
      }
    }
  }
  reading->genre_text = TextOf(data.Get(), &ITAVODiscData::get_Genre);
  reading->genre_v1 = NumberOf(data.Get(), &ITAVODiscData::get_GenreV1).value_or(0);
  reading->genre_v2 = NumberOf(data.Get(), &ITAVODiscData::get_GenreV2).value_or(0);
  return S_OK;
}

}  // namespace tavo
