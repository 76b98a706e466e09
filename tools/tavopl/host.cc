#include "host.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "paths.h"
#include "platform/automation/utf.h"

namespace tavo::tool {
namespace {

std::string FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

template <class F>
void Bind(void* handle, const char* name, F* out) {
  *out = reinterpret_cast<F>(::dlsym(handle, name));
}

}  // namespace

std::string ComponentFile() {
  return FromEnvironment("TAVO_MODULE", ModuleFile(TAVO_MODULE_NAME, TAVO_MODULE_FILE).c_str());
}
std::string ControlFile() {
  return FromEnvironment("TAVO_CONTROL", ModuleFile(TAVO_CONTROL_NAME, TAVO_CONTROL_FILE).c_str());
}

bool Module::Load(const std::string& path) {
  file = path;
  handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "tavopl: cannot load %s: %s\n", path.c_str(), ::dlerror());
    return false;
  }
  Bind(handle, "DllGetVersion", &get_version);
  Bind(handle, "DllRegisterServer", &register_server);
  Bind(handle, "DllUnregisterServer", &unregister_server);
  Bind(handle, "DllGetObject", &get_object);
  if (register_server == nullptr || unregister_server == nullptr) {
    std::fprintf(stderr, "tavopl: %s is no component module\n", path.c_str());
    return false;
  }
  return true;
}

Text::Text(const std::string& utf8) : s_(BstrFromUtf8(utf8)) {}

std::string Text::utf8() const { return BstrToUtf8(s_); }

std::string GuidText(const GUID& guid) {
  OLECHAR text[40];
  const int n = StringFromGUID2(guid, text, 40);
  std::string utf8 = n > 1 ? Utf16ToUtf8(std::u16string_view(text, n - 1)) : std::string();
  for (char& c : utf8) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return utf8;
}

int Fail(const std::string& what, HRESULT hr) {
  std::fprintf(stderr, "tavopl: %s failed: 0x%08X\n", what.c_str(), static_cast<unsigned>(hr));
  return 1;
}

}  // namespace tavo::tool
