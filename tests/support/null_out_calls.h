// The null-pointer test of every member, generated from the interface
// descriptions: every member that has [out] pointers is called with null for
// each of them (and zero, null or VT_EMPTY for its other parameters), and
// its status is collected. A member must answer E_POINTER or its documented
// status, never crash. An [out] pointer is any pointer parameter except an
// automation string (BSTR) and an interface pointer, which are inputs.
//
// NullOutCallsOfAll(object, interfaces) asks `object` for each interface of
// a table made from a description (with platform/com/description_table_*.h
// and TAVO_NULL_OUT_ENTRY) and calls the members of each interface it
// answers, IUnknown's and IDispatch's excepted.
#ifndef TAVO_TESTS_SUPPORT_NULL_OUT_CALLS_H_
#define TAVO_TESTS_SUPPORT_NULL_OUT_CALLS_H_

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "tavo/tavo.h"

namespace tavo::null_out {

struct Call {
  std::string member;  // "ITavoPLGenerator::get_Name"
  HRESULT status;
};

template <class P>
constexpr bool IsOutPointer() {
  if constexpr (!std::is_pointer_v<P> || std::is_same_v<P, BSTR>) {
    return false;
  } else {
    return !std::is_class_v<std::remove_pointer_t<P>> || !std::is_base_of_v<IUnknown, std::remove_pointer_t<P>>;
  }
}

template <class P>
P ArgumentFor() {
  if constexpr (std::is_same_v<P, REFIID>) {
    return IID_NULL;
  } else if constexpr (std::is_same_v<P, VARIANT>) {
    VARIANT v;
    VariantInit(&v);
    return v;
  } else {
    return P{};  // zero, null
  }
}

template <class I>
struct Caller {
  I* object;
  std::vector<Call>* calls;

  template <auto M, int Kind, bool Retval>
  void Member(DISPID, const char*, const char* method) {
    Invoke(M, method);
  }

  template <class C, class... A>
  void Invoke(HRESULT (STDMETHODCALLTYPE C::*member)(A...), const char* method) {
    if constexpr ((IsOutPointer<A>() || ...)) {
      const HRESULT hr = (object->*member)(ArgumentFor<A>()...);
      calls->push_back({std::string(InterfaceTraits<C>::name) + "::" + method, hr});
    }
  }
};

// Visits the members of Chain and its bases below IDispatch (or IUnknown).
template <class Chain, class Visitor>
void VisitBelowDispatch(Visitor& visitor) {
  if constexpr (!std::is_same_v<Chain, IUnknown> && !std::is_same_v<Chain, IDispatch>) {
    VisitBelowDispatch<typename InterfaceTraits<Chain>::Base>(visitor);
    InterfaceTraits<Chain>::VisitOwn(visitor);
  }
}

// Calls I's members on `unknown` when it answers I.
template <class I>
void CallsOf(IUnknown* unknown, std::vector<Call>* calls) {
  I* object = nullptr;
  if (FAILED(unknown->QueryInterface(InterfaceTraits<I>::iid, reinterpret_cast<void**>(&object)))) return;
  Caller<I> caller{object, calls};
  VisitBelowDispatch<I>(caller);
  object->Release();
}

struct DescribedInterface {
  const char* name;
  void (*calls)(IUnknown* object, std::vector<Call>* out);
};

inline std::vector<Call> NullOutCallsOfAll(IUnknown* object, const std::vector<DescribedInterface>& interfaces) {
  std::vector<Call> calls;
  for (const DescribedInterface& i : interfaces) i.calls(object, &calls);
  return calls;
}

// The calls of NullOutCallsOfAll whose status is neither E_POINTER nor the
// one `documented` names for the member, one "member: status" line each;
// "no member called" when the object answered none of the interfaces.
inline std::string UnexpectedNullOutStatuses(IUnknown* object, const std::vector<DescribedInterface>& interfaces,
                                             const std::map<std::string, HRESULT>& documented) {
  const std::vector<Call> calls = NullOutCallsOfAll(object, interfaces);
  std::string unexpected = calls.empty() ? "no member called\n" : "";
  for (const Call& c : calls) {
    const auto d = documented.find(c.member);
    if (c.status != (d == documented.end() ? E_POINTER : d->second))
      unexpected += c.member + ": " + std::to_string(static_cast<uint32_t>(c.status)) + "\n";
  }
  return unexpected;
}

}  // namespace tavo::null_out

// The table entry of interface I, for TAVO_DESCRIBED.
#define TAVO_NULL_OUT_ENTRY(I) {#I, &::tavo::null_out::CallsOf<I>},

#endif  // TAVO_TESTS_SUPPORT_NULL_OUT_CALLS_H_
