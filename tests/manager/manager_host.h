// A host of both modules for the manager's tests: the control and the
// component are loaded with dlopen and registered in a scratch registry, the
// component is told the control's module (DllSetTavoHINST), and objects are
// made by class identifier, as a host makes them.
#ifndef TAVO_TESTS_MANAGER_MANAGER_HOST_H_
#define TAVO_TESTS_MANAGER_MANAGER_HOST_H_

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host_helpers.h"
#include "platform/com/com_ptr.h"
#include "tavo/control.h"
#include "tavo/tavo.h"

namespace tavo::testing {

class ManagerHost {
 public:
  // Once per process: the registry, both modules, their registration.
  static void Load() {
    if (loaded_) return;
    const std::filesystem::path registry =
        std::filesystem::temp_directory_path() / ("tavo-manager-registry-" + std::to_string(::getpid()) + ".reg");
    std::filesystem::remove(registry);
    ::setenv("TAVO_REGISTRY", registry.c_str(), 1);
    ::unsetenv("TAVO_CATALOG");
    void* control = ::dlopen(TAVO_CONTROL_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, control) << ::dlerror();
    void* component = ::dlopen(TAVO_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, component) << ::dlerror();
    for (void* module : {control, component}) {
      auto register_server = reinterpret_cast<HRESULT (*)()>(::dlsym(module, "DllRegisterServer"));
      ASSERT_NE(nullptr, register_server);
      ASSERT_EQ(S_OK, register_server());
    }
    auto set_control = reinterpret_cast<HRESULT (*)(HMODULE)>(::dlsym(component, "DllSetTavoHINST"));
    ASSERT_NE(nullptr, set_control);
    ASSERT_EQ(S_OK, set_control(control));
    loaded_ = true;
  }

  template <class I>
  static ComPtr<I> Make(REFCLSID clsid) {
    ComPtr<I> object;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_OF(I),
                                     object.ReleaseAndGetVoidAddressOf()));
    return object;
  }

 private:
  static inline bool loaded_ = false;
};

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_MANAGER_HOST_H_
