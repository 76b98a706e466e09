// Object creation through the registry: a registered module's answer is
// checked before it is used.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"

namespace tavo {
namespace {

// Classes of broken_module.cc.
constexpr GUID kNoClassObject = {1, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr GUID kNoInstance = {2, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};

TEST(CreationTest, ModulesAnsweringSuccessWithoutAnObjectFail) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tavo-creation-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string registry = (dir / "registry.reg").string();
  for (const GUID& clsid : {kNoClassObject, kNoInstance}) {
    ASSERT_EQ(S_OK, RunRegistrationScript("HKCR { NoRemove CLSID { " + FormatGuid(clsid, true) +
                                              " { InprocServer32 = s '%MODULE%' } } }",
                                          {{"MODULE", TAVO_BROKEN_MODULE}}, true, registry));
  }
  ::setenv("TAVO_REGISTRY", registry.c_str(), 1);

  for (const GUID& clsid : {kNoClassObject, kNoInstance}) {
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CO_E_ERRORINDLL, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                reinterpret_cast<void**>(&object)))
        << clsid.Data1;
    EXPECT_EQ(nullptr, object);
  }
  void* factory = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(CO_E_ERRORINDLL, CoGetClassObject(kNoClassObject, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                              &factory));
  EXPECT_EQ(nullptr, factory);

  ::unsetenv("TAVO_REGISTRY");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tavo
