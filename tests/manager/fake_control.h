// A control for the manager's bad-input tests: its version text, how it
// answers the query for the extended control and the request for the
// service object, and the documents its service serves are the test's.
#ifndef TAVO_TESTS_MANAGER_FAKE_CONTROL_H_
#define TAVO_TESTS_MANAGER_FAKE_CONTROL_H_

#include <cstring>
#include <map>
#include <string>

#include "control/reserved_slots.h"
#include "platform/com/out_values.h"
#include "platform/com/object.h"
#include "tavo/control.h"

namespace tavo::testing {

// Documents by list kind (0 to 5) and 6 for "genres-v1-to-v2"; a request
// for any other fails with E_FAIL.
class FakeService : public ComObject<FakeService, ITAVOService> {
 public:
  std::map<int, std::string> documents;

  HRESULT STDMETHODCALLTYPE GetCorrelates0(BSTR, BSTR, ITAVOCorrelateList**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override { return StoreOut(kind, TAVOCTL_SERVICE_KIND); }
  HRESULT STDMETHODCALLTYPE get_CatalogRevision(BSTR* revision) override { return StoreText(revision, "fake"); }
  HRESULT STDMETHODCALLTYPE GetEraList(BSTR, BSTR, VARIANT* doc) override { return Serve(0, doc); }
  HRESULT STDMETHODCALLTYPE GetOriginList(BSTR, BSTR, VARIANT* doc) override { return Serve(1, doc); }
  HRESULT STDMETHODCALLTYPE GetArtistTypeList(BSTR, BSTR, VARIANT* doc) override { return Serve(2, doc); }
  HRESULT STDMETHODCALLTYPE GetPopularity(BSTR, LONG, LONG*, LONG*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE FindRecording(BSTR, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetGenreList(BSTR, BSTR, VARIANT* doc) override { return Serve(3, doc); }
  HRESULT STDMETHODCALLTYPE GetGenreFamilyList(BSTR, BSTR, VARIANT* doc) override { return Serve(5, doc); }
  HRESULT STDMETHODCALLTYPE get_RecordingCount(LONG* count) override { return StoreOut(count, 0); }
  HRESULT STDMETHODCALLTYPE GetGenreName(LONG, BSTR*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetCorrelates2(BSTR, BSTR, ITAVOCorrelateList**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetCorrelates1(BSTR, BSTR, ITAVOCorrelateList**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetNamedList(BSTR name, BSTR, BSTR, VARIANT* doc) override {
    VariantInit(doc);
    return BstrToUtf8(name) == "genres-v1-to-v2" ? Serve(6, doc) : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE GetPopularityRangeList(BSTR, BSTR, VARIANT* doc) override { return Serve(4, doc); }
  HRESULT STDMETHODCALLTYPE Lookup(BSTR, ITAVOLookup**, LONG*) override { return E_FAIL; }

 private:
  HRESULT Serve(int which, VARIANT* doc) {
    VariantInit(doc);
    const auto it = documents.find(which);
    if (it == documents.end()) return E_FAIL;
    void* block = GlobalAlloc(GMEM_FIXED, it->second.size() + 1);
    std::memcpy(block, it->second.c_str(), it->second.size() + 1);
    doc->vt = VT_BYREF | VT_UI1;
    doc->pbVal = static_cast<BYTE*>(block);
    return S_OK;
  }
};

class FakeControl : public ComObject<FakeControl, ITAVOControlEx> {
 public:
  std::string version = "TAVOControl 2.1.3.4";
  HRESULT version_status = S_OK;
  HRESULT query_status = S_OK;    // answered to the query for the extended control, unless S_OK
  HRESULT service_status = S_OK;  // GetService's status
  bool service_null = false;      // GetService answers S_OK without an object
  ComPtr<FakeService> service = FakeService::Make();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    if (iid == IID_ITAVOControlEx && query_status != S_OK) {
      *ppv = nullptr;
      return query_status;
    }
    return ComObject::QueryInterface(iid, ppv);
  }

  HRESULT STDMETHODCALLTYPE get_Version(BSTR* text) override {
    return version_status != S_OK ? version_status : StoreText(text, version);
  }
  HRESULT STDMETHODCALLTYPE get_CatalogPath(BSTR* path) override { return StoreText(path, ""); }
  HRESULT STDMETHODCALLTYPE put_CatalogPath(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateTagReader(BSTR, IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateDisc(ITAVODisc**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CheckCatalog() override { return S_OK; }
  TAVOCTL_RESERVED_ITAVOControlEx(TAVOCTL_IMPLEMENT_RESERVED, _)
  HRESULT STDMETHODCALLTYPE GetService(LONG kind, ITAVOService** out) override {
    *out = nullptr;
    if (service_status != S_OK) return service_status;
    if (service_null || kind != TAVOCTL_SERVICE_KIND) return S_OK;
    return StoreObject(out, service);
  }
};

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_FAKE_CONTROL_H_
