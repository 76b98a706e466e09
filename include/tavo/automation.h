/* The automation runtime as a host sees it: the binary types of the component
 * object model (HRESULT, GUID, BSTR, VARIANT, SAFEARRAY, DISPPARAMS), the
 * standard interfaces, and the C functions exported by libTavoAuto.so.
 *
 * Layouts are those a C host written for the component object model expects on
 * a 64-bit target: LONG is 32 bits, VARIANT_BOOL 16 bits (-1 is true), OLECHAR
 * is a UTF-16 code unit, BSTR points at the characters of a block that keeps a
 * 4-byte byte length in front of them and a NUL after them, VARIANT is 24 bytes.
 *
 * Usable from C (interfaces are structs with an lpVtbl pointer) and from C++
 * (interfaces are abstract structs with the same vtable layout: no virtual
 * destructors, single inheritance). */
#ifndef TAVO_AUTOMATION_H_
#define TAVO_AUTOMATION_H_

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef __cplusplus
#define TAVO_EXTERN_C extern "C"
#define TAVO_EXTERN_C_BEGIN extern "C" {
#define TAVO_EXTERN_C_END }
#else
#define TAVO_EXTERN_C extern
#define TAVO_EXTERN_C_BEGIN
#define TAVO_EXTERN_C_END
#endif

#define TAVO_AUTO_API TAVO_EXTERN_C __attribute__((visibility("default")))
#define STDMETHODCALLTYPE
#define STDAPI TAVO_EXTERN_C HRESULT

/* ---- Scalar types ------------------------------------------------------ */
typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef uint8_t BYTE;
typedef char CHAR;
typedef int INT;
typedef unsigned int UINT;
typedef float FLOAT;
typedef double DOUBLE;
typedef double DATE;
#ifdef __cplusplus
/* A type of its own in C++, so that dispatch can tell it from SHORT. */
enum VARIANT_BOOL : int16_t {};
#else
typedef int16_t VARIANT_BOOL;
#endif
typedef LONG DISPID;
typedef DWORD LCID;
typedef uint16_t VARTYPE;
typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef void* HMODULE;
typedef void* HGLOBAL;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

