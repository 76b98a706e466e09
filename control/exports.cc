// The four exports of libTAVOControl.so. Class objects are made on first
// request and kept until the library unloads; the lock count of live
// objects and server locks decides DllCanUnloadNow.
#include "control/class_table.h"
#include "platform/com/module_lock.h"

namespace tavo::control {
namespace {

// Null once the library is unloading: static objects are being destroyed.
ClassObjectTable* class_objects = nullptr;

struct ModuleState {
  ClassObjectTable table{ControlClasses()};
  ModuleState() { class_objects = &table; }
  ~ModuleState() { class_objects = nullptr; }
} module_state;

std::string ThisModulePath() { return ModulePathOf(reinterpret_cast<const void*>(&ThisModulePath)); }

}  // namespace
}  // namespace tavo::control

#define TAVOCTL_EXPORT extern "C" __attribute__((visibility("default")))

TAVOCTL_EXPORT HRESULT DllCanUnloadNow(void) { return tavo::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

TAVOCTL_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (tavo::control::class_objects == nullptr) return E_INVALIDARG;
  return tavo::control::class_objects->Get(clsid, iid, ppv);
}

TAVOCTL_EXPORT HRESULT DllRegisterServer(void) {
  using namespace tavo::control;
  return tavo::RegisterServer(ControlClasses(), ControlTypeLibrary(), ThisModulePath());
}

TAVOCTL_EXPORT HRESULT DllUnregisterServer(void) {
  using namespace tavo::control;
  return tavo::UnregisterServer(ControlClasses(), ControlTypeLibrary(), ThisModulePath());
}
