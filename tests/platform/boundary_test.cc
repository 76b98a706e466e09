// The exception boundary and per-interface dispatch of ComObject: whatever a
// member, a constructor or FinalConstruct throws comes out as a status,
// through the vtable, through Invoke and through the class factory; and each
// dual interface of an object dispatches its own members.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "platform/automation/utf.h"
#include "platform/com/class_factory.h"
#include "platform/com/object.h"
#include "support/dispatch_call.h"

#define TAVO_BASE_ITestThrower IDispatch
#define TAVO_OWN_ITestThrower(X, T)                                                                \
  X(T, 1, METHOD, Throw, RV, (LONG, how), (LONG*, result))                                         \
  X(T, 2, PROPGET, get_Calls, RV, (LONG*, calls))
TAVO_FORWARD(ITestThrower)
TAVO_INTERFACE(ITestThrower, 0x7e570001, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01)

#define TAVO_BASE_ITestLabel IDispatch
#define TAVO_OWN_ITestLabel(X, T)                                                                  \
  X(T, 1, PROPGET, get_Text, RV, (BSTR*, text))                                                    \
  X(T, 1, PROPPUT, put_Text, NORV, (BSTR, text))
TAVO_FORWARD(ITestLabel)
TAVO_INTERFACE(ITestLabel, 0x7e570002, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02)

