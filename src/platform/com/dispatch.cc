#include "platform/com/dispatch.h"

#include "platform/com/guard.h"

namespace tavo {
namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(const char* ascii, const OLECHAR* name) {
  size_t i = 0;
  for (; ascii[i] != 0; ++i) {
    if (name[i] == 0 || Lower(static_cast<char16_t>(ascii[i])) != Lower(name[i])) return false;
  }
  return name[i] == 0;
}

const DispMember* Find(const DispTable& table, DISPID id, WORD kind) {
  for (const DispMember& m : table.members)
    if (m.id == id && m.kind == kind) return &m;
  return nullptr;
}

// Property puts name their value argument DISPID_PROPERTYPUT; nothing else
// takes named arguments.
bool NamedArgumentsAllowed(WORD flags, const DISPPARAMS& params) {
  if (params.cNamedArgs == 0) return true;
  return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && params.cNamedArgs == 1 &&
         params.rgdispidNamedArgs != nullptr && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

}  // namespace

HRESULT DispatchGetIDsOfNames(const DispTable& table, LPOLESTR* names, UINT count, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (names[0] == nullptr) return DISP_E_UNKNOWNNAME;
  for (const DispMember& m : table.members) {
    if (SameName(m.name, names[0])) {
      ids[0] = m.id;
      // Parameter names are not described, so they stay unknown.
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchInvoke(const DispTable& table, void* iface, DISPID id, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excep, UINT* arg_err) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (params == nullptr) params = &none;
  if (params->cArgs > 0 && params->rgvarg == nullptr) return E_INVALIDARG;
  if (!NamedArgumentsAllowed(flags, *params)) return DISP_E_NONAMEDARGS;

  const DispMember* member = nullptr;
  if (flags & DISPATCH_PROPERTYPUT) member = Find(table, id, DISPATCH_PROPERTYPUT);
  if (!member && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
    member = Find(table, id, DISPATCH_PROPERTYPUTREF);
  if (!member && (flags & DISPATCH_PROPERTYPUTREF)) member = Find(table, id, DISPATCH_PROPERTYPUT);
  // A method and a property get are interchangeable for callers that cannot tell.
  if (!member && (flags & DISPATCH_METHOD)) member = Find(table, id, DISPATCH_METHOD);
  if (!member && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) member = Find(table, id, DISPATCH_PROPERTYGET);
  if (!member && (flags & DISPATCH_PROPERTYGET)) member = Find(table, id, DISPATCH_METHOD);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;

  if (result != nullptr) VariantInit(result);
  const HRESULT hr = RunGuarded(*table.iid, table.name,
                                [&] { return member->invoke(iface, params, result, arg_err); });
  if (FAILED(hr) && excep != nullptr) {
    *excep = EXCEPINFO{};
    excep->scode = hr;
  }
  return hr;
}

namespace dispatch_detail {

HRESULT LoadScalar(VARIANT* v, VARTYPE vt, VARIANT* out) {
  v = Plain(v);
  if (v == nullptr) return DISP_E_TYPEMISMATCH;
  const HRESULT hr = VariantChangeType(out, v, 0, vt);
  return hr == DISP_E_OVERFLOW ? hr : FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT LoadInterface(VARIANT* v, REFIID iid, IUnknown** out) {
  *out = nullptr;
  v = Plain(v);
  if (v == nullptr) return DISP_E_TYPEMISMATCH;
  IUnknown* unk;
  switch (v->vt) {
    case VT_EMPTY: case VT_NULL: return S_OK;
    case VT_UNKNOWN: case VT_DISPATCH: unk = v->punkVal; break;
    case VT_BYREF | VT_UNKNOWN: case VT_BYREF | VT_DISPATCH: unk = v->ppunkVal ? *v->ppunkVal : nullptr; break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (unk == nullptr) return S_OK;
  return SUCCEEDED(unk->QueryInterface(iid, reinterpret_cast<void**>(out))) ? S_OK : DISP_E_TYPEMISMATCH;
}

void StoreInterface(VARIANT* result, IUnknown* p, bool is_dispatch) {
  result->vt = is_dispatch ? VT_DISPATCH : VT_UNKNOWN;
  result->punkVal = p;
}

}  // namespace dispatch_detail
}  // namespace tavo
