// Stores a plain value through an [out] pointer of an automation member.
#ifndef TAVO_GENERATION_OUT_VALUE_H_
#define TAVO_GENERATION_OUT_VALUE_H_

#include "tavo/automation.h"

namespace tavo {

// E_POINTER when the caller gave no pointer.
template <class T, class V>
HRESULT StoreOut(T* out, V value) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

}  // namespace tavo

#endif  // TAVO_GENERATION_OUT_VALUE_H_
