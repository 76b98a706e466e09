// The members of the classic criteria form. They answer E_NOTIMPL, do
// nothing else and touch no argument (not even a null [out] pointer).
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::CreatePlaylist(ITavoPL2Criteria*, ITavoPL2ResultList**) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::TestFile(BSTR, ITavoPL2Criteria*, ITavoPL2ResultList*) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::RetrieveCriteria(LONG, ITavoPL2Criteria**) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::SaveCriteria(ITavoPL2Criteria*, LONG*) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::DeleteCriteria(LONG) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::NumSavedCriteria(LONG*) { return E_NOTIMPL; }
HRESULT TavoPeltaPlaylist2Mgr::GetEras(IDispatch**) { return E_NOTIMPL; }

}  // namespace tavo
