// A module that answers success without handing out what it was asked for,
// the way a broken or hostile module might; creation_test.cc registers it.
// Class 1 (Data1 == 1) has no class object; for any other class the class
// object's CreateInstance makes no object.
#include "tavo/automation.h"

namespace {

struct EmptyFactory final : IClassFactory {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
    *out = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LockServer(int) override { return S_OK; }
} empty_factory;

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID, void** out) {
  *out = clsid.Data1 == 1 ? nullptr : static_cast<IClassFactory*>(&empty_factory);
  return S_OK;
}
