// The playlist runs: CreateDynPlaylist over the media library's generator
// runs (MediaLibrary::RunGenerator), and the two members of the classic
// criteria form that answer more than E_NOTIMPL.
#include <utility>

#include "generation/objects/pl2_criteria.h"
#include "generation/objects/pl2_result_list.h"
#include "generation/objects/pl_generator.h"
#include "manager/com/playlist2_mgr.h"
#include "manager/com/selection_names.h"
#include "manager/library/manager_status.h"
#include "platform/automation/utf.h"
#include "platform/com/error_info.h"
#include "storage/library/track_fields.h"

namespace tavo {
namespace {

HRESULT Fail(HRESULT hr, std::string_view description) {
  return ReportError(hr, IID_ITavoPlaylist2Mgr, "TavoPeltaPlaylist2Mgr", description);
}

// Why a run failed, for the host's error information. Every failure of a
// run is E_FAIL.
struct RunFailure {
  LibraryStatus status;
  std::string_view description;
};
constexpr RunFailure kRunFailures[] = {
    {kManagerNotOpen, "no library is open"},
    {kRunEmptySelection, "a selection-based generator needs file names"},
    {kRunNoMemory, "out of memory"},
    {kLibraryNoMemory, "out of memory"},
};

HRESULT RunFailed(LibraryStatus status) {
  for (const RunFailure& f : kRunFailures) {
    if (f.status == status) return Fail(E_FAIL, f.description);
  }
  return Fail(E_FAIL, "the playlist run failed");
}

}  // namespace

// E_INVALIDARG without a generator or out pointer or for a selection that
// is not an array of strings; E_FAIL when the generator has no record (or
// is not one of this component's) and when the run fails.
HRESULT TavoPeltaPlaylist2Mgr::CreateDynPlaylist(ITavoPLGenerator* generator, VARIANT files,
                                                ITavoPL2ResultList** results) {
  if (results == nullptr) return E_INVALIDARG;
  *results = nullptr;
  if (generator == nullptr) return Fail(E_INVALIDARG, "no generator given");
  std::vector<std::string> selection;
  if (HRESULT hr = SelectionNames(files, &selection); FAILED(hr)) {
    return hr == E_INVALIDARG ? Fail(hr, "the file names are not an array of strings") : hr;
  }
  const ComPtr<TavoPLGenerator> own = AsOwn<TavoPLGenerator>(generator);
  // The record stays alive for the run, also if the host lets go of it.
  const std::shared_ptr<GeneratorRecord> record = own ? own->record() : nullptr;
  if (record == nullptr) return Fail(E_FAIL, "the generator holds no criteria");
  std::vector<PlaylistEntry> entries;
  if (LibraryStatus s = library_->RunGenerator(record.get(), selection, &entries); s != kLibraryOk) {
    return RunFailed(s);
  }
  return MakeResultList(std::move(entries), results);
}

// A new criteria object in every case past the out pointer; with a file
// name, the library must hold the file with a genre, which is offered to the
// object (whose GenreId put keeps nothing).
HRESULT TavoPeltaPlaylist2Mgr::NewPlaylistCriteria(BSTR filename, ITavoPL2Criteria** criteria) {
  if (criteria == nullptr) return E_POINTER;
  *criteria = nullptr;
  ComPtr<TavoPL2Criteria> made = TavoPL2Criteria::Make();
  if (!made) return E_OUTOFMEMORY;
  *criteria = made.Copy();
  if (SysStringLen(filename) == 0) return S_OK;
  TrackRecord track;
  if (library_->FindTrack(BstrToUtf8(filename), &track) != kLibraryOk) return E_FAIL;
  int32_t genre = 0;
  if (!TrackGenreV2(track, &genre) || genre == 0) return E_FAIL;
  (*criteria)->put_GenreId(genre);
  return S_OK;
}

// The classic form fills no list: a valid call answers E_NOTIMPL and hands
// nothing out (*results is left as it was). The folder walk that would
// offer every file to TestFile, which does nothing, is left out: it could
// not change the answer.
HRESULT TavoPeltaPlaylist2Mgr::CreatePlaylistFromFolder(BSTR folder, LONG, ITavoPL2Criteria* criteria,
                                                       ITavoPL2ResultList** results) {
  if (results == nullptr || SysStringLen(folder) == 0) return E_INVALIDARG;
  ComPtr<TavoPL2ResultList> list = TavoPL2ResultList::Make();
  if (!list) return E_OUTOFMEMORY;
  return list->FillFromCriteria(criteria);
}

}  // namespace tavo
