// The seven exports of libTavoPlaylist2Pelta.so: the four every module has
// (platform/com/module_exports.cc, over this module's class table) and the
// component's own DllGetVersion, DllGetObject and DllSetTavoHINST.
#include "manager/control/control_objects.h"
#include "module/class_table.h"
#include "platform/com/guard.h"
#include "platform/com/module_exports.h"

namespace tavo {
namespace {

constexpr DWORD kVersionMajor = 2, kVersionMinor = 4, kVersionBuild = 13, kVersionPlatform = 1;

}  // namespace

const ServedModule& ThisServedModule() {
  static const ServedModule kModule{ClassTable(), ComponentTypeLibrary()};
  return kModule;
}

}  // namespace tavo

TAVO_MODULE_EXPORT HRESULT DllGetVersion(DLLVERSIONINFO* info) {
  if (info == nullptr || info->cbSize < sizeof(DLLVERSIONINFO)) return E_INVALIDARG;
  *info = DLLVERSIONINFO{sizeof(DLLVERSIONINFO), tavo::kVersionMajor, tavo::kVersionMinor, tavo::kVersionBuild,
                         tavo::kVersionPlatform};
  return S_OK;
}

TAVO_MODULE_EXPORT HRESULT DllGetObject(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, iid, ppv);
  factory->Release();
  return hr;
}

TAVO_MODULE_EXPORT HRESULT DllSetTavoHINST(HMODULE control_module) {
  return tavo::RunGuarded(IID_NULL, "DllSetTavoHINST", [&] {
    tavo::SetControlModule(control_module);
    return S_OK;
  });
}
