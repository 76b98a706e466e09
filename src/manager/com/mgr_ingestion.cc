// Adding, refreshing and removing files. Ingestion answers these over
// MediaLibrary: its writes (MediaLibrary::Write, under the write lock and
// the commit policy) and its events (AskBeforeAdd / ReportAdded and
// AskBeforeUpdate / ReportUpdated, fired with no lock held).
#include "manager/com/not_yet.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::AddFile(BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddFolder(BSTR, LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::DeleteFile(BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::UpdateFile(BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::GetFileIdentifier(BSTR, BSTR* file_id) { return NotYet(file_id); }
HRESULT TavoPeltaPlaylist2Mgr::UpdateDatabase(LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::CompactDatabase(LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddFileWithTag(BSTR, IDispatch*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddFileWithDisc(BSTR, IDispatch*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddEntry(BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FileSetTagID(BSTR, BSTR, LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddEntryWithTag(BSTR, BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::TAVOUpdateEntry(BSTR, LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::AddEntryWithDisc(BSTR, IDispatch*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::UpdateFileWithDisc(BSTR, IDispatch*) { return NotYet(); }

}  // namespace tavo
