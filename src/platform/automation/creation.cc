// Object creation by class identifier, the way a host reaches a component it
// knows only by CLSID or ProgID: the registry names the module file under
// HKCR\CLSID\{clsid}\InprocServer32, the module is loaded with dlopen and
// its DllGetClassObject hands out the class object.
//
// Loaded modules stay loaded for the life of the process: objects of a
// module may be alive anywhere in the host, and unloading under them would
// leave dangling code pointers.
#include <dlfcn.h>

#include <mutex>
#include <unordered_map>

#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"
#include "platform/automation/utf.h"

namespace {

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);

std::mutex modules_mutex;
std::unordered_map<std::string, GetClassObjectFn>& Modules() {
  static auto* modules = new std::unordered_map<std::string, GetClassObjectFn>;
  return *modules;
}

HRESULT EntryPointOf(const std::string& path, GetClassObjectFn* out) {
  std::lock_guard<std::mutex> lock(modules_mutex);
  auto it = Modules().find(path);
  if (it != Modules().end()) return *out = it->second, S_OK;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return CO_E_DLLNOTFOUND;
  auto fn = reinterpret_cast<GetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
  if (fn == nullptr) {
    ::dlclose(handle);
    return CO_E_ERRORINDLL;
  }
  Modules().emplace(path, fn);
  *out = fn;
  return S_OK;
}

// A module's answer is not trusted: success must hand out an object, and a
// failure hands out nothing the caller could use.
HRESULT CheckedAnswer(HRESULT hr, void** out) {
  if (FAILED(hr)) return *out = nullptr, hr;
  return *out != nullptr ? hr : CO_E_ERRORINDLL;
}

}  // namespace

TAVO_AUTO_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if ((context & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)) == 0) return REGDB_E_CLASSNOTREG;
  const auto path =
      tavo::RegistryQuery("HKEY_CLASSES_ROOT\\CLSID\\" + tavo::FormatGuid(clsid, true) + "\\InprocServer32");
  if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
  GetClassObjectFn get_class_object;
  if (HRESULT hr = EntryPointOf(*path, &get_class_object); FAILED(hr)) return hr;
  return CheckedAnswer(get_class_object(clsid, iid, out), out);
}

TAVO_AUTO_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, iid, out);
  factory->Release();
  return CheckedAnswer(hr, out);
}

TAVO_AUTO_API HRESULT CLSIDFromProgID(LPCOLESTR progid, CLSID* out) {
  if (progid == nullptr || out == nullptr) return E_INVALIDARG;
  const auto text = tavo::RegistryQuery("HKEY_CLASSES_ROOT\\" + tavo::Utf16ToUtf8(progid) + "\\CLSID");
  if (!text || !tavo::ParseGuid(*text, out)) return CO_E_CLASSSTRING;
  return S_OK;
}
