// The seven exports of libTavoPlaylist2Pelta.so.
//
// Module state lives from load to unload: the class table's lazily created
// class objects (guarded by the class-table lock, tested again inside it)
// and the lock count of live objects and server locks.
#include <dlfcn.h>

#include <array>
#include <mutex>
#include <string>

#include "module/class_table.h"
#include "module/control_objects.h"
#include "module/registration.h"
#include "platform/com/module_lock.h"

namespace tavo {
namespace {

constexpr DWORD kVersionMajor = 2, kVersionMinor = 4, kVersionBuild = 13, kVersionPlatform = 1;

struct ModuleState {
  std::mutex class_table_lock;
  std::array<IClassFactory*, 25> class_objects{};
  bool initialized = true;

  ~ModuleState() {
    initialized = false;
    for (IClassFactory*& object : class_objects) {
      if (object) object->Release();
      object = nullptr;
    }
  }
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

// The full path of this module's file.
std::string ModulePath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace
}  // namespace tavo

using tavo::State;

#define TAVO_EXPORT extern "C" __attribute__((visibility("default")))

TAVO_EXPORT HRESULT DllCanUnloadNow(void) { return tavo::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

TAVO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  tavo::ModuleState& state = State();
  if (!state.initialized) return E_INVALIDARG;
  const auto table = tavo::ClassTable();
  for (size_t i = 0; i < table.size(); ++i) {
    if (*table[i].clsid != clsid) continue;
    IClassFactory* object = nullptr;
    {
      std::lock_guard<std::mutex> lock(state.class_table_lock);
      if (state.class_objects[i] == nullptr)
        state.class_objects[i] = tavo::ClassFactory::Make(table[i].create).Detach();
      object = state.class_objects[i];
    }
    if (object == nullptr) return E_OUTOFMEMORY;
    return object->QueryInterface(iid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

TAVO_EXPORT HRESULT DllRegisterServer(void) { return tavo::RegisterModule(tavo::ModulePath()); }

TAVO_EXPORT HRESULT DllUnregisterServer(void) { return tavo::UnregisterModule(tavo::ModulePath()); }

TAVO_EXPORT HRESULT DllGetVersion(DLLVERSIONINFO* info) {
  if (info == nullptr || info->cbSize < sizeof(DLLVERSIONINFO)) return E_INVALIDARG;
  *info = DLLVERSIONINFO{sizeof(DLLVERSIONINFO), tavo::kVersionMajor, tavo::kVersionMinor, tavo::kVersionBuild,
                         tavo::kVersionPlatform};
  return S_OK;
}

TAVO_EXPORT HRESULT DllGetObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, iid, ppv);
  factory->Release();
  return hr;
}

TAVO_EXPORT HRESULT DllSetTavoHINST(HMODULE control_module) {
  tavo::SetControlModule(control_module);
  return S_OK;
}
