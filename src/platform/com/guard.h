// The exception boundary. No C++ exception crosses a vtable, a class factory
// or an export: each of them runs its body through RunGuarded, which turns
// an exception into a status.
//
// Contract:
//  - std::bad_alloc becomes E_OUTOFMEMORY and sets no error information
//    (making it could run out of memory as well);
//  - any other exception becomes E_FAIL, and the thread's error information
//    (SetErrorInfo) names `where` as its source, `iid` as its interface and
//    the exception's what() (or "unknown exception") as its description;
//  - RunGuarded itself never throws.
//
// Objects do not call it themselves: ComObject (object.h) builds every
// object with a layer, generated from the interface description, that runs
// every member of every interface through it, and the dispatch engine runs
// Invoke through it.
#ifndef TAVO_PLATFORM_COM_GUARD_H_
#define TAVO_PLATFORM_COM_GUARD_H_

#include "tavo/automation.h"

namespace tavo {

// The status for the exception being handled; call only inside a catch block.
HRESULT StatusOfCurrentException(REFIID iid, const char* where) noexcept;

template <class Body>
HRESULT RunGuarded(REFIID iid, const char* where, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return StatusOfCurrentException(iid, where);
  }
}

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_GUARD_H_
