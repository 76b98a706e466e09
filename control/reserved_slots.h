// Members for the control interfaces' reserved slots (TAVOCTL_RESERVED in
// tavo/control_interfaces.def): each answers E_NOTIMPL. One line defines an
// interface's whole run:
//   TAVOCTL_RESERVED_ITAVODiscData(TAVOCTL_IMPLEMENT_RESERVED, _)
#ifndef TAVO_CONTROL_RESERVED_SLOTS_H_
#define TAVO_CONTROL_RESERVED_SLOTS_H_

#include "tavo/control.h"

#define TAVOCTL_IMPLEMENT_RESERVED(T, id, kind, Method, rv, ...) \
  HRESULT STDMETHODCALLTYPE Method() override { return E_NOTIMPL; }

#endif  // TAVO_CONTROL_RESERVED_SLOTS_H_
