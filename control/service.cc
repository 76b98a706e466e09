#include "control/service.h"

#include <cstring>

#include "control/correlates.h"
#include "control/lookup.h"
#include "platform/com/out_values.h"

namespace tavo::control {

HRESULT Service::List(std::string_view name, BSTR level, BSTR tag, VARIANT* doc) {
  if (doc == nullptr) return E_POINTER;
  VariantInit(doc);
  std::string text;
  const HRESULT hr = catalog_->ListDocument(name, BstrToUtf8(level), BstrToUtf8(tag), &text);
  if (hr != S_OK) return hr;  // a failure, or S_FALSE: the caller's copy is current
  void* block = GlobalAlloc(GMEM_FIXED, text.size() + 1);
  if (block == nullptr) return E_OUTOFMEMORY;
  std::memcpy(block, text.c_str(), text.size() + 1);
  doc->vt = VT_BYREF | VT_UI1;
  doc->pbVal = static_cast<BYTE*>(block);
  return S_OK;
}

HRESULT Service::Correlates(int level, ITAVOCorrelateList** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  auto data = std::make_shared<NamedCorrelates>();
  if (HRESULT hr = catalog_->Correlates(level, &data->table); FAILED(hr)) return hr;
  // Level 0 speaks of version-1 genres, the others of the genre list's.
  const std::string_view names = level == 0 ? kGenreV1List : kGenreList;
  for (const CorrelateEntry& entry : data->table->entries) {
    if (HRESULT hr = catalog_->GenreName(names, entry.genre_id, &data->names[entry.genre_id]); FAILED(hr)) return hr;
    for (const CorrelateRelated& r : entry.related) {
      if (HRESULT hr = catalog_->GenreName(names, r.id, &data->names[r.id]); FAILED(hr)) return hr;
    }
  }
  return StoreObject(list, CorrelateList::Make(std::move(data)));
}

// The texts name what the caller holds; correlates are small, so the whole
// list always comes back and a forced download always gets data.
HRESULT Service::GetCorrelates0(BSTR, BSTR, ITAVOCorrelateList** list) { return Correlates(0, list); }
HRESULT Service::GetCorrelates1(BSTR, BSTR, ITAVOCorrelateList** list) { return Correlates(1, list); }
HRESULT Service::GetCorrelates2(BSTR, BSTR, ITAVOCorrelateList** list) { return Correlates(2, list); }

HRESULT Service::get_Kind(LONG* kind) { return StoreOut(kind, TAVOCTL_SERVICE_KIND); }

HRESULT Service::get_CatalogRevision(BSTR* revision) {
  if (revision == nullptr) return E_POINTER;
  *revision = nullptr;
  std::string tag;
  if (HRESULT hr = catalog_->Revision(&tag); FAILED(hr)) return hr;
  return StoreText(revision, tag);
}

HRESULT Service::GetEraList(BSTR level, BSTR tag, VARIANT* doc) { return List(kEraList, level, tag, doc); }
HRESULT Service::GetOriginList(BSTR level, BSTR tag, VARIANT* doc) { return List(kOriginList, level, tag, doc); }
HRESULT Service::GetArtistTypeList(BSTR level, BSTR tag, VARIANT* doc) {
  return List(kArtistTypeList, level, tag, doc);
}
HRESULT Service::GetGenreList(BSTR level, BSTR tag, VARIANT* doc) { return List(kGenreList, level, tag, doc); }
HRESULT Service::GetGenreFamilyList(BSTR level, BSTR tag, VARIANT* doc) {
  return List(kGenreFamilyList, level, tag, doc);
}
HRESULT Service::GetPopularityRangeList(BSTR level, BSTR tag, VARIANT* doc) {
  return List(kPopularityRangeList, level, tag, doc);
}
HRESULT Service::GetNamedList(BSTR name, BSTR level, BSTR tag, VARIANT* doc) {
  if (doc == nullptr) return E_POINTER;
  VariantInit(doc);
  if (name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  return List(BstrToUtf8(name), level, tag, doc);
}

HRESULT Service::GetPopularity(BSTR tag_id, LONG, LONG* album, LONG* global) {
  if (album == nullptr || global == nullptr) return E_POINTER;
  *album = *global = -1;
  if (tag_id == nullptr || SysStringLen(tag_id) == 0) return E_INVALIDARG;
  CatalogRecording r;
  if (HRESULT hr = catalog_->FindRecording(BstrToUtf8(tag_id), &r); FAILED(hr)) return hr;
  *album = r.album_popularity;
  *global = r.global_popularity;
  return S_OK;
}

HRESULT Service::FindRecording(BSTR title, BSTR artist, BSTR* tag_id) {
  if (tag_id == nullptr) return E_POINTER;
  *tag_id = nullptr;
  if (title == nullptr || SysStringLen(title) == 0) return E_INVALIDARG;
  std::shared_ptr<const std::vector<CatalogRecording>> all;
  if (HRESULT hr = catalog_->Recordings(&all); FAILED(hr)) return hr;
  const std::string want_title = BstrToUtf8(title), want_artist = BstrToUtf8(artist);
  for (const CatalogRecording& r : *all) {
    if (r.title != want_title) continue;
    for (const std::string& a : r.artists) {
      if (want_artist.empty() || a == want_artist) return StoreText(tag_id, r.tag_id);
    }
  }
  return TAVOCTL_E_NO_VALUE;
}

HRESULT Service::get_RecordingCount(LONG* count) {
  if (count == nullptr) return E_POINTER;
  std::shared_ptr<const std::vector<CatalogRecording>> all;
  if (HRESULT hr = catalog_->Recordings(&all); FAILED(hr)) return hr;
  return StoreOut(count, static_cast<LONG>(all->size()));
}

HRESULT Service::GetGenreName(LONG genre_id, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  std::string text;
  if (HRESULT hr = catalog_->GenreName(kGenreList, genre_id, &text); FAILED(hr)) return hr;
  if (text.empty()) return TAVOCTL_E_NO_VALUE;
  return StoreText(name, text);
}

HRESULT Service::Lookup(BSTR tag_id, ITAVOLookup** lookup, LONG* track_number) {
  if (lookup == nullptr) return E_POINTER;
  *lookup = nullptr;
  if (track_number != nullptr) *track_number = 0;
  if (tag_id == nullptr || SysStringLen(tag_id) == 0) return E_INVALIDARG;
  CatalogRecording r;
  if (HRESULT hr = catalog_->FindRecording(BstrToUtf8(tag_id), &r); FAILED(hr)) return hr;
  const LONG track = r.track;
  if (HRESULT hr = StoreObject(lookup, control::Lookup::Make(std::move(r))); FAILED(hr)) return hr;
  if (track_number != nullptr) *track_number = track;
  return S_OK;
}

}  // namespace tavo::control
