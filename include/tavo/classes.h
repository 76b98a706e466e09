/* Class identifiers of the component's 25 classes, its type library, and the
 * exports of libTavoPlaylist2Pelta.so. */
#ifndef TAVO_CLASSES_H_
#define TAVO_CLASSES_H_

#include "tavo/automation.h"

TAVO_DEFINE_GUID(LIBID_TAVOPLAYLIST2LibPelta, 0x8550a973, 0x36e2, 0x4226, 0x9a, 0xb3, 0x50, 0x93, 0x0f, 0x2f, 0x0a, 0x19);
TAVO_DEFINE_GUID(LIBID_TAVOControl, 0x57c9fe41, 0x8f8c, 0x4b25, 0x85, 0x71, 0x3a, 0x26, 0x15, 0x11, 0x36, 0xaf);

#define TAVO_CLASS(name, ...) TAVO_DEFINE_GUID(CLSID_##name, __VA_ARGS__);
#include "tavo/classes.def"
#undef TAVO_CLASS

/* The version record of DllGetVersion: five 32-bit words. */
typedef struct DLLVERSIONINFO {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
} DLLVERSIONINFO;

/* Exports of libTavoPlaylist2Pelta.so. */
TAVO_EXTERN_C_BEGIN
HRESULT DllCanUnloadNow(void);
HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
HRESULT DllRegisterServer(void);
HRESULT DllUnregisterServer(void);
HRESULT DllGetVersion(DLLVERSIONINFO* info);
HRESULT DllGetObject(REFCLSID clsid, REFIID iid, void** ppv);
HRESULT DllSetTavoHINST(HMODULE control_module);
TAVO_EXTERN_C_END

#endif /* TAVO_CLASSES_H_ */
