// Calling an object the way a host that only speaks IDispatch does: by
// member name, with arguments in declaration order.
#ifndef TAVO_TESTS_SUPPORT_DISPATCH_CALL_H_
#define TAVO_TESTS_SUPPORT_DISPATCH_CALL_H_

#include <algorithm>
#include <vector>

#include "tavo/automation.h"

namespace tavo::host_calls {

inline VARIANT LongArg(LONG v) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_I4;
  x.lVal = v;
  return x;
}

// A new string; the caller clears the variant.
inline VARIANT TextArg(const char16_t* s) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_BSTR;
  x.bstrVal = SysAllocString(s);
  return x;
}

// Borrowed: the caller keeps its reference.
inline VARIANT ObjectArg(IDispatch* d) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_DISPATCH;
  x.pdispVal = d;
  return x;
}

// GetIDsOfNames, then Invoke; the value of a property put is the last
// argument and is passed as the named DISPID_PROPERTYPUT argument.
// Arguments are not cleared. Returns the first failing status.
inline HRESULT CallByName(IDispatch* d, const char16_t* name, WORD flags, std::vector<VARIANT> args,
                          VARIANT* result = nullptr, UINT* arg_err = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  if (HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); FAILED(hr)) return hr;
  std::reverse(args.begin(), args.end());
  DISPID put = DISPID_PROPERTYPUT;
  const bool is_put = flags == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{args.data(), is_put ? &put : nullptr, static_cast<UINT>(args.size()), is_put ? 1u : 0u};
  return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, arg_err);
}

}  // namespace tavo::host_calls

#endif  // TAVO_TESTS_SUPPORT_DISPATCH_CALL_H_
