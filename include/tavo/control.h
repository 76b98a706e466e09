/* The recognition-service control library "tavocontrol" (libTAVOControl.so):
 * its interfaces, class identifiers, status codes and exports. The library
 * identifier LIBID_TAVOControl lives in tavo/classes.h with the component's. */
#ifndef TAVO_CONTROL_H_
#define TAVO_CONTROL_H_

#include "tavo/automation.h"
#include "tavo/classes.h"
#include "tavo/control_interfaces.def"

/* Classes. The control is registered as "TAVOControl.TAVOControl"; the tag
 * readers and the disc are created by hosts and by the manager. */
#define TAVO_CLASS(name, ...) TAVO_DEFINE_GUID(CLSID_##name, __VA_ARGS__);
#include "tavo/control_classes.def"
#undef TAVO_CLASS

/* The service object's kind for GetService. */
#define TAVOCTL_SERVICE_KIND 4

/* Reader open modes. */
#define TAVOCTL_OPEN_READ 1
#define TAVOCTL_OPEN_READWRITE 2

/* Where files carry the tag identifier: in MP3 files an ID3v2 user text
 * frame (TXXX) with this description, in WMA files this ASF attribute. */
#define TAVOCTL_TAGID_ID3_DESCRIPTION "TAVO_TAGID"
#define TAVOCTL_TAGID_ASF_ATTRIBUTE "TAVO/TagID"

/* Status codes of the control (interface facility). */
#define TAVOCTL_E_NOT_OPEN TAVO_HR(0x80040A01)       /* the reader has no file open */
#define TAVOCTL_E_NO_VALUE TAVO_HR(0x80040A02)       /* the tag, disc or recording has no such value */
#define TAVOCTL_E_UNKNOWN_TAGID TAVO_HR(0x80040A03)  /* the catalog has no recording with this identifier */
#define TAVOCTL_E_CATALOG TAVO_HR(0x80040A04)        /* catalog directory or document missing or malformed */
#define TAVOCTL_E_FILE TAVO_HR(0x80040A05)           /* the file is missing, unreadable or not of the format */
#define TAVOCTL_E_READ_ONLY TAVO_HR(0x80040A06)      /* Save on a reader opened for reading only */

/* Exports of libTAVOControl.so (the same shapes as the component's). */
TAVO_EXTERN_C_BEGIN
HRESULT DllCanUnloadNow(void);
HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
HRESULT DllRegisterServer(void);
HRESULT DllUnregisterServer(void);
TAVO_EXTERN_C_END

#endif /* TAVO_CONTROL_H_ */
