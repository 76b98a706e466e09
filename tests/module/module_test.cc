// The module's exports, class table and registration, with the module loaded
// the way a host loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include <fstream>
#include <sstream>

#include "module/class_table.h"
#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"
#include "platform/com/com_ptr.h"


namespace tavo {
namespace {

struct Exports {
  void* handle = nullptr;
  HRESULT (*can_unload)() = nullptr;
  HRESULT (*get_class_object)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT (*register_server)() = nullptr;
  HRESULT (*unregister_server)() = nullptr;
  HRESULT (*get_version)(DLLVERSIONINFO*) = nullptr;
  HRESULT (*get_object)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT (*set_hinst)(HMODULE) = nullptr;
};

template <class F>
void Bind(void* handle, const char* name, F* out) {
  *out = reinterpret_cast<F>(::dlsym(handle, name));
  ASSERT_NE(nullptr, *out) << name;
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tavo-module-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    registry_ = (dir_ / "registry.reg").string();
    ::setenv("TAVO_REGISTRY", registry_.c_str(), 1);
    m_.handle = ::dlopen(TAVO_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, m_.handle) << ::dlerror();
    Bind(m_.handle, "DllCanUnloadNow", &m_.can_unload);
    Bind(m_.handle, "DllGetClassObject", &m_.get_class_object);
    Bind(m_.handle, "DllRegisterServer", &m_.register_server);
    Bind(m_.handle, "DllUnregisterServer", &m_.unregister_server);
    Bind(m_.handle, "DllGetVersion", &m_.get_version);
    Bind(m_.handle, "DllGetObject", &m_.get_object);
    Bind(m_.handle, "DllSetTavoHINST", &m_.set_hinst);
  }
  void TearDown() override {
    ::unsetenv("TAVO_REGISTRY");
    std::filesystem::remove_all(dir_);
  }

  // A fresh look at the registry file.
  std::optional<std::string> Value(const std::string& key, const std::string& name = {}) {
    return RegistryQuery(key, name);
  }
  bool Exists(const std::string& key) {
    RegistryTransaction txn(registry_);
    return txn.registry().root().Find(key) != nullptr;
  }

