// The answer of a manager member whose subsystem has not joined the manager
// yet: E_POINTER for a missing [out] pointer (what every member answers), an
// emptied [out] value, and E_NOTIMPL.
#ifndef TAVO_MANAGER_COM_NOT_YET_H_
#define TAVO_MANAGER_COM_NOT_YET_H_

#include "tavo/automation.h"

namespace tavo {

inline HRESULT NotYet() { return E_NOTIMPL; }

template <class T>
HRESULT NotYet(T* out) {
  if (out == nullptr) return E_POINTER;
  *out = T{};
  return E_NOTIMPL;
}

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_NOT_YET_H_