/* ---- GUID -------------------------------------------------------------- */
typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
#ifdef __cplusplus
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
inline bool operator==(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         a.Data4[0] == b.Data4[0] && a.Data4[1] == b.Data4[1] && a.Data4[2] == b.Data4[2] &&
         a.Data4[3] == b.Data4[3] && a.Data4[4] == b.Data4[4] && a.Data4[5] == b.Data4[5] &&
         a.Data4[6] == b.Data4[6] && a.Data4[7] == b.Data4[7];
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
#define TAVO_GUID_CONST inline constexpr
#else
typedef const GUID* REFGUID;
typedef const IID* REFIID;
typedef const CLSID* REFCLSID;
#define TAVO_GUID_CONST static const
#endif
/* TAVO_DEFINE_GUID(IID_IFoo, 0x..., 0x..., 0x..., b0..b7) */
#define TAVO_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  TAVO_GUID_CONST GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

/* ---- Status codes ------------------------------------------------------ */
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define TAVO_HR(x) ((HRESULT)(uint32_t)(x))
#define S_OK TAVO_HR(0)
#define S_FALSE TAVO_HR(1)
#define E_NOTIMPL TAVO_HR(0x80004001)
#define E_NOINTERFACE TAVO_HR(0x80004002)
#define E_POINTER TAVO_HR(0x80004003)
#define E_ABORT TAVO_HR(0x80004004)
#define E_FAIL TAVO_HR(0x80004005)
#define E_UNEXPECTED TAVO_HR(0x8000FFFF)
#define E_ACCESSDENIED TAVO_HR(0x80070005)
#define E_HANDLE TAVO_HR(0x80070006)
#define E_OUTOFMEMORY TAVO_HR(0x8007000E)
#define E_INVALIDARG TAVO_HR(0x80070057)
#define DISP_E_UNKNOWNINTERFACE TAVO_HR(0x80020001)
#define DISP_E_MEMBERNOTFOUND TAVO_HR(0x80020003)
#define DISP_E_PARAMNOTFOUND TAVO_HR(0x80020004)
#define DISP_E_TYPEMISMATCH TAVO_HR(0x80020005)
#define DISP_E_UNKNOWNNAME TAVO_HR(0x80020006)
#define DISP_E_NONAMEDARGS TAVO_HR(0x80020007)
#define DISP_E_BADVARTYPE TAVO_HR(0x80020008)
#define DISP_E_EXCEPTION TAVO_HR(0x80020009)
#define DISP_E_OVERFLOW TAVO_HR(0x8002000A)
#define DISP_E_BADINDEX TAVO_HR(0x8002000B)
#define DISP_E_BADPARAMCOUNT TAVO_HR(0x8002000E)
#define CLASS_E_NOAGGREGATION TAVO_HR(0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE TAVO_HR(0x80040111)
#define REGDB_E_READREGDB TAVO_HR(0x80040150)
#define REGDB_E_WRITEREGDB TAVO_HR(0x80040151)
#define REGDB_E_KEYMISSING TAVO_HR(0x80040152)
#define REGDB_E_CLASSNOTREG TAVO_HR(0x80040154)
#define CONNECT_E_NOCONNECTION TAVO_HR(0x80040200)
#define CONNECT_E_ADVISELIMIT TAVO_HR(0x80040201)
#define CONNECT_E_CANNOTCONNECT TAVO_HR(0x80040202)
#define SELFREG_E_TYPELIB TAVO_HR(0x80040200)
#define SELFREG_E_CLASS TAVO_HR(0x80040201)
#define CO_E_CLASSSTRING TAVO_HR(0x800401F3)
#define CO_E_DLLNOTFOUND TAVO_HR(0x800401F8)
#define CO_E_ERRORINDLL TAVO_HR(0x800401F9)

/* ---- VARIANT, SAFEARRAY, DISPPARAMS ------------------------------------ */
enum VARENUM {
  VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_CY = 6,
  VT_DATE = 7, VT_BSTR = 8, VT_DISPATCH = 9, VT_ERROR = 10, VT_BOOL = 11,
  VT_VARIANT = 12, VT_UNKNOWN = 13, VT_DECIMAL = 14, VT_I1 = 16, VT_UI1 = 17,
  VT_UI2 = 18, VT_UI4 = 19, VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23,
  VT_VECTOR = 0x1000, VT_ARRAY = 0x2000, VT_BYREF = 0x4000, VT_TYPEMASK = 0xFFF
};

typedef struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
} SAFEARRAYBOUND;

typedef struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

#define FADF_BSTR 0x0100
#define FADF_UNKNOWN 0x0200
#define FADF_DISPATCH 0x0400
#define FADF_VARIANT 0x0800
#define FADF_HAVEVARTYPE 0x0080

#ifdef __cplusplus
struct IUnknown;
struct IDispatch;
#else
typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
#endif

typedef struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    struct VARIANT* pvarVal;
    void* byref;
    CHAR cVal;
    USHORT uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    INT intVal;
    UINT uintVal;
    ULONG* pulVal;
    struct {
      void* pvRecord;
      void* pRecInfo;
    } brecVal;
  };
} VARIANT;
typedef VARIANT VARIANTARG;

typedef struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

typedef struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(struct EXCEPINFO*);
  SCODE scode;
} EXCEPINFO;

typedef struct CONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
} CONNECTDATA;

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8
#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define DISPID_NEWENUM (-4)
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define GMEM_FIXED 0x0000
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

/* ---- Interfaces -------------------------------------------------------- */
#include "tavo/interface_macros.h"

TAVO_DEFINE_GUID(IID_NULL, 0x00000000, 0x0000, 0x0000, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00);

