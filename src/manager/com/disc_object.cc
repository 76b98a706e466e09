#include "manager/com/disc_object.h"

#include <string>

#include "data/descriptors/genre_display.h"
#include "manager/control/control_objects.h"
#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"
#include "storage/library/decimal_text.h"
#include "storage/library/disc_fields.h"
#include "tavo/control.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

// The disc's own setters (slots 12, 10, 16 and 76 of its data interface);
// the track title and extended values have setters of their own shape.
using TextSetter = HRESULT (STDMETHODCALLTYPE ITAVODiscData::*)(BSTR);
struct OwnSetter {
  DiscSetter setter;
  TextSetter put;
};
constexpr OwnSetter kOwnSetters[] = {
    {DiscSetter::kDiscArtist, &ITAVODiscData::put_Artist},
    {DiscSetter::kDiscTitle, &ITAVODiscData::put_Title},
    {DiscSetter::kDiscYear, &ITAVODiscData::put_Year},
    {DiscSetter::kTrackNumber, &ITAVODiscData::put_TrackNumber},
};

const DescriptorList* NamingList(const DiscNames& names, DescriptorNames which) {
  switch (which) {
    case DescriptorNames::kEras: return names.eras.get();
    case DescriptorNames::kArtistTypes: return names.artist_types.get();
    case DescriptorNames::kOrigins: return names.origins.get();
    case DescriptorNames::kGenres: return names.genres.get();
    case DescriptorNames::kNone: break;
  }
  return nullptr;
}

// The display name of a descriptor id; false when no list names it. A genre
// that is not an item itself is named by the item standing for it.
bool NameOf(const DiscNames& names, DescriptorNames which, int64_t id, std::string* name) {
  const DescriptorList* list = NamingList(names, which);
  if (list == nullptr) return false;
  int32_t lookup = static_cast<int32_t>(id);
  if (which == DescriptorNames::kGenres) lookup = GenreDisplayId(*list, lookup);
  const DescriptorItem* item = list->FindById(lookup);
  if (item == nullptr) return false;
  *name = item->display_name;
  return true;
}

// The text one field gives the disc; false when the field is left out.
bool TextOf(const DiscField& field, const DiscValue& value, const DiscNames& names, std::string* text) {
  switch (value.kind) {
    case DiscValue::Kind::kAbsent: return false;
    case DiscValue::Kind::kText: *text = value.text; return true;
    case DiscValue::Kind::kNumber:
      if (field.names != DescriptorNames::kNone) return NameOf(names, field.names, value.number, text);
      *text = DecimalText(value.number);
      return true;
    case DiscValue::Kind::kDate: *text = Timestamp::Format(FromRecordDate(value.date)); return true;
  }
  return false;
}

HRESULT Set(ITAVODiscData* data, const DiscField& field, const std::string& text) {
  struct Text {
    BSTR s;
    ~Text() { SysFreeString(s); }
  } value{BstrFromUtf8(text)};
  if (value.s == nullptr) return E_OUTOFMEMORY;
  switch (field.setter) {
    case DiscSetter::kExtended: {
      const Text name{BstrFromUtf8(field.extended_name)};
      return data->SetExtended(0, name.s, value.s);
    }
    case DiscSetter::kTrackTitle: {
      ComPtr<ITAVOTrack> track;  // released at once
      return data->SetTrack(1, value.s, track.ReleaseAndGetAddressOf());
    }
    default:
      for (const OwnSetter& own : kOwnSetters) {
        if (own.setter == field.setter) return (data->*own.put)(value.s);
      }
  }
  return E_UNEXPECTED;
}

}  // namespace

DiscNames DiscNamesOf(MediaLibrary& library) {
  DiscNames names;
  library.List(DescriptorKind::kEras, &names.eras);
  library.List(DescriptorKind::kArtistTypes, &names.artist_types);
  library.List(DescriptorKind::kOrigins, &names.origins);
  library.List(DescriptorKind::kGenres, &names.genres);
  return names;
}

HRESULT BuildDiscObject(const TrackRecord& track, const DiscNames& names, IDispatch** disc) {
  if (disc == nullptr) return E_POINTER;
  *disc = nullptr;
  ComPtr<ITAVODisc> made;
  if (HRESULT hr = CreateControlObject(CLSID_TAVODisc, IID_ITAVODisc, made.ReleaseAndGetVoidAddressOf()); FAILED(hr)) {
    return hr;
  }
  ComPtr<ITAVODiscData> data;
  if (HRESULT hr = made.As(&data); FAILED(hr)) return hr;
  for (const DiscField& field : DiscFields()) {
    std::string text;
    if (!TextOf(field, DiscField_Value(track, field), names, &text)) continue;
    if (HRESULT hr = Set(data.Get(), field, text); FAILED(hr)) return hr;
  }
  *disc = made.Detach();
  return S_OK;
}

}  // namespace tavo
