// GetFileData: the disc object of one track.
#include "manager/com/disc_object.h"
#include "manager/com/playlist2_mgr.h"
#include "platform/automation/utf.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::GetFileData(BSTR filename, IDispatch** disc) {
  if (disc == nullptr) return E_POINTER;
  *disc = nullptr;
  if (filename == nullptr || SysStringLen(filename) == 0) return E_INVALIDARG;
  TrackRecord track;
  // No such track, or no database open: the lookup failed.
  if (library_->FindTrack(BstrToUtf8(filename), &track) != kLibraryOk) return E_FAIL;
  return BuildDiscObject(track, DiscNamesOf(*library_), disc);
}

}  // namespace tavo
