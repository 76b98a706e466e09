// The four exports of libTAVOControl.so. Class objects are made on first
// request and kept until the library unloads; the lock count of live
// objects and server locks decides DllCanUnloadNow.
#include <dlfcn.h>

#include <array>
#include <mutex>
#include <string>

#include "control/class_table.h"
#include "platform/com/module_lock.h"

namespace tavo::control {
namespace {

struct ModuleState {
  std::mutex lock;
  std::array<IClassFactory*, 4> class_objects{};

  ~ModuleState() {
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

std::string ModulePath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace
}  // namespace tavo::control

#define TAVOCTL_EXPORT extern "C" __attribute__((visibility("default")))

TAVOCTL_EXPORT HRESULT DllCanUnloadNow(void) { return tavo::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

TAVOCTL_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  auto& state = tavo::control::State();
  const auto classes = tavo::control::ControlClasses();
  static_assert(std::tuple_size_v<decltype(state.class_objects)> == 4, "one class object per class");
  for (size_t i = 0; i < classes.size(); ++i) {
    if (*classes[i].clsid != clsid) continue;
    IClassFactory* object = nullptr;
    {
      std::lock_guard<std::mutex> lock(state.lock);
      if (state.class_objects[i] == nullptr) state.class_objects[i] = tavo::ClassFactory::Make(classes[i].create).Detach();
      object = state.class_objects[i];
    }
    return object ? object->QueryInterface(iid, ppv) : E_OUTOFMEMORY;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

TAVOCTL_EXPORT HRESULT DllRegisterServer(void) { return tavo::control::RegisterControl(tavo::control::ModulePath()); }

TAVOCTL_EXPORT HRESULT DllUnregisterServer(void) {
  return tavo::control::UnregisterControl(tavo::control::ModulePath());
}
