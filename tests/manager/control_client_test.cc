// Creating objects of the control's library: through the module that
// DllSetTavoHINST names, else through the registry. The component module
// stands in for the control's library here: it has a DllGetClassObject.
#include "manager/control/control_objects.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

namespace tavo {
namespace {

class ControlClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tavo-control-client-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    ::setenv("TAVO_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
    module_ = ::dlopen(TAVO_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, module_) << ::dlerror();
  }
  void TearDown() override {
    SetControlModule(nullptr);
    ::unsetenv("TAVO_REGISTRY");
    std::filesystem::remove_all(dir_);
  }

  std::filesystem::path dir_;
  void* module_ = nullptr;
};

TEST_F(ControlClientTest, ObjectsComeFromTheNamedModuleOrTheRegistry) {
  SetControlModule(module_);
  ComPtr<ITavoPL2Timestamp> stamp;
  EXPECT_EQ(S_OK, CreateControlObject(CLSID_TavoPL2Timestamp, IID_ITavoPL2Timestamp,
                                      stamp.ReleaseAndGetVoidAddressOf()));
  // A class the named module does not serve falls through to the registry.
  EXPECT_EQ(REGDB_E_CLASSNOTREG,
            CreateControlObject(IID_IUnknown, IID_IUnknown, reinterpret_cast<void**>(stamp.ReleaseAndGetAddressOf())));
  // Cleared, only the registry is asked: nothing is registered yet.
  SetControlModule(nullptr);
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CreateControlObject(CLSID_TavoPL2Timestamp, IID_ITavoPL2Timestamp,
                                                     stamp.ReleaseAndGetVoidAddressOf()));
  auto register_server = reinterpret_cast<HRESULT (*)()>(::dlsym(module_, "DllRegisterServer"));
  ASSERT_NE(nullptr, register_server);
  ASSERT_EQ(S_OK, register_server());
  EXPECT_EQ(S_OK, CreateControlObject(CLSID_TavoPL2Timestamp, IID_ITavoPL2Timestamp,
                                      stamp.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(E_POINTER, CreateControlObject(CLSID_TavoPL2Timestamp, IID_ITavoPL2Timestamp, nullptr));
}

}  // namespace
}  // namespace tavo
