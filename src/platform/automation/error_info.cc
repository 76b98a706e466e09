// Error information: one slot per thread holding the last error object a
// method set. The object implements both ICreateErrorInfo (for the component
// that fills it) and IErrorInfo (for the host that reads it).
#include <atomic>
#include <new>
#include <string>

#include "tavo/automation.h"

namespace {

BSTR Copy(const std::u16string& s) { return SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); }
std::u16string Text(LPOLESTR s) { return s ? std::u16string(s) : std::u16string(); }

class ErrorObject final : public IErrorInfo, public ICreateErrorInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (iid == IID_IUnknown || iid == IID_IErrorInfo) {
      *ppv = static_cast<IErrorInfo*>(this);
    } else if (iid == IID_ICreateErrorInfo) {
      *ppv = static_cast<ICreateErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = guid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* out) override { return Out(source_, out); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* out) override { return Out(description_, out); }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* out) override { return Out(help_file_, out); }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* out) override {
    if (out == nullptr) return E_INVALIDARG;
    *out = help_context_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) override { return guid_ = guid, S_OK; }
  HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR s) override { return source_ = Text(s), S_OK; }
  HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR s) override { return description_ = Text(s), S_OK; }
  HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR s) override { return help_file_ = Text(s), S_OK; }
  HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD c) override { return help_context_ = c, S_OK; }

 private:
  static HRESULT Out(const std::u16string& s, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = Copy(s);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  std::atomic<ULONG> refs_{1};
  GUID guid_{};
  std::u16string source_, description_, help_file_;
  DWORD help_context_ = 0;
};

// Released when the thread ends, so a host thread that never reads its last
// error does not leak it.
struct Slot {
  IErrorInfo* info = nullptr;
  ~Slot() {
    if (info) info->Release();
  }
};
thread_local Slot slot;

}  // namespace

TAVO_AUTO_API HRESULT CreateErrorInfo(ICreateErrorInfo** out) {
  if (out == nullptr) return E_INVALIDARG;
  auto* object = new (std::nothrow) ErrorObject;
  *out = object;
  return object ? S_OK : E_OUTOFMEMORY;
}

TAVO_AUTO_API HRESULT SetErrorInfo(ULONG, IErrorInfo* info) {
  if (info) info->AddRef();
  if (slot.info) slot.info->Release();
  slot.info = info;
  return S_OK;
}

TAVO_AUTO_API HRESULT GetErrorInfo(ULONG, IErrorInfo** out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = slot.info;
  slot.info = nullptr;
  return *out ? S_OK : S_FALSE;
}
