#include "scan_events.h"

#include "host.h"
#include "platform/automation/utf.h"

namespace tavo::tool {
namespace {

// The file name is the first declared argument; DISPPARAMS holds the
// arguments last to first.
std::string FileNameArgument(const DISPPARAMS* params) {
  if (params == nullptr || params->cArgs == 0) return {};
  const VARIANT& first = params->rgvarg[params->cArgs - 1];
  return first.vt == VT_BSTR ? BstrToUtf8(first.bstrVal) : std::string();
}

}  // namespace

HRESULT ScanEvents::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DPlaylist2Events) {
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT ScanEvents::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ScanEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT ScanEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT ScanEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  // The flags of PreAddFile stay at 1: every file is added, the scan goes on.
  if (id == DISPID_DPlaylist2Events_PreAddFile) observer_->Offered(FileNameArgument(params));
  if (id == DISPID_DPlaylist2Events_PostAddFile) observer_->Stored(FileNameArgument(params));
  return S_OK;
}

}  // namespace tavo::tool
