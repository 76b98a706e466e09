// Shared helpers of the generation tests: objects made the way the class
// table makes them, and host implementations of the public interfaces that
// are not ours.
#ifndef TAVO_TESTS_GENERATION_GENERATION_TEST_UTIL_H_
#define TAVO_TESTS_GENERATION_GENERATION_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>

#include "generation/objects/generator_classes.h"
#include "platform/automation/utf.h"
#include "platform/com/object.h"

namespace tavo {

// An object of `Class` through its creation function, as a host gets one.
template <class Class, class I>
ComPtr<I> HostCreate() {
  ComPtr<I> out;
  EXPECT_EQ(S_OK, Class::Create(nullptr, IID_OF(I), out.ReleaseAndGetVoidAddressOf()));
  return out;
}

inline ComPtr<ITavoPLGenerator> NewGenerator() { return HostCreate<TavoPLGenerator, ITavoPLGenerator>(); }
inline ComPtr<ITavoPLGenCriteria> NewCriteria(LONG field) {
  ComPtr<ITavoPLGenCriteria> c = HostCreate<TavoPLGenCriteria, ITavoPLGenCriteria>();
  c->put_Field(field);
  return c;
}

inline ComPtr<ITavoPLGenCriteriaList> CriteriaOf(ITavoPLGenerator* g) {
  ComPtr<ITavoPLGenCriteriaList> list;
  EXPECT_EQ(S_OK, g->get_CriteriaList(list.ReleaseAndGetAddressOf()));
  return list;
}

inline std::string NameOf(ITavoPLGenerator* g) {
  BSTR name = nullptr;
  if (g->get_Name(&name) != S_OK) return "<fail>";
  std::string text = BstrToUtf8(name);
  SysFreeString(name);
  return text;
}

// Every member of a host's implementation answers E_NOTIMPL.
#define TAVO_TEST_HOST_SLOT(T, id, kind, Method, rv, ...) \
  HRESULT STDMETHODCALLTYPE Method(TAVO_PARAMS(__VA_ARGS__)) override { return E_NOTIMPL; }
#define TAVO_TEST_HOST_CLASS(Class, I) \
  class Class : public ComObject<Class, I> { \
   public:                                         \
    TAVO_OWN_##I(TAVO_TEST_HOST_SLOT, I)           \
  };
TAVO_TEST_HOST_CLASS(HostGenerator, ITavoPLGenerator)
TAVO_TEST_HOST_CLASS(HostCriteria, ITavoPLGenCriteria)
TAVO_TEST_HOST_CLASS(HostCriteriaList, ITavoPLGenCriteriaList)
TAVO_TEST_HOST_CLASS(HostLimitList, ITavoPLGenLimitList)
TAVO_TEST_HOST_CLASS(HostLimit, ITavoPLGenLimit)
TAVO_TEST_HOST_CLASS(HostRank, ITavoPLGenRank)

}  // namespace tavo

#endif  // TAVO_TESTS_GENERATION_GENERATION_TEST_UTIL_H_