namespace tavo {
namespace {

enum How : LONG { kReturn = 0, kThrowFailure = 1, kThrowNoMemory = 2, kThrowNonStandard = 3 };

void Misbehave(LONG how) {
  if (how == kThrowFailure) throw std::runtime_error("the disk is on fire");
  if (how == kThrowNoMemory) throw std::bad_alloc();
  if (how == kThrowNonStandard) throw 42;
}

// Two dual interfaces; members that throw on request.
class Thrower : public ComObject<Thrower, ITestThrower, ITestLabel> {
 public:
  HRESULT STDMETHODCALLTYPE Throw(LONG how, LONG* result) override {
    ++calls_;
    Misbehave(how);
    *result = how;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Calls(LONG* calls) override { return *calls = calls_, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override { return *text = BstrFromUtf8(text_), S_OK; }
  HRESULT STDMETHODCALLTYPE put_Text(BSTR text) override {
    text_ = BstrToUtf8(text);
    Misbehave(text_ == "fail" ? kThrowFailure : kReturn);
    return S_OK;
  }

 private:
  LONG calls_ = 0;
  std::string text_ = "label";
};

// Fails while being made, as asked.
LONG g_fragile_how = kReturn;
LONG g_fragile_final_how = kReturn;
class Fragile : public ComObject<Fragile, ITestLabel> {
 public:
  Fragile() { Misbehave(g_fragile_how); }
  HRESULT FinalConstruct() {
    Misbehave(g_fragile_final_how);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override { return *text = nullptr, S_OK; }
  HRESULT STDMETHODCALLTYPE put_Text(BSTR) override { return S_OK; }
};

std::string ErrorDescription(std::string* source = nullptr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return "<none>";
  BSTR text = nullptr;
  info->GetDescription(&text);
  std::string out = BstrToUtf8(text);
  SysFreeString(text);
  if (source) {
    info->GetSource(&text);
    *source = BstrToUtf8(text);
    SysFreeString(text);
  }
  return out;
}

TEST(BoundaryTest, AnExceptionInAMemberIsAStatusThroughTheVtable) {
  ComPtr<ITestThrower> t;
  ASSERT_EQ(S_OK, Thrower::Create(nullptr, IID_ITestThrower, t.ReleaseAndGetVoidAddressOf()));
  LONG result = -1;
  ASSERT_EQ(S_OK, t->Throw(kReturn, &result));
  EXPECT_EQ(0, result);

  std::string source;
  EXPECT_EQ(E_FAIL, t->Throw(kThrowFailure, &result));
  EXPECT_EQ("the disk is on fire", ErrorDescription(&source));
  EXPECT_EQ("ITestThrower::Throw", source);
  EXPECT_EQ(E_OUTOFMEMORY, t->Throw(kThrowNoMemory, &result));
  EXPECT_EQ(E_FAIL, t->Throw(kThrowNonStandard, &result));
  EXPECT_EQ("unknown exception", ErrorDescription());

  // The second interface's members are guarded as well.
  ComPtr<ITestLabel> label;
  ASSERT_EQ(S_OK, t->QueryInterface(IID_ITestLabel, label.ReleaseAndGetVoidAddressOf()));
  BSTR fail = SysAllocString(u"fail");
  EXPECT_EQ(E_FAIL, label->put_Text(fail));
  SysFreeString(fail);
  LONG calls = 0;
  t->get_Calls(&calls);
  EXPECT_EQ(4, calls);  // every call reached the member
}

TEST(BoundaryTest, AnExceptionInAMemberIsAStatusThroughInvoke) {
  ComPtr<ITestThrower> t;
  ASSERT_EQ(S_OK, Thrower::Create(nullptr, IID_ITestThrower, t.ReleaseAndGetVoidAddressOf()));
  VARIANT result;
  VariantInit(&result);
  const struct {
    LONG how;
    HRESULT status;
  } cases[] = {{kReturn, S_OK}, {kThrowFailure, E_FAIL}, {kThrowNoMemory, E_OUTOFMEMORY}, {kThrowNonStandard, E_FAIL}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, host_calls::CallByName(t.Get(), u"Throw", DISPATCH_METHOD, {host_calls::LongArg(c.how)},
                                               &result))
        << c.how;
    VariantClear(&result);
  }
  // EXCEPINFO carries the status too.
  LPOLESTR name = const_cast<LPOLESTR>(u"Throw");
  DISPID id = 0;
  ASSERT_EQ(S_OK, t->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  VARIANT arg = host_calls::LongArg(kThrowFailure);
  DISPPARAMS params{&arg, nullptr, 1, 0};
  EXCEPINFO excep{};
  EXPECT_EQ(E_FAIL, t->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &excep, nullptr));
  EXPECT_EQ(E_FAIL, excep.scode);
  EXPECT_EQ("the disk is on fire", ErrorDescription());
}

TEST(BoundaryTest, ConstructionThatThrowsIsAStatusAndLeavesNothingBehind) {
  const LONG before = ModuleLockCount().load();
  void* p = reinterpret_cast<void*>(1);
  ComPtr<ClassFactory> factory = ClassFactory::Make(&Fragile::Create);
  ASSERT_TRUE(factory);
  const struct {
    LONG in_constructor, in_final_construct;
    HRESULT status;
  } cases[] = {{kThrowFailure, kReturn, E_FAIL},
               {kThrowNoMemory, kReturn, E_OUTOFMEMORY},
               {kReturn, kThrowFailure, E_FAIL},
               {kReturn, kThrowNoMemory, E_OUTOFMEMORY}};
  for (const auto& c : cases) {
    g_fragile_how = c.in_constructor;
    g_fragile_final_how = c.in_final_construct;
    EXPECT_EQ(c.status, factory->CreateInstance(nullptr, IID_ITestLabel, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(c.status, Fragile::Create(nullptr, IID_ITestLabel, &p));
    EXPECT_FALSE(Fragile::Make());  // the component's own creation takes the same road
    EXPECT_EQ(before, ModuleLockCount().load());
  }
  g_fragile_how = g_fragile_final_how = kReturn;
  EXPECT_TRUE(Fragile::Make());
}

TEST(BoundaryTest, EachDualInterfaceDispatchesItsOwnMembers) {
  ComPtr<ITestThrower> t;
  ASSERT_EQ(S_OK, Thrower::Create(nullptr, IID_ITestThrower, t.ReleaseAndGetVoidAddressOf()));
  ComPtr<ITestLabel> label;
  ASSERT_EQ(S_OK, t->QueryInterface(IID_ITestLabel, label.ReleaseAndGetVoidAddressOf()));
  VARIANT result;
  VariantInit(&result);
  // On the label's pointer, the label's names; the thrower's are unknown there.
  ASSERT_EQ(S_OK, host_calls::CallByName(label.Get(), u"Text", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ("label", BstrToUtf8(result.bstrVal));
  VariantClear(&result);
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_calls::CallByName(label.Get(), u"Calls", DISPATCH_PROPERTYGET, {}, &result));
  // And the other way round.
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_calls::CallByName(t.Get(), u"Text", DISPATCH_PROPERTYGET, {}, &result));
  ASSERT_EQ(S_OK, host_calls::CallByName(t.Get(), u"Calls", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  // IDispatch itself is the first dual interface's.
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, label->QueryInterface(IID_IDispatch, dispatch.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(static_cast<void*>(dispatch.Get()), static_cast<void*>(t.Get()));
}

}  // namespace
}  // namespace tavo
