// One-dimensional safe arrays.
//
// The descriptor is preceded by 16 bytes whose last 4 hold the element
// VARTYPE (FADF_HAVEVARTYPE), as hosts expect; the elements live in a block
// of their own. BSTR, VARIANT and interface elements are owned by the array.
#include <cstdlib>
#include <cstring>
#include <new>

#include "tavo/automation.h"

namespace {

constexpr HRESULT DISP_E_ARRAYISLOCKED_ = TAVO_HR(0x8002000D);
constexpr size_t kPrefix = 16;

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_DATE: return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

VARTYPE& VarTypeOf(SAFEARRAY* a) {
  return *reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(a) - sizeof(uint32_t));
}

char* ElementAt(SAFEARRAY* a, const LONG* index, HRESULT* hr) {
  *hr = S_OK;
  if (a == nullptr || index == nullptr) return *hr = E_INVALIDARG, nullptr;
  const int64_t i = static_cast<int64_t>(*index) - a->rgsabound[0].lLbound;
  if (i < 0 || i >= a->rgsabound[0].cElements) return *hr = DISP_E_BADINDEX, nullptr;
  return static_cast<char*>(a->pvData) + i * a->cbElements;
}

void ClearElement(VARTYPE vt, void* p) {
  switch (vt) {
    case VT_BSTR: SysFreeString(*static_cast<BSTR*>(p)); *static_cast<BSTR*>(p) = nullptr; break;
    case VT_VARIANT: VariantClear(static_cast<VARIANT*>(p)); break;
    case VT_DISPATCH: case VT_UNKNOWN: {
      IUnknown*& unk = *static_cast<IUnknown**>(p);
      if (unk) unk->Release();
      unk = nullptr;
      break;
    }
    default: break;
  }
}

// Copies one element value in: a new string, a new reference, a deep variant copy.
HRESULT CopyElement(VARTYPE vt, void* dest, const void* src, ULONG size) {
  switch (vt) {
    case VT_BSTR: {
      BSTR s = *static_cast<const BSTR*>(src);
      // By bytes: a string made by SysAllocStringByteLen may have an odd length.
      BSTR copy = s ? SysAllocStringByteLen(reinterpret_cast<const char*>(s), SysStringByteLen(s)) : nullptr;
      if (s && !copy) return E_OUTOFMEMORY;
      *static_cast<BSTR*>(dest) = copy;
      return S_OK;
    }
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(dest));
      return VariantCopy(static_cast<VARIANT*>(dest), static_cast<const VARIANT*>(src));
    case VT_DISPATCH: case VT_UNKNOWN: {
      IUnknown* unk = *static_cast<IUnknown* const*>(src);
      if (unk) unk->AddRef();
      *static_cast<IUnknown**>(dest) = unk;
      return S_OK;
    }
    default:
      std::memcpy(dest, src, size);
      return S_OK;
  }
}

}  // namespace

TAVO_AUTO_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG count) {
  const ULONG size = ElementSize(vt);
  if (size == 0 || count > 0x7FFFFFFF / size) return nullptr;
  // Both bounds must be LONGs: the upper one is lower + count - 1.
  const int64_t upper_bound = int64_t{lower_bound} + count - 1;
  if (upper_bound > INT32_MAX || upper_bound < INT32_MIN) return nullptr;
  char* block = static_cast<char*>(std::calloc(1, kPrefix + sizeof(SAFEARRAY)));
  if (block == nullptr) return nullptr;
  auto* a = reinterpret_cast<SAFEARRAY*>(block + kPrefix);
  a->pvData = std::calloc(count ? count : 1, size);
  if (a->pvData == nullptr) {
    std::free(block);
    return nullptr;
  }
  a->cDims = 1;
  a->cbElements = size;
  a->rgsabound[0].cElements = count;
  a->rgsabound[0].lLbound = lower_bound;
  a->fFeatures = FADF_HAVEVARTYPE;
  if (vt == VT_BSTR) a->fFeatures |= FADF_BSTR;
  if (vt == VT_VARIANT) a->fFeatures |= FADF_VARIANT;
  if (vt == VT_UNKNOWN) a->fFeatures |= FADF_UNKNOWN;
  if (vt == VT_DISPATCH) a->fFeatures |= FADF_DISPATCH;
  VarTypeOf(a) = vt;
  return a;
}

