// Searching the library, one disc object per match (BuildDiscObject,
// disc_object.h, makes them as GetFileData does).
#include "manager/com/not_yet.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::FindOpen(ITavoPL2FindData*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FindNext(ITavoPL2FindData*, IDispatch** disc) { return NotYet(disc); }
HRESULT TavoPeltaPlaylist2Mgr::FindClose(ITavoPL2FindData*) { return NotYet(); }

}  // namespace tavo
