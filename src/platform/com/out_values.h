// Filling the [out] parameters of automation members: the one set of
// helpers every class uses.
//
// Contract of each: a null `out` gives E_POINTER and nothing else happens;
// otherwise *out is written (a value, a new string the caller frees, or an
// object with one reference for the caller) and the result is S_OK, or
// E_OUTOFMEMORY when the string or object could not be made, with *out null.
#ifndef TAVO_PLATFORM_COM_OUT_VALUES_H_
#define TAVO_PLATFORM_COM_OUT_VALUES_H_

#include <string_view>

#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"

namespace tavo {

// A plain value (numbers, booleans, enumerations), converted to T.
template <class T, class V>
HRESULT StoreOut(T* out, V value) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

// A new automation string holding UTF-8 `text`.
inline HRESULT StoreText(BSTR* out, std::string_view text) {
  if (out == nullptr) return E_POINTER;
  *out = BstrFromUtf8(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

// A new automation string holding UTF-16 `text`.
inline HRESULT StoreText(BSTR* out, std::u16string_view text) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// `object` as interface I with a new reference; a null object is taken for
// one that could not be made.
template <class I, class T>
HRESULT StoreObject(I** out, const ComPtr<T>& object) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<I*>(object.Copy());
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_OUT_VALUES_H_
