// The dispatch engine: GetIDsOfNames and Invoke for any described interface.
//
// DispatchTableOf<I>() turns the member list of I (its bases' members, root
// first, then its own; see tavo/interface_macros.h) into a table of {id,
// kind, name, invoker}. An invoker is generated per member from the member's
// C++ signature: it converts the DISPPARAMS arguments (which arrive in
// reverse order) to the parameter types, calls the vtable method, and stores
// an [out, retval] parameter into the result variant.
//
// Parameter types and what they accept:
//   LONG, SHORT, ULONG, VARIANT_BOOL, DOUBLE   any variant that converts
//   BSTR                                       VT_BSTR, or anything that converts
//   VARIANT / VARIANT*                          any variant, passed through
//   SAFEARRAY*                                 VT_ARRAY | any
//   IUnknown*, IDispatch*, other interfaces    VT_UNKNOWN / VT_DISPATCH (queried
//                                              for the interface), VT_EMPTY as null
//   T* (not the retval)                        VT_BYREF | the type of T, written
//                                              through; or VT_BYREF | VT_VARIANT,
//                                              whose variant is read as the input
//                                              (numbers only: a string or object
//                                              pointer starts out null, as an
//                                              [out] one) and replaced by the
//                                              output when the member succeeds
// A null where a reference or an array must be is DISP_E_TYPEMISMATCH.
// Invoke returns the member's own status, also one the guard made of an
// exception (guard.h); on failure EXCEPINFO (when given) carries it in scode
// as well.
#ifndef TAVO_PLATFORM_COM_DISPATCH_H_
#define TAVO_PLATFORM_COM_DISPATCH_H_

#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "tavo/automation.h"

