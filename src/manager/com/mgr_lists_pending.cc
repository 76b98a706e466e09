// Stand-in for mgr_lists.cc until the descriptor-list classes
// (tavo_descriptor_objects) are in the tree: no list objects yet.
#include "manager/com/playlist2_mgr.h"
#include "manager/com/not_yet.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::ListObject(DescriptorKind kind, ComPtr<ITavoPLDataList>* object) {
  DescriptorListPtr list;
  return library_->List(kind, &list) != kLibraryOk ? E_FAIL : E_NOTIMPL;
}
ComPtr<ITavoGenreDisplayList> TavoPeltaPlaylist2Mgr::GenreDisplayObject() { return nullptr; }
HRESULT TavoPeltaPlaylist2Mgr::GetArtistTypes(ITavoArtistTypeList** list) { return NotYet(list); }
HRESULT TavoPeltaPlaylist2Mgr::GetOrigins(ITavoOriginsList** list) { return NotYet(list); }
HRESULT TavoPeltaPlaylist2Mgr::GetGenreDisplayList(LONG, ITavoGenreDisplayList** list) {
  if (list != nullptr) *list = nullptr;
  ComPtr<ITavoPLDataList> object;
  const HRESULT hr = ListObject(DescriptorKind::kGenres, &object);
  return hr == E_NOTIMPL ? S_OK : hr;
}
HRESULT TavoPeltaPlaylist2Mgr::GetEraDisplayList(LONG, ITavoEraDisplayList** list) { return NotYet(list); }
HRESULT TavoPeltaPlaylist2Mgr::GetPopularityRanges(ITavoPopularityRangeList** list) { return NotYet(list); }
HRESULT TavoPeltaPlaylist2Mgr::GetPLDataList(LONG, BSTR, ITavoPLDataList** list) { return NotYet(list); }

}  // namespace tavo
