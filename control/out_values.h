// Filling [out] parameters. Every string handed out is a new BSTR the
// caller frees; every object carries one reference for the caller.
#ifndef TAVO_CONTROL_OUT_VALUES_H_
#define TAVO_CONTROL_OUT_VALUES_H_

#include <string>
#include <string_view>

#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"
#include "tavo/control.h"

namespace tavo::control {

inline HRESULT PutString(BSTR* out, std::string_view utf8) {
  if (out == nullptr) return E_POINTER;
  *out = BstrFromUtf8(utf8);
  return *out ? S_OK : E_OUTOFMEMORY;
}

inline HRESULT PutLong(LONG* out, LONG value) {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}

// Hands out `object` as interface I with one reference.
template <class I, class T>
HRESULT PutObject(I** out, const ComPtr<T>& object) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!object) return E_OUTOFMEMORY;
  *out = static_cast<I*>(object.Get());
  (*out)->AddRef();
  return S_OK;
}

// Reserved<n> members of an interface (see TAVOCTL_RESERVED).
#define TAVOCTL_IMPLEMENT_RESERVED(T, id, kind, Method, Name, rv, ...) \
  HRESULT STDMETHODCALLTYPE Method() override { return E_NOTIMPL; }

}  // namespace tavo::control

#endif  // TAVO_CONTROL_OUT_VALUES_H_
