// TavoPL2Result: one track of a generated playlist, holding copies of its
// values. A missing out pointer gives E_INVALIDARG. The size is kept in 64
// bits and clamped to the largest LONG at GetFilesize.
#ifndef TAVO_GENERATION_OBJECTS_PL2_RESULT_H_
#define TAVO_GENERATION_OBJECTS_PL2_RESULT_H_

#include "generation/engine/playlist_entry.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPL2Result : public ComObject<TavoPL2Result, ITavoPL2Result> {
 public:
  TavoPL2Result() = default;
  explicit TavoPL2Result(PlaylistEntry entry) : entry_(std::move(entry)) {}

  HRESULT STDMETHODCALLTYPE GetFilename(BSTR* filename) override;
  HRESULT STDMETHODCALLTYPE GetArtist(BSTR* artist) override;
  HRESULT STDMETHODCALLTYPE GetAlbum(BSTR* album) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  // The genre id as decimal text ("%i").
  HRESULT STDMETHODCALLTYPE GetGenreId(BSTR* genre_id) override;
  HRESULT STDMETHODCALLTYPE GetFilesize(LONG* bytes) override;
  HRESULT STDMETHODCALLTYPE GetTracklength(LONG* seconds) override;
  HRESULT STDMETHODCALLTYPE GetBitrate(LONG* kbps) override;

 private:
  PlaylistEntry entry_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL2_RESULT_H_