  std::filesystem::path dir_;
  std::string registry_;
  Exports m_;
};

TEST_F(ModuleTest, GetVersionChecksTheRecordSize) {
  DWORD record[6] = {19, 7, 7, 7, 7, 7};
  EXPECT_EQ(E_INVALIDARG, m_.get_version(reinterpret_cast<DLLVERSIONINFO*>(record)));
  EXPECT_EQ(19u, record[0]);
  EXPECT_EQ(7u, record[1]);  // nothing written
  record[0] = 24;
  ASSERT_EQ(S_OK, m_.get_version(reinterpret_cast<DLLVERSIONINFO*>(record)));
  const DWORD expect[6] = {20, 2, 4, 13, 1, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(expect[i], record[i]) << i;
  EXPECT_EQ(E_INVALIDARG, m_.get_version(nullptr));
}

TEST_F(ModuleTest, ClassObjectsAndLockCount) {
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, m_.get_class_object(IID_IUnknown, IID_IClassFactory, &p));
  EXPECT_EQ(nullptr, p);
  EXPECT_EQ(E_POINTER, m_.get_class_object(CLSID_TavoPL2Timestamp, IID_IClassFactory, nullptr));

  // The class object is made once and is not counted as a live object.
  ComPtr<IClassFactory> a, b;
  ASSERT_EQ(S_OK, m_.get_class_object(CLSID_TavoPL2Timestamp, IID_IClassFactory, a.ReleaseAndGetVoidAddressOf()));
  ASSERT_EQ(S_OK, m_.get_class_object(CLSID_TavoPL2Timestamp, IID_IClassFactory, b.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(a.Get(), b.Get());
  EXPECT_EQ(S_OK, m_.can_unload());
  ComPtr<ITavoPL2Timestamp> stamp;
  ASSERT_EQ(S_OK, m_.get_object(CLSID_TavoPL2Timestamp, IID_ITavoPL2Timestamp, stamp.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(S_FALSE, m_.can_unload());
  stamp = nullptr;
  EXPECT_EQ(S_OK, m_.can_unload());
  a->LockServer(1);
  EXPECT_EQ(S_FALSE, m_.can_unload());
  a->LockServer(0);
  EXPECT_EQ(S_OK, m_.can_unload());

  // Every class of the table has a class object, built or not.
  for (const ClassEntry& e : ClassTable()) {
    ComPtr<IClassFactory> f;
    EXPECT_EQ(S_OK, m_.get_class_object(e.clsid(), IID_IClassFactory, f.ReleaseAndGetVoidAddressOf())) << e.name();
  }
  // Aggregation asks for IUnknown and gets the inner object.
  ComPtr<IUnknown> inner;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, a->CreateInstance(reinterpret_cast<IUnknown*>(a.Get()), IID_ITavoPL2Timestamp,
                                                     inner.ReleaseAndGetVoidAddressOf()));
}

TEST_F(ModuleTest, RegistrationWritesAndRemovesTheClassKeys) {
  ASSERT_EQ(S_OK, m_.register_server());
  const std::string mgr = "HKCR\\CLSID\\{bc172a2a-ad09-404c-895b-d04994f10b88}";
  EXPECT_EQ("TavoPeltaPlaylist2Mgr Class", Value("HKCR\\TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr.1"));
  EXPECT_EQ("{bc172a2a-ad09-404c-895b-d04994f10b88}",
            Value("HKCR\\TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr.1\\CLSID"));
  EXPECT_EQ("TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr.1", Value("HKCR\\TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr\\CurVer"));
  EXPECT_EQ("TavoPeltaPlaylist2Mgr Class", Value(mgr));
  EXPECT_EQ("TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr.1", Value(mgr + "\\ProgID"));
  EXPECT_EQ("TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr", Value(mgr + "\\VersionIndependentProgID"));
  EXPECT_TRUE(Exists("HKEY_CLASSES_ROOT\\CLSID\\{bc172a2a-ad09-404c-895b-d04994f10b88}\\Programmable"));
  Dl_info info{};
  ::dladdr(reinterpret_cast<void*>(m_.register_server), &info);
  EXPECT_EQ(std::string(info.dli_fname), Value(mgr + "\\InprocServer32"));
  EXPECT_EQ("Apartment", Value(mgr + "\\InprocServer32", "ThreadingModel"));
  EXPECT_EQ("{8550a973-36e2-4226-9ab3-50930f2f0a19}", Value(mgr + "\\TypeLib"));
  EXPECT_EQ("TavoPL2Timestamp Class", Value("HKCR\\TavoPlaylist.TavoPL2Timestamp.1"));
  EXPECT_EQ("TavoPlaylist.TavoPL2Timestamp", Value("HKCR\\CLSID\\{ccfae542-320c-4f47-a59d-c9efcc0a7658}\\VersionIndependentProgID"));
  EXPECT_EQ("TavoPlaylist(Pelta) 2.0 Type Library", Value("HKCR\\TypeLib\\{8550a973-36e2-4226-9ab3-50930f2f0a19}\\1.0"));
  EXPECT_EQ("ITavoPL2Timestamp", Value("HKCR\\Interface\\{70498f3f-91d7-4f9d-b2af-f5d1b7c8f3cb}"));
  int registered = 0;
  for (const ClassEntry& e : ClassTable()) {
    const bool has_key = Exists("HKEY_CLASSES_ROOT\\CLSID\\" + FormatGuid(e.clsid()));
    EXPECT_EQ(e.script != 0, has_key) << e.name();
    registered += has_key;
  }
  EXPECT_EQ(13, registered);  // scripts 101, 102, 103, 113 to 119, 146, 193, 201
  // Keys keep the case the scripts write them in: lower case, but for the
  // maintenance class, whose script has always written its own mixed case.
  std::ifstream file(registry_);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(std::string::npos, text.str().find("[HKEY_CLASSES_ROOT\\CLSID\\{bc172a2a-ad09-404c-895b-d04994f10b88}]"));
  EXPECT_NE(std::string::npos, text.str().find("[HKEY_CLASSES_ROOT\\CLSID\\{EE7EAFC9-CFA9-4b35-A22A-8D336FDEF2F7}]"));

  // Created by ProgID through the registry, the way a host without our headers would.
  CLSID clsid;
  ASSERT_EQ(S_OK, CLSIDFromProgID(u"TavoPlaylist.TavoPL2Timestamp", &clsid));
  ComPtr<ITavoPL2Timestamp> stamp;
  EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITavoPL2Timestamp,
                                   stamp.ReleaseAndGetVoidAddressOf()));
  stamp = nullptr;

  ASSERT_EQ(S_OK, m_.unregister_server());
  EXPECT_TRUE(Exists("HKEY_CLASSES_ROOT\\CLSID"));
  EXPECT_TRUE(Exists("HKEY_CLASSES_ROOT\\TypeLib"));
  for (const ClassEntry& e : ClassTable())
    EXPECT_FALSE(Exists("HKEY_CLASSES_ROOT\\CLSID\\" + FormatGuid(e.clsid()))) << e.name();
  EXPECT_FALSE(Exists("HKEY_CLASSES_ROOT\\TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr.1"));
  EXPECT_FALSE(Exists("HKEY_CLASSES_ROOT\\TavoPlaylist.TavoPL2Timestamp"));
  EXPECT_FALSE(Exists("HKEY_CLASSES_ROOT\\TypeLib\\{8550a973-36e2-4226-9ab3-50930f2f0a19}"));
  EXPECT_FALSE(Exists("HKEY_CLASSES_ROOT\\Interface\\{70498f3f-91d7-4f9d-b2af-f5d1b7c8f3cb}"));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITavoPL2Timestamp,
                                                  stamp.ReleaseAndGetVoidAddressOf()));
}

