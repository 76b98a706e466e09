// The exports every component module has, written once for the component
// and the control: DllCanUnloadNow, DllGetClassObject, DllRegisterServer and
// DllUnregisterServer (module_exports.cc, the object library
// tavo_module_exports that each shared module links).
//
// Each export runs its body inside the guard (guard.h). The module's state
// lives from load to unload: the class objects, made on first request and
// released at unload, and the lock count of live objects and server locks.
// DllGetClassObject answers E_INVALIDARG before the module is set up and
// once it is being torn down.
#ifndef TAVO_PLATFORM_COM_MODULE_EXPORTS_H_
#define TAVO_PLATFORM_COM_MODULE_EXPORTS_H_

#include "platform/com/server.h"

#define TAVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace tavo {

// Defined once by each module (beside its export map): its class table and
// type library.
const ServedModule& ThisServedModule();

}  // namespace tavo

TAVO_MODULE_EXPORT HRESULT DllCanUnloadNow(void);
TAVO_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
TAVO_MODULE_EXPORT HRESULT DllRegisterServer(void);
TAVO_MODULE_EXPORT HRESULT DllUnregisterServer(void);

#endif  // TAVO_PLATFORM_COM_MODULE_EXPORTS_H_
