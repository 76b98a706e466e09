// The event sink of a scan: a plain IDispatch, as any host writes one, that
// receives the manager's PreAddFile and PostAddFile and tells a
// ScanObserver. It lives on the stack of the scan; the manager's references
// only keep it connected, so its count never frees it.
#ifndef TAVO_TOOLS_TAVOPL_SCAN_EVENTS_H_
#define TAVO_TOOLS_TAVOPL_SCAN_EVENTS_H_

#include <atomic>
#include <string>

#include "tavo/tavo.h"

namespace tavo::tool {

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  virtual void Offered(const std::string& path) = 0;  // PreAddFile
  virtual void Stored(const std::string& path) = 0;   // PostAddFile
};

class ScanEvents final : public IDispatch {
 public:
  explicit ScanEvents(ScanObserver* observer) : observer_(observer) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

 private:
  ScanObserver* observer_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_SCAN_EVENTS_H_
