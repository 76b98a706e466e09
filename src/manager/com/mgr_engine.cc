// The playlist runs. The generation engine answers these; it reads the
// library through MediaLibrary (its view follows every write from
// MediaLibrary::TrackStored and TrackRemoved).
#include "manager/com/not_yet.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::CreateDynPlaylist(ITavoPLGenerator*, VARIANT, ITavoPL2ResultList** results) {
  return NotYet(results);
}

HRESULT TavoPeltaPlaylist2Mgr::NewPlaylistCriteria(BSTR, ITavoPL2Criteria** criteria) { return NotYet(criteria); }

HRESULT TavoPeltaPlaylist2Mgr::CreatePlaylistFromFolder(BSTR, LONG, ITavoPL2Criteria*,
                                                       ITavoPL2ResultList** results) {
  return NotYet(results);
}

}  // namespace tavo
