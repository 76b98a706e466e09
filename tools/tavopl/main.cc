// tavopl: a host of the component, for people and scripts.
//
//   tavopl demo [--registry FILE]   register the module into a fresh registry,
//                                   create objects by ProgID, print the module
//                                   version and its class table
//   tavopl register | unregister    (un)register the module in the registry
//                                   named by TAVO_REGISTRY or the per-user one
//
// The module is found through TAVO_MODULE, else the build's own copy.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "module/class_table.h"
#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"
#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

namespace {

using GetVersionFn = HRESULT (*)(DLLVERSIONINFO*);
using RegisterFn = HRESULT (*)();
using GetObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);

struct Module {
  void* handle = nullptr;
  GetVersionFn get_version = nullptr;
  RegisterFn register_server = nullptr;
  RegisterFn unregister_server = nullptr;
  GetObjectFn get_object = nullptr;
};

std::string ModuleFile() {
  if (const char* path = std::getenv("TAVO_MODULE"); path && *path) return path;
  return TAVO_MODULE_FILE;
}

bool Load(Module* m) {
  const std::string file = ModuleFile();
  m->handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m->handle == nullptr) {
    std::fprintf(stderr, "tavopl: cannot load %s: %s\n", file.c_str(), ::dlerror());
    return false;
  }
  m->get_version = reinterpret_cast<GetVersionFn>(::dlsym(m->handle, "DllGetVersion"));
  m->register_server = reinterpret_cast<RegisterFn>(::dlsym(m->handle, "DllRegisterServer"));
  m->unregister_server = reinterpret_cast<RegisterFn>(::dlsym(m->handle, "DllUnregisterServer"));
  m->get_object = reinterpret_cast<GetObjectFn>(::dlsym(m->handle, "DllGetObject"));
  return m->get_version && m->register_server && m->unregister_server && m->get_object;
}

int Fail(const char* what, HRESULT hr) {
  std::fprintf(stderr, "tavopl: %s failed: 0x%08X\n", what, static_cast<unsigned>(hr));
  return 1;
}

// Creates a timestamp the way a host that knows only the ProgID would.
int ShowTimestamp() {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(u"TavoPlaylist.TavoPL2Timestamp", &clsid);
  if (FAILED(hr)) return Fail("CLSIDFromProgID", hr);
  tavo::ComPtr<ITavoPL2Timestamp> stamp;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITavoPL2Timestamp,
                        stamp.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return Fail("CoCreateInstance(TavoPlaylist.TavoPL2Timestamp)", hr);
  stamp->SetToNow();
  BSTR text = nullptr;
  stamp->GetAsString(&text);
  std::printf("TavoPlaylist.TavoPL2Timestamp %s: now (UTC) is %s\n", tavo::FormatGuid(clsid, true).c_str(),
              tavo::BstrToUtf8(text).c_str());
  SysFreeString(text);
  return 0;
}

void ShowClassTable(const Module& m) {
  std::printf("\n%-3s %-26s %-40s %-6s %-44s %s\n", "#", "class", "CLSID", "script", "ProgID (registry)",
              "creatable");
  int n = 0;
  for (const tavo::ClassEntry& e : tavo::ClassTable()) {
    const std::string clsid = tavo::FormatGuid(*e.clsid, true);
    const auto progid = tavo::RegistryQuery("HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\ProgID");
    IUnknown* object = nullptr;
    const HRESULT hr = m.get_object(*e.clsid, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (object) object->Release();
    char status[32];
    std::snprintf(status, sizeof status, SUCCEEDED(hr) ? "yes" : "no (0x%08X)", static_cast<unsigned>(hr));
    std::printf("%-3d %-26.*s %-40s %-6d %-44s %s\n", ++n, static_cast<int>(e.name.size()), e.name.data(),
                clsid.c_str(), e.script, progid.value_or("-").c_str(), status);
  }
}

int Demo(std::string registry) {
  if (registry.empty()) {
    registry = (std::filesystem::temp_directory_path() / ("tavopl-demo-" + std::to_string(::getpid()) + ".reg"))
                   .string();
    std::filesystem::remove(registry);
  }
  ::setenv("TAVO_REGISTRY", registry.c_str(), 1);
  Module m;
  if (!Load(&m)) return 1;
  DLLVERSIONINFO version{sizeof(DLLVERSIONINFO), 0, 0, 0, 0};
  m.get_version(&version);
  std::printf("module   %s\nversion  %u.%u.%u (platform %u)\nregistry %s\n", ModuleFile().c_str(),
              version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, version.dwPlatformID,
              registry.c_str());
  if (HRESULT hr = m.register_server(); FAILED(hr)) return Fail("DllRegisterServer", hr);
  std::printf("registered into a fresh registry\n\n");
  if (int rc = ShowTimestamp()) return rc;
  ShowClassTable(m);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "demo") {
    std::string registry;
    if (argc > 3 && std::string(argv[2]) == "--registry") registry = argv[3];
    return Demo(registry);
  }
  if (command == "register" || command == "unregister") {
    Module m;
    if (!Load(&m)) return 1;
    const HRESULT hr = command == "register" ? m.register_server() : m.unregister_server();
    if (FAILED(hr)) return Fail(command.c_str(), hr);
    std::printf("%sed %s in %s\n", command.c_str(), ModuleFile().c_str(), tavo::Registry::DefaultPath().c_str());
    return 0;
  }
  std::fprintf(stderr, "usage: tavopl demo [--registry FILE] | register | unregister\n");
  return 2;
}
