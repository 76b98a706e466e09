// The lookup object: one recording of the catalog, copied at creation.
#ifndef TAVO_CONTROL_LOOKUP_H_
#define TAVO_CONTROL_LOOKUP_H_

#include "control/catalog.h"
#include "platform/com/out_values.h"
#include "platform/com/object.h"

namespace tavo::control {

class Lookup : public ComObject<Lookup, ITAVOLookup> {
 public:
  explicit Lookup(CatalogRecording r) : r_(std::move(r)) {}

  HRESULT STDMETHODCALLTYPE get_TagID(BSTR* v) override { return StoreText(v, r_.tag_id); }
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* v) override { return StoreText(v, r_.title); }
  HRESULT STDMETHODCALLTYPE get_TitleSort(BSTR* v) override { return StoreText(v, r_.title_sort); }
  HRESULT STDMETHODCALLTYPE get_Artist(BSTR* v) override { return StoreText(v, r_.artist); }
  HRESULT STDMETHODCALLTYPE get_ArtistSortCount(LONG* v) override {
    return StoreOut(v, static_cast<LONG>(r_.artist_sorts.size()));
  }
  HRESULT STDMETHODCALLTYPE GetArtistSort(LONG index, BSTR* v) override {
    if (v == nullptr) return E_POINTER;
    *v = nullptr;
    if (index < 1 || static_cast<size_t>(index) > r_.artist_sorts.size()) return E_INVALIDARG;
    return StoreText(v, r_.artist_sorts[index - 1]);
  }
  HRESULT STDMETHODCALLTYPE get_Album(BSTR* v) override { return StoreText(v, r_.album); }
  HRESULT STDMETHODCALLTYPE get_Label(BSTR* v) override { return StoreText(v, r_.label); }
  HRESULT STDMETHODCALLTYPE get_TrackNumber(LONG* v) override { return StoreOut(v, r_.track); }
  HRESULT STDMETHODCALLTYPE get_TotalTracks(LONG* v) override { return StoreOut(v, r_.total_tracks); }
  HRESULT STDMETHODCALLTYPE get_Year(LONG* v) override { return StoreOut(v, r_.year); }
  HRESULT STDMETHODCALLTYPE get_OriginalYear(LONG* v) override { return StoreOut(v, r_.original_year); }
  HRESULT STDMETHODCALLTYPE get_GenreV1(LONG* v) override { return StoreOut(v, r_.genre_v1); }
  HRESULT STDMETHODCALLTYPE get_GenreV2(LONG* v) override { return StoreOut(v, r_.genre_v2); }
  HRESULT STDMETHODCALLTYPE get_Era(LONG* v) override { return StoreOut(v, r_.era); }
  HRESULT STDMETHODCALLTYPE get_Origin(LONG* v) override { return StoreOut(v, r_.origin); }
  HRESULT STDMETHODCALLTYPE get_ArtistType(LONG* v) override { return StoreOut(v, r_.artist_type); }
  HRESULT STDMETHODCALLTYPE get_AlbumPopularity(LONG* v) override { return StoreOut(v, r_.album_popularity); }
  HRESULT STDMETHODCALLTYPE get_GlobalPopularity(LONG* v) override { return StoreOut(v, r_.global_popularity); }

 private:
  const CatalogRecording r_;
};

}  // namespace tavo::control

#endif  // TAVO_CONTROL_LOOKUP_H_
