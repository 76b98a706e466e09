// Searching the library: the find-data object holds the filter and the open
// search (find_data.h); each match is handed out as a disc object, made as
// GetFileData makes it (disc_object.h). Only our own find-data objects can
// hold a search: any other object is refused with E_INVALIDARG.
#include "generation/objects/own_interfaces.h"
#include "manager/com/disc_object.h"
#include "manager/com/find_data.h"
#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::FindOpen(ITavoPL2FindData* find_data) {
  const ComPtr<TavoPL2FindData> find = AsOwn<TavoPL2FindData>(find_data);
  if (!find) return E_INVALIDARG;
  return ManagerHresult(find->OpenSearch(library_));
}

// E_FAIL when no match is left (again on every later call), when no search
// is open on this manager, or when a track cannot be read.
HRESULT TavoPeltaPlaylist2Mgr::FindNext(ITavoPL2FindData* find_data, IDispatch** disc) {
  if (disc == nullptr) return E_POINTER;
  *disc = nullptr;
  const ComPtr<TavoPL2FindData> find = AsOwn<TavoPL2FindData>(find_data);
  if (!find) return E_INVALIDARG;
  TrackRecord track;
  if (find->NextMatch(library_, &track) != kLibraryOk) return E_FAIL;
  return BuildDiscObject(track, DiscNamesOf(*library_), disc);
}

HRESULT TavoPeltaPlaylist2Mgr::FindClose(ITavoPL2FindData* find_data) {
  const ComPtr<TavoPL2FindData> find = AsOwn<TavoPL2FindData>(find_data);
  if (!find) return E_INVALIDARG;
  find->CloseSearch();
  return S_OK;
}

}  // namespace tavo
