// Adding, refreshing and removing files: adapters over Ingestion
// (manager/ingestion/ingestion.h) with the control's tag readers and service
// object as its sources.
#include <new>

#include "manager/com/control_ingestion_sources.h"
#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"
#include "manager/control/control_objects.h"
#include "manager/ingestion/ingestion.h"
#include "platform/automation/utf.h"
#include "storage/store/status.h"

namespace tavo {
namespace {

// Members that look a record up first answer a missing one with the
// lookup's own status.
HRESULT LookupHresult(LibraryStatus status) {
  return status == kStoreNotFound ? static_cast<HRESULT>(kStoreNotFound) : ManagerHresult(status);
}

// Runs `body` on an Ingestion over `library` with the control's sources;
// nothing thrown leaves.
template <class Body>
HRESULT WithIngestion(MediaLibrary& library, ComPtr<ITAVOService> service, Body&& body) noexcept {
  try {
    ControlTagSource tags(&CreateControlObject);
    ControlRecordingService recordings(std::move(service));
    Ingestion ingestion(library, {&tags, &recordings, nullptr});
    return body(ingestion);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

std::string Utf8(BSTR text) { return BstrToUtf8(text); }

// The members that build a record from the host's disc object.
using DiscMember = LibraryStatus (Ingestion::*)(const std::string&, const DiscReading&);
HRESULT WithDisc(MediaLibrary& library, ComPtr<ITAVOService> service, BSTR filename, IDispatch* disc,
                 DiscMember member) {
  if (disc == nullptr) return E_INVALIDARG;
  return WithIngestion(library, std::move(service), [&](Ingestion& in) -> HRESULT {
    DiscReading reading;
    if (FAILED(ReadDiscObject(disc, &reading))) return E_INVALIDARG;
    return ManagerHresult((in.*member)(Utf8(filename), reading));
  });
}

}  // namespace

HRESULT TavoPeltaPlaylist2Mgr::AddFile(BSTR filename) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return ManagerHresult(in.AddFile(Utf8(filename))); });
}

HRESULT TavoPeltaPlaylist2Mgr::AddFolder(BSTR folder, LONG recurse) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return ManagerHresult(in.AddFolder(Utf8(folder), recurse != 0)); });
}

HRESULT TavoPeltaPlaylist2Mgr::DeleteFile(BSTR filename) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return ManagerHresult(in.DeleteFile(Utf8(filename))); });
}

HRESULT TavoPeltaPlaylist2Mgr::UpdateFile(BSTR filename) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return LookupHresult(in.UpdateFile(Utf8(filename))); });
}

HRESULT TavoPeltaPlaylist2Mgr::GetFileIdentifier(BSTR filename, BSTR* file_id) {
  if (file_id == nullptr) return E_POINTER;
  *file_id = nullptr;
  return WithIngestion(*library_, service(), [&](Ingestion& in) -> HRESULT {
    std::string tag_id;
    const LibraryStatus status = in.GetFileIdentifier(Utf8(filename), &tag_id);
    if (status != kLibraryOk) return LookupHresult(status);
    *file_id = BstrFromUtf8(tag_id);
    return *file_id != nullptr ? S_OK : E_OUTOFMEMORY;
  });
}

HRESULT TavoPeltaPlaylist2Mgr::UpdateDatabase(LONG) {
  return WithIngestion(*library_, service(), [&](Ingestion& in) { return ManagerHresult(in.UpdateDatabase()); });
}

HRESULT TavoPeltaPlaylist2Mgr::CompactDatabase(LONG) {
  return WithIngestion(*library_, service(), [&](Ingestion& in) { return ManagerHresult(in.CompactDatabase()); });
}

HRESULT TavoPeltaPlaylist2Mgr::AddFileWithTag(BSTR filename, IDispatch* tag) {
  if (tag == nullptr) return E_INVALIDARG;
  ComPtr<ITAVOTag> tag_object;
  if (FAILED(tag->QueryInterface(IID_ITAVOTag, tag_object.ReleaseAndGetVoidAddressOf()))) return E_INVALIDARG;
  return WithIngestion(*library_, service(), [&](Ingestion& in) {
    return ManagerHresult(in.AddFileWithTag(Utf8(filename), ReadTagObject(tag_object.Get())));
  });
}

HRESULT TavoPeltaPlaylist2Mgr::AddFileWithDisc(BSTR filename, IDispatch* disc) {
  return WithDisc(*library_, service(), filename, disc, &Ingestion::AddFileWithDisc);
}

HRESULT TavoPeltaPlaylist2Mgr::AddEntry(BSTR filename) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return ManagerHresult(in.AddEntry(Utf8(filename))); });
}

HRESULT TavoPeltaPlaylist2Mgr::FileSetTagID(BSTR filename, BSTR tag_id, LONG flags) {
  return WithIngestion(*library_, service(), [&](Ingestion& in) {
    return LookupHresult(in.FileSetTagId(Utf8(filename), Utf8(tag_id), flags));
  });
}

HRESULT TavoPeltaPlaylist2Mgr::AddEntryWithTag(BSTR filename, BSTR tag_id) {
  return WithIngestion(*library_, service(), [&](Ingestion& in) {
    return ManagerHresult(in.AddEntryWithTag(Utf8(filename), Utf8(tag_id)));
  });
}

HRESULT TavoPeltaPlaylist2Mgr::TAVOUpdateEntry(BSTR filename, LONG flags) {
  return WithIngestion(*library_, service(),
                       [&](Ingestion& in) { return LookupHresult(in.UpdateEntry(Utf8(filename), flags)); });
}

HRESULT TavoPeltaPlaylist2Mgr::AddEntryWithDisc(BSTR filename, IDispatch* disc) {
  return WithDisc(*library_, service(), filename, disc, &Ingestion::AddEntryWithDisc);
}

HRESULT TavoPeltaPlaylist2Mgr::UpdateFileWithDisc(BSTR filename, IDispatch* disc) {
  return WithDisc(*library_, service(), filename, disc, &Ingestion::UpdateFileWithDisc);
}

}  // namespace tavo
