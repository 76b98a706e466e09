#include "generation/objects/pl2_result.h"

#include <limits>
#include <string>

#include "platform/com/out_values.h"

namespace tavo {
namespace {

// Results answer a missing pointer with E_INVALIDARG.
HRESULT Text(BSTR* out, std::string_view text) { return out == nullptr ? E_INVALIDARG : StoreText(out, text); }

HRESULT Number(LONG* out, uint64_t value) {
  if (out == nullptr) return E_INVALIDARG;
  constexpr uint64_t kLargest = std::numeric_limits<LONG>::max();
  return StoreOut(out, value > kLargest ? kLargest : value);
}

}  // namespace

HRESULT TavoPL2Result::GetFilename(BSTR* filename) { return Text(filename, entry_.path); }
HRESULT TavoPL2Result::GetArtist(BSTR* artist) { return Text(artist, entry_.artist); }
HRESULT TavoPL2Result::GetAlbum(BSTR* album) { return Text(album, entry_.album); }
HRESULT TavoPL2Result::GetTitle(BSTR* title) { return Text(title, entry_.title); }
HRESULT TavoPL2Result::GetGenreId(BSTR* genre_id) { return Text(genre_id, std::to_string(entry_.genre_id)); }
HRESULT TavoPL2Result::GetFilesize(LONG* bytes) { return Number(bytes, entry_.size); }
HRESULT TavoPL2Result::GetTracklength(LONG* seconds) { return Number(seconds, entry_.length); }
HRESULT TavoPL2Result::GetBitrate(LONG* kbps) { return Number(kbps, entry_.bitrate); }

}  // namespace tavo