namespace tavo {

using DispInvoker = HRESULT (*)(void* iface, DISPPARAMS* params, VARIANT* result, UINT* arg_err);

struct DispMember {
  DISPID id;
  WORD kind;  // one DISPATCH_* flag
  const char* name;
  DispInvoker invoke;
};

struct DispTable {
  const IID* iid = &IID_NULL;  // the interface, for the guard's error information
  const char* name = "";
  std::vector<DispMember> members;
};

HRESULT DispatchGetIDsOfNames(const DispTable& table, LPOLESTR* names, UINT count, DISPID* ids);
HRESULT DispatchInvoke(const DispTable& table, void* iface, DISPID id, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excep, UINT* arg_err);

namespace dispatch_detail {

// The argument itself, or the variant a VT_BYREF | VT_VARIANT refers to;
// null when that reference is null or refers to another reference.
inline VARIANT* Plain(VARIANT* v) {
  if (v != nullptr && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  return v != nullptr && v->vt != (VT_BYREF | VT_VARIANT) ? v : nullptr;
}

HRESULT LoadScalar(VARIANT* v, VARTYPE vt, VARIANT* out);
HRESULT LoadInterface(VARIANT* v, REFIID iid, IUnknown** out);  // *out holds a reference or null
void StoreInterface(VARIANT* result, IUnknown* p, bool is_dispatch);  // adopts p

template <class T>
struct ScalarVt;
template <> struct ScalarVt<LONG> { static constexpr VARTYPE vt = VT_I4; };
template <> struct ScalarVt<ULONG> { static constexpr VARTYPE vt = VT_UI4; };
template <> struct ScalarVt<SHORT> { static constexpr VARTYPE vt = VT_I2; };
template <> struct ScalarVt<VARIANT_BOOL> { static constexpr VARTYPE vt = VT_BOOL; };
template <> struct ScalarVt<DOUBLE> { static constexpr VARTYPE vt = VT_R8; };
template <> struct ScalarVt<BSTR> { static constexpr VARTYPE vt = VT_BSTR; };

template <class T>
concept Scalar = requires { ScalarVt<T>::vt; };
template <class T>
concept InterfacePtr = std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>;

template <class T>
T& Field(VARIANT& v) {
  if constexpr (std::is_same_v<T, LONG>) return v.lVal;
  else if constexpr (std::is_same_v<T, ULONG>) return v.ulVal;
  else if constexpr (std::is_same_v<T, SHORT>) return v.iVal;
  else if constexpr (std::is_same_v<T, VARIANT_BOOL>) return v.boolVal;
  else if constexpr (std::is_same_v<T, DOUBLE>) return v.dblVal;
  else return v.bstrVal;
}

// An [in] argument of type T.
template <class T>
struct InArg;

template <Scalar T>
struct InArg<T> {
  VARIANT value{};
  HRESULT Load(VARIANT* v) { return LoadScalar(v, ScalarVt<T>::vt, &value); }
  T Get() { return Field<T>(value); }
  ~InArg() { VariantClear(&value); }
};

template <InterfacePtr T>
struct InArg<T> {
  IUnknown* p = nullptr;
  HRESULT Load(VARIANT* v) {
    return LoadInterface(v, InterfaceTraits<std::remove_pointer_t<T>>::iid, &p);
  }
  T Get() { return static_cast<T>(p); }
  ~InArg() {
    if (p) p->Release();
  }
};

template <>
struct InArg<VARIANT> {
  VARIANT* v = nullptr;
  HRESULT Load(VARIANT* arg) { return v = Plain(arg), v ? S_OK : DISP_E_TYPEMISMATCH; }
  VARIANT Get() { return *v; }
};

template <>
struct InArg<VARIANT*> {
  VARIANT* v = nullptr;
  HRESULT Load(VARIANT* arg) { return v = Plain(arg), v ? S_OK : DISP_E_TYPEMISMATCH; }
  VARIANT* Get() { return v; }
};

// VT_EMPTY and VT_NULL are a null array.
template <>
struct InArg<SAFEARRAY*> {
  SAFEARRAY* a = nullptr;
  HRESULT Load(VARIANT* arg) {
    VARIANT* v = Plain(arg);
    if (v == nullptr) return DISP_E_TYPEMISMATCH;
    if (v->vt == VT_EMPTY || v->vt == VT_NULL) return S_OK;
    if ((v->vt & VT_ARRAY) == 0) return DISP_E_TYPEMISMATCH;
    if (v->vt & VT_BYREF) {
      if (v->pparray == nullptr) return DISP_E_TYPEMISMATCH;
      a = *v->pparray;
    } else {
      a = v->parray;
    }
    return S_OK;
  }
  SAFEARRAY* Get() { return a; }
};

// A by-reference [out] or [in, out] argument T* that is not the retval: the
// caller passes VT_BYREF | the type of T, or a VT_BYREF | VT_VARIANT slot.
template <class T>
  requires(Scalar<T> || InterfacePtr<T>)
struct InArg<T*> {
  T* target = nullptr;
  VARIANT* slot = nullptr;  // a variant to fill after the call
  T local{};
  HRESULT Load(VARIANT* arg) {
    if (arg->vt == (VT_BYREF | VT_VARIANT)) {
      slot = arg->pvarVal;
      target = &local;
      if (slot == nullptr) return DISP_E_TYPEMISMATCH;
      return LoadSlotInput();
    }
    VARTYPE want;
    if constexpr (InterfacePtr<T>) {
      want = std::is_base_of_v<IDispatch, std::remove_pointer_t<T>> ? VT_DISPATCH : VT_UNKNOWN;
    } else {
      want = ScalarVt<T>::vt;
    }
    if (arg->vt != (VT_BYREF | want) || arg->byref == nullptr) return DISP_E_TYPEMISMATCH;
    target = static_cast<T*>(arg->byref);
    return S_OK;
  }
  T* Get() { return target; }
  void Commit(bool succeeded);

 private:
  // An [in, out] number keeps its input; strings and objects are [out] only,
  // since a member may overwrite them without freeing.
  HRESULT LoadSlotInput() {
    if constexpr (Scalar<T> && !std::is_same_v<T, BSTR>) {
      if (slot->vt == VT_EMPTY) return S_OK;
      VARIANT converted;
      VariantInit(&converted);
      if (HRESULT hr = LoadScalar(slot, ScalarVt<T>::vt, &converted); FAILED(hr)) return hr;
      local = Field<T>(converted);
    }
    return S_OK;
  }
};

// The [out, retval] parameter: a local the result variant takes over.
template <class T>
struct RetArg {
  T value{};
  HRESULT Load(VARIANT*) { return S_OK; }
  T* Get() { return &value; }
  void Store(VARIANT* result) {
    VARIANT out;
    VariantInit(&out);
    if constexpr (InterfacePtr<T>) {
      StoreInterface(&out, value, std::is_base_of_v<IDispatch, std::remove_pointer_t<T>>);
    } else if constexpr (std::is_same_v<T, VARIANT>) {
      out = value;
    } else {
      out.vt = ScalarVt<T>::vt;
      Field<T>(out) = value;
    }
    value = T{};
    if (result) {
      VariantClear(result);
      *result = out;
    } else {
      VariantClear(&out);
    }
  }
};

template <class T>
  requires(Scalar<T> || InterfacePtr<T>)
void InArg<T*>::Commit(bool succeeded) {
  if (slot == nullptr) return;
  RetArg<T> ret;
  ret.value = local;
  local = T{};
  if (succeeded) {
    ret.Store(slot);
  } else {
    ret.Store(nullptr);  // releases whatever the method left there
  }
}

template <class A>
void CommitArg(A& arg, bool succeeded) {
  if constexpr (requires { arg.Commit(succeeded); }) arg.Commit(succeeded);
}

template <class... A>
constexpr bool LastIsPointer() {
  if constexpr (sizeof...(A) == 0) {
    return false;
  } else {
    return std::is_pointer_v<std::tuple_element_t<sizeof...(A) - 1, std::tuple<A...>>>;
  }
}

template <auto Member, bool Retval>
struct Invoker;

template <class C, class... A, HRESULT (STDMETHODCALLTYPE C::*Member)(A...), bool Retval>
struct Invoker<Member, Retval> {
  static constexpr size_t kParams = sizeof...(A);
  static_assert(!Retval || LastIsPointer<A...>(), "a retval member ends in a pointer parameter");
  static constexpr size_t kInputs = Retval ? kParams - 1 : kParams;

  template <size_t K>
  using Holder = std::conditional_t<Retval && K == kParams - 1,
                                    RetArg<std::remove_pointer_t<std::tuple_element_t<K, std::tuple<A...>>>>,
                                    InArg<std::tuple_element_t<K, std::tuple<A...>>>>;

  static HRESULT Call(void* iface, DISPPARAMS* params, VARIANT* result, UINT* arg_err) {
    return CallWith(static_cast<C*>(iface), params, result, arg_err, std::index_sequence_for<A...>{});
  }

  template <size_t... K>
  static HRESULT CallWith(C* object, DISPPARAMS* params, VARIANT* result, [[maybe_unused]] UINT* arg_err,
                          std::index_sequence<K...>) {
    if (params->cArgs != kInputs) return DISP_E_BADPARAMCOUNT;
    std::tuple<Holder<K>...> args;
    HRESULT hr = S_OK;
    // Arguments arrive last first: parameter K is rgvarg[cArgs - 1 - K].
    const bool loaded = ((hr = std::get<K>(args).Load(K < kInputs ? &params->rgvarg[kInputs - 1 - K] : nullptr),
                          SUCCEEDED(hr) || (arg_err && (*arg_err = static_cast<UINT>(kInputs - 1 - K)), false)) &&
                         ...);
    if (!loaded) return hr;
    hr = (object->*Member)(std::get<K>(args).Get()...);
    (CommitArg(std::get<K>(args), SUCCEEDED(hr)), ...);
    if constexpr (Retval) {
      if (SUCCEEDED(hr)) {
        std::get<kParams - 1>(args).Store(result);
      } else {
        std::get<kParams - 1>(args).Store(nullptr);
      }
    }
    return hr;
  }
};

struct TableBuilder {
  DispTable table;
  template <auto M, int Kind, bool Retval>
  void Member(DISPID id, const char* name, const char*) {
    if constexpr (Kind != TAVO_KIND_VTBL) {
      table.members.push_back({id, static_cast<WORD>(Kind), name, &Invoker<M, Retval>::Call});
    }
  }
};

}  // namespace dispatch_detail

// Visits the members of I's bases, root first, then I's own (see
// InterfaceTraits<I>::VisitOwn in tavo/interface_macros.h).
template <class I, class Visitor>
void VisitChain(Visitor& visitor) {
  using Base = typename InterfaceTraits<I>::Base;
  if constexpr (!std::is_void_v<Base>) VisitChain<Base>(visitor);
  InterfaceTraits<I>::VisitOwn(visitor);
}

// The dispatch table of interface I, built once.
template <class I>
const DispTable& DispatchTableOf() {
  static const DispTable table = [] {
    dispatch_detail::TableBuilder builder;
    builder.table.iid = &InterfaceTraits<I>::iid;
    builder.table.name = InterfaceTraits<I>::name;
    VisitChain<I>(builder);
    return std::move(builder.table);
  }();
  return table;
}

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_DISPATCH_H_
