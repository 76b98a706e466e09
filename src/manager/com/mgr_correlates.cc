// DownloadCorrelates: the trigger of the correlates download.
#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

// Reloads the lists, then downloads levels 2, 1 and 0 into the correlates
// store (MediaLibrary::DownloadCorrelates). The lists' failure is reported
// first; a download that fails is reported too, so that a host knows that
// similarity has nothing to work with.
HRESULT TavoPeltaPlaylist2Mgr::DownloadCorrelates(LONG force) {
  return ManagerHresult(library_->DownloadCorrelates(force != 0));
}

}  // namespace tavo
