#include "platform/com/module_exports.h"

#include "platform/com/guard.h"
#include "platform/com/module_lock.h"

namespace tavo {
namespace {

// Null once the module is unloading: static objects are being destroyed.
ClassObjectTable* class_objects = nullptr;

struct ModuleState {
  ClassObjectTable table{ThisServedModule().classes};
  ModuleState() { class_objects = &table; }
  ~ModuleState() { class_objects = nullptr; }
} module_state;

// This function's own address lies in the module, whichever module it is.
std::string ThisModulePath() { return ModulePathOf(reinterpret_cast<const void*>(&ThisModulePath)); }

}  // namespace
}  // namespace tavo

TAVO_MODULE_EXPORT HRESULT DllCanUnloadNow(void) { return tavo::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

TAVO_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (tavo::class_objects == nullptr) return E_INVALIDARG;  // not set up, or already torn down
  return tavo::RunGuarded(IID_IClassFactory, "DllGetClassObject",
                          [&] { return tavo::class_objects->Get(clsid, iid, ppv); });
}

TAVO_MODULE_EXPORT HRESULT DllRegisterServer(void) {
  return tavo::RunGuarded(IID_NULL, "DllRegisterServer", [] {
    const tavo::ServedModule& m = tavo::ThisServedModule();
    return tavo::RegisterServer(m.classes, m.library, tavo::ThisModulePath());
  });
}

TAVO_MODULE_EXPORT HRESULT DllUnregisterServer(void) {
  return tavo::RunGuarded(IID_NULL, "DllUnregisterServer", [] {
    const tavo::ServedModule& m = tavo::ThisServedModule();
    return tavo::UnregisterServer(m.classes, m.library, tavo::ThisModulePath());
  });
}