/* IUnknown is the root: declared by hand, since its slots also return ULONG. */
TAVO_DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
#ifdef __cplusplus
struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
template <>
struct tavo::InterfaceTraits<IUnknown> {
  using Base = void;
  static constexpr const IID& iid = IID_IUnknown;
  static constexpr const char* name = "IUnknown";
  template <class Visitor>
  static void VisitOwn(Visitor&) {}
};
#else
typedef struct IUnknownVtbl {
  TAVO_C_IUNKNOWN_SLOTS(IUnknown)
} IUnknownVtbl;
struct IUnknown {
  const struct IUnknownVtbl* lpVtbl;
};
#endif

#include "tavo/standard_interfaces.def"

/* ---- Runtime functions (libTavoAuto.so) -------------------------------- */
TAVO_EXTERN_C_BEGIN

/* Automation strings. A null BSTR is an empty string everywhere. */
TAVO_AUTO_API BSTR SysAllocString(const OLECHAR* s);
TAVO_AUTO_API BSTR SysAllocStringLen(const OLECHAR* s, UINT len);
TAVO_AUTO_API BSTR SysAllocStringByteLen(const char* s, UINT bytes);
TAVO_AUTO_API int SysReAllocString(BSTR* target, const OLECHAR* s);
TAVO_AUTO_API void SysFreeString(BSTR s);
TAVO_AUTO_API UINT SysStringLen(BSTR s);
TAVO_AUTO_API UINT SysStringByteLen(BSTR s);

/* Variants. */
TAVO_AUTO_API void VariantInit(VARIANT* v);
TAVO_AUTO_API HRESULT VariantClear(VARIANT* v);
TAVO_AUTO_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
TAVO_AUTO_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

/* One-dimensional safe arrays. */
TAVO_AUTO_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG count);
TAVO_AUTO_API HRESULT SafeArrayDestroy(SAFEARRAY* array);
TAVO_AUTO_API HRESULT SafeArrayCopy(SAFEARRAY* src, SAFEARRAY** out);
TAVO_AUTO_API UINT SafeArrayGetDim(SAFEARRAY* array);
TAVO_AUTO_API UINT SafeArrayGetElemsize(SAFEARRAY* array);
TAVO_AUTO_API HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
TAVO_AUTO_API HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower);
TAVO_AUTO_API HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper);
/* Element access copies: a BSTR comes out as a new string, an interface with a reference. */
TAVO_AUTO_API HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* index, void* out);
TAVO_AUTO_API HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* index, const void* value);
TAVO_AUTO_API HRESULT SafeArrayLock(SAFEARRAY* array);
TAVO_AUTO_API HRESULT SafeArrayUnlock(SAFEARRAY* array);
TAVO_AUTO_API HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
TAVO_AUTO_API HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

/* GUIDs. Text form "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", either case. */
TAVO_AUTO_API int IsEqualGUID(REFGUID a, REFGUID b);
TAVO_AUTO_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int capacity);
TAVO_AUTO_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out);
TAVO_AUTO_API HRESULT IIDFromString(LPCOLESTR text, IID* out);
TAVO_AUTO_API HRESULT CLSIDFromProgID(LPCOLESTR progid, CLSID* out);

/* Global memory blocks, for documents handed across module boundaries. */
TAVO_AUTO_API HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
TAVO_AUTO_API HGLOBAL GlobalFree(HGLOBAL block);
TAVO_AUTO_API size_t GlobalSize(HGLOBAL block);

/* Error information of the calling thread. SetErrorInfo takes a reference;
 * GetErrorInfo hands the caller the stored object and clears the slot. */
#ifdef __cplusplus
struct IErrorInfo;
struct ICreateErrorInfo;
#endif
TAVO_AUTO_API HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
TAVO_AUTO_API HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);
TAVO_AUTO_API HRESULT CreateErrorInfo(ICreateErrorInfo** out);

/* Object creation by class identifier: finds InprocServer32 of the class in
 * the registry, loads that module and asks its DllGetClassObject. */
TAVO_AUTO_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid, void** out);
TAVO_AUTO_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);

TAVO_EXTERN_C_END

#endif /* TAVO_AUTOMATION_H_ */