// The public interfaces by name, from the description.
struct NamedInterface {
  const char* name;
  const IID* iid;
};
#define TAVO_DESCRIBED(I) {#I, &IID_##I},
constexpr NamedInterface kDescribedInterfaces[] = {
#include "platform/com/description_table_begin.h"
#include "tavo/interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

// The classes whose default interface is not "I" and the class name.
std::string DefaultInterfaceOf(std::string_view class_name) {
  if (class_name == "TavoPeltaPlaylist2Mgr") return "ITavoPlaylist2Mgr";
  return "I" + std::string(class_name);
}

// Every class the table can create makes an object of its default
// interface, also through the loaded module.
TEST_F(ModuleTest, EveryCreatableClassMakesAnObjectOfItsInterface) {
  int creatable = 0;
  for (const ClassEntry& e : ClassTable()) {
    if (e.create == nullptr) continue;
    ++creatable;
    const std::string interface_name = DefaultInterfaceOf(e.name());
    const NamedInterface* wanted = nullptr;
    for (const NamedInterface& i : kDescribedInterfaces) {
      if (interface_name == i.name) wanted = &i;
    }
    ASSERT_NE(nullptr, wanted) << e.name();
    ComPtr<IDispatch> in_process, loaded;
    EXPECT_EQ(S_OK, e.create(nullptr, *wanted->iid, in_process.ReleaseAndGetVoidAddressOf())) << e.name();
    EXPECT_EQ(S_OK, m_.get_object(e.clsid(), *wanted->iid, loaded.ReleaseAndGetVoidAddressOf())) << e.name();
  }
  // The timestamp, the seven generator classes, the descriptions, the ten
  // descriptor list classes, the manager, the maintenance object, the result
  // list and result, the classic criteria, the search filter.
  EXPECT_EQ(25, creatable);
}

}  // namespace
}  // namespace tavo
