// The seven exports of libTavoPlaylist2Pelta.so.
//
// Module state lives from load to unload: the class table's lazily created
// class objects and the lock count of live objects and server locks.
#include "module/class_table.h"
#include "module/control_objects.h"
#include "platform/com/module_lock.h"

namespace tavo {
namespace {

constexpr DWORD kVersionMajor = 2, kVersionMinor = 4, kVersionBuild = 13, kVersionPlatform = 1;

// Null once the module is unloading: static objects are being destroyed.
ClassObjectTable* class_objects = nullptr;

struct ModuleState {
  ClassObjectTable table{ClassTable()};
  ModuleState() { class_objects = &table; }
  ~ModuleState() { class_objects = nullptr; }
} module_state;

std::string ThisModulePath() { return ModulePathOf(reinterpret_cast<const void*>(&ThisModulePath)); }

}  // namespace
}  // namespace tavo

#define TAVO_EXPORT extern "C" __attribute__((visibility("default")))

TAVO_EXPORT HRESULT DllCanUnloadNow(void) { return tavo::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

TAVO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (tavo::class_objects == nullptr) return E_INVALIDARG;  // not initialized, or already torn down
  return tavo::class_objects->Get(clsid, iid, ppv);
}

TAVO_EXPORT HRESULT DllRegisterServer(void) {
  return tavo::RegisterServer(tavo::ClassTable(), tavo::ComponentTypeLibrary(), tavo::ThisModulePath());
}

TAVO_EXPORT HRESULT DllUnregisterServer(void) {
  return tavo::UnregisterServer(tavo::ClassTable(), tavo::ComponentTypeLibrary(), tavo::ThisModulePath());
}

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