TAVO_AUTO_API HRESULT SafeArrayDestroy(SAFEARRAY* a) {
  if (a == nullptr) return S_OK;
  if (a->cLocks > 0) return DISP_E_ARRAYISLOCKED_;
  const VARTYPE vt = VarTypeOf(a);
  for (ULONG i = 0; i < a->rgsabound[0].cElements; ++i)
    ClearElement(vt, static_cast<char*>(a->pvData) + static_cast<size_t>(i) * a->cbElements);
  std::free(a->pvData);
  std::free(reinterpret_cast<char*>(a) - kPrefix);
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayCopy(SAFEARRAY* src, SAFEARRAY** out) {
  if (src == nullptr || out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  const VARTYPE vt = VarTypeOf(src);
  SAFEARRAY* copy = SafeArrayCreateVector(vt, src->rgsabound[0].lLbound, src->rgsabound[0].cElements);
  if (copy == nullptr) return E_OUTOFMEMORY;
  for (ULONG i = 0; i < src->rgsabound[0].cElements; ++i) {
    const size_t off = static_cast<size_t>(i) * src->cbElements;
    const HRESULT hr = CopyElement(vt, static_cast<char*>(copy->pvData) + off,
                                   static_cast<char*>(src->pvData) + off, src->cbElements);
    if (FAILED(hr)) {
      SafeArrayDestroy(copy);
      return hr;
    }
  }
  *out = copy;
  return S_OK;
}

TAVO_AUTO_API UINT SafeArrayGetDim(SAFEARRAY* a) { return a ? a->cDims : 0; }
TAVO_AUTO_API UINT SafeArrayGetElemsize(SAFEARRAY* a) { return a ? a->cbElements : 0; }

TAVO_AUTO_API HRESULT SafeArrayGetVartype(SAFEARRAY* a, VARTYPE* vt) {
  if (a == nullptr || vt == nullptr) return E_INVALIDARG;
  *vt = VarTypeOf(a);
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayGetLBound(SAFEARRAY* a, UINT dim, LONG* lower) {
  if (a == nullptr || lower == nullptr) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *lower = a->rgsabound[0].lLbound;
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayGetUBound(SAFEARRAY* a, UINT dim, LONG* upper) {
  if (a == nullptr || upper == nullptr) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *upper = static_cast<LONG>(a->rgsabound[0].lLbound + static_cast<int64_t>(a->rgsabound[0].cElements) - 1);
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayGetElement(SAFEARRAY* a, const LONG* index, void* out) {
  HRESULT hr;
  char* p = ElementAt(a, index, &hr);
  if (p == nullptr) return hr;
  if (out == nullptr) return E_INVALIDARG;
  return CopyElement(VarTypeOf(a), out, p, a->cbElements);
}

TAVO_AUTO_API HRESULT SafeArrayPutElement(SAFEARRAY* a, const LONG* index, const void* value) {
  HRESULT hr;
  char* p = ElementAt(a, index, &hr);
  if (p == nullptr) return hr;
  const VARTYPE vt = VarTypeOf(a);
  // Interfaces and strings are passed by value, not by address.
  const void* src = value;
  if (vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN) src = &value;
  char fresh[sizeof(VARIANT)];
  hr = CopyElement(vt, fresh, src, a->cbElements);
  if (FAILED(hr)) return hr;
  ClearElement(vt, p);
  std::memcpy(p, fresh, a->cbElements);
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayLock(SAFEARRAY* a) {
  if (a == nullptr) return E_INVALIDARG;
  ++a->cLocks;
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayUnlock(SAFEARRAY* a) {
  if (a == nullptr || a->cLocks == 0) return E_UNEXPECTED;
  --a->cLocks;
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayAccessData(SAFEARRAY* a, void** data) {
  if (a == nullptr || data == nullptr) return E_INVALIDARG;
  ++a->cLocks;
  *data = a->pvData;
  return S_OK;
}

TAVO_AUTO_API HRESULT SafeArrayUnaccessData(SAFEARRAY* a) { return SafeArrayUnlock(a); }
