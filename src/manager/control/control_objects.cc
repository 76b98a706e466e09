#include "manager/control/control_objects.h"

#include <dlfcn.h>

#include <mutex>

namespace tavo {
namespace {

std::mutex control_mutex;
HMODULE control_module = nullptr;
GetClassObjectFunction control_entry = nullptr;

}  // namespace

void SetControlModule(HMODULE module) {
  std::lock_guard<std::mutex> lock(control_mutex);
  control_module = module;
  control_entry =
      module ? reinterpret_cast<GetClassObjectFunction>(::dlsym(module, "DllGetClassObject")) : nullptr;
}

HRESULT CreateControlObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  GetClassObjectFunction entry;
  {
    std::lock_guard<std::mutex> lock(control_mutex);
    entry = control_entry;
  }
  if (entry != nullptr) {
    IClassFactory* factory = nullptr;
    if (SUCCEEDED(entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) && factory) {
      const HRESULT hr = factory->CreateInstance(nullptr, iid, ppv);
      factory->Release();
      if (SUCCEEDED(hr)) return hr;
      *ppv = nullptr;
    }
  }
  return CoCreateInstance(clsid, nullptr, CLSCTX_ALL, iid, ppv);
}

}  // namespace tavo
