// The object base and the dispatch engine, over a small interface described
// here in the same format as the component's own.
#include <gtest/gtest.h>

#include <string>

#include "platform/automation/utf.h"
#include "platform/com/class_factory.h"
#include "platform/com/connection_point.h"
#include "platform/com/enumerator.h"
#include "platform/com/error_info.h"
#include "platform/com/object.h"
#include "support/dispatch_call.h"

#define TAVO_BASE_ITestCounter IDispatch
#define TAVO_OWN_ITestCounter(X, T)                                                                \
  X(T, 1, PROPGET, get_Value, RV, (LONG*, value))                                                  \
  X(T, 1, PROPPUT, put_Value, NORV, (LONG, value))                                                 \
  X(T, 2, METHOD, Add, RV, (LONG, a), (SHORT, b), (LONG*, sum))                                    \
  X(T, 3, METHOD, Describe, RV, (BSTR, prefix), (VARIANT_BOOL, loud), (BSTR*, text))               \
  X(T, 4, METHOD, Swap, NORV, (LONG*, inout))                                                      \
  X(T, 5, METHOD, Partner, RV, (ITestCounter*, other), (ITestCounter**, same))                     \
  X(T, 6, METHOD, Fail, NORV)                                                                      \
  X(T, 7, METHOD, Total, RV, (SAFEARRAY*, values), (LONG*, total))
TAVO_FORWARD(ITestCounter)
TAVO_INTERFACE(ITestCounter, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55)

namespace tavo {
namespace {

class Counter : public ComObject<Counter, ITestCounter> {
 public:
  HRESULT STDMETHODCALLTYPE get_Value(LONG* v) override { return v ? (*v = value_, S_OK) : E_POINTER; }
  HRESULT STDMETHODCALLTYPE put_Value(LONG v) override { return value_ = v, S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LONG a, SHORT b, LONG* sum) override { return *sum = a + b, S_OK; }
  HRESULT STDMETHODCALLTYPE Describe(BSTR prefix, VARIANT_BOOL loud, BSTR* text) override {
    std::string s = BstrToUtf8(prefix) + std::to_string(value_) + (loud ? "!" : "");
    *text = BstrFromUtf8(s);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Swap(LONG* inout) override {
    std::swap(*inout, value_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Partner(ITestCounter* other, ITestCounter** same) override {
    if (other == nullptr) return E_INVALIDARG;
    other->AddRef();
    *same = other;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Fail() override { return E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE Total(SAFEARRAY* values, LONG* total) override {
    if (values == nullptr) return E_INVALIDARG;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(values, 1, &lower);
    SafeArrayGetUBound(values, 1, &upper);
    *total = 0;
    for (LONG i = lower; i <= upper; ++i) {
      LONG v = 0;
      SafeArrayGetElement(values, &i, &v);
      *total += v;
    }
    return S_OK;
  }

 private:
  LONG value_ = 0;
};

HRESULT Call(IDispatch* d, const char16_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  UINT arg_err = 0;
  return host_calls::CallByName(d, name, flags, std::move(args), result, &arg_err);
}

VARIANT Long(LONG v) { return host_calls::LongArg(v); }

TEST(DispatchTest, GetIDsOfNamesIsCaseInsensitive) {
  ComPtr<Counter> c = Counter::Make();
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"dEsCrIbE")};
  DISPID id = 0;
  EXPECT_EQ(S_OK, c->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  EXPECT_EQ(3, id);
  names[0] = const_cast<LPOLESTR>(u"Nope");
  EXPECT_EQ(DISP_E_UNKNOWNNAME, c->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  EXPECT_EQ(DISPID_UNKNOWN, id);
}

TEST(DispatchTest, PropertiesMethodsAndConversions) {
  ComPtr<Counter> c = Counter::Make();
  VARIANT r;
  VariantInit(&r);
  // A string argument converts to LONG for the put.
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(u"41");
  ASSERT_EQ(S_OK, Call(c.Get(), u"Value", DISPATCH_PROPERTYPUT, {text}, nullptr));
  VariantClear(&text);
  ASSERT_EQ(S_OK, Call(c.Get(), u"Value", DISPATCH_PROPERTYGET, {}, &r));
  EXPECT_EQ(VT_I4, r.vt);
  EXPECT_EQ(41, r.lVal);

  ASSERT_EQ(S_OK, Call(c.Get(), u"Add", DISPATCH_METHOD, {Long(40), Long(2)}, &r));
  EXPECT_EQ(42, r.lVal);
  EXPECT_EQ(DISP_E_OVERFLOW, Call(c.Get(), u"Add", DISPATCH_METHOD, {Long(1), Long(70000)}, &r));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(c.Get(), u"Add", DISPATCH_METHOD, {Long(1)}, &r));

  VARIANT prefix, loud;
  prefix.vt = VT_BSTR;
  prefix.bstrVal = SysAllocString(u"n=");
  loud.vt = VT_BOOL;
  loud.boolVal = VARIANT_TRUE;
  ASSERT_EQ(S_OK, Call(c.Get(), u"Describe", DISPATCH_METHOD, {prefix, loud}, &r));
  EXPECT_EQ(VT_BSTR, r.vt);
  EXPECT_EQ("n=41!", BstrToUtf8(r.bstrVal));
  VariantClear(&r);
  VariantClear(&prefix);

  // A by-reference argument is written through.
  LONG slot = 7;
  VARIANT ref;
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &slot;
  ASSERT_EQ(S_OK, Call(c.Get(), u"Swap", DISPATCH_METHOD, {ref}, nullptr));
  EXPECT_EQ(41, slot);

  // Through a VT_BYREF | VT_VARIANT slot the input is read as well, and the
  // output replaces it.
  VARIANT slot_variant = Long(5);
  VARIANT ref_variant;
  ref_variant.vt = VT_BYREF | VT_VARIANT;
  ref_variant.pvarVal = &slot_variant;
  ASSERT_EQ(S_OK, Call(c.Get(), u"Swap", DISPATCH_METHOD, {ref_variant}, nullptr));
  EXPECT_EQ(VT_I4, slot_variant.vt);
  EXPECT_EQ(7, slot_variant.lVal);  // the value before: the 7 swapped in above
  ASSERT_EQ(S_OK, Call(c.Get(), u"Value", DISPATCH_PROPERTYGET, {}, &r));
  EXPECT_EQ(5, r.lVal);
  // A reference to nothing is a type mismatch, not a crash.
  ref_variant.pvarVal = nullptr;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(c.Get(), u"Swap", DISPATCH_METHOD, {ref_variant}, nullptr));
  ref.plVal = nullptr;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(c.Get(), u"Swap", DISPATCH_METHOD, {ref}, nullptr));

  // A failing member's status comes back as is.
  EXPECT_EQ(E_ACCESSDENIED, Call(c.Get(), u"Fail", DISPATCH_METHOD, {}, nullptr));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
            c->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
}

TEST(DispatchTest, ArrayArgumentsAndNullArrays) {
  ComPtr<Counter> c = Counter::Make();
  VARIANT r;
  VariantInit(&r);
  SAFEARRAY* values = SafeArrayCreateVector(VT_I4, 0, 3);
  for (LONG i = 0; i < 3; ++i) {
    LONG v = 10 * (i + 1);
    SafeArrayPutElement(values, &i, &v);
  }
  VARIANT array;
  VariantInit(&array);
  array.vt = VT_ARRAY | VT_I4;
  array.parray = values;
  ASSERT_EQ(S_OK, Call(c.Get(), u"Total", DISPATCH_METHOD, {array}, &r));
  EXPECT_EQ(60, r.lVal);
  SAFEARRAY* by_ref = values;
  VARIANT array_ref;
  array_ref.vt = VT_BYREF | VT_ARRAY | VT_I4;
  array_ref.pparray = &by_ref;
  ASSERT_EQ(S_OK, Call(c.Get(), u"Total", DISPATCH_METHOD, {array_ref}, &r));
  EXPECT_EQ(60, r.lVal);

  // Null arrays, whichever way they come, are statuses.
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(E_INVALIDARG, Call(c.Get(), u"Total", DISPATCH_METHOD, {empty}, &r));  // a null array
  array_ref.pparray = nullptr;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(c.Get(), u"Total", DISPATCH_METHOD, {array_ref}, &r));
  VARIANT variant_ref;
  variant_ref.vt = VT_BYREF | VT_VARIANT;
  variant_ref.pvarVal = nullptr;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(c.Get(), u"Total", DISPATCH_METHOD, {variant_ref}, &r));
  array.parray = nullptr;
  EXPECT_EQ(E_INVALIDARG, Call(c.Get(), u"Total", DISPATCH_METHOD, {array}, &r));
  SafeArrayDestroy(values);
}

TEST(DispatchTest, InterfaceArgumentsAreQueriedAndReturnedWithOneReference) {
  ComPtr<Counter> a = Counter::Make();
  ComPtr<Counter> b = Counter::Make();
  VARIANT arg;
  arg.vt = VT_DISPATCH;
  arg.pdispVal = b.Get();
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(S_OK, Call(a.Get(), u"Partner", DISPATCH_METHOD, {arg}, &r));
  EXPECT_EQ(VT_DISPATCH, r.vt);
  EXPECT_EQ(static_cast<IDispatch*>(b.Get()), r.pdispVal);
  VariantClear(&r);
  // Something that is no object is a type mismatch, not a crash.
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(a.Get(), u"Partner", DISPATCH_METHOD, {Long(5)}, &r));
  // A null object reaches the method as null.
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(E_INVALIDARG, Call(a.Get(), u"Partner", DISPATCH_METHOD, {empty}, &r));
  b->AddRef();
  EXPECT_EQ(1u, b->Release());
}

TEST(ObjectTest, QueryInterfaceAndModuleLockCount) {
  const LONG before = ModuleLockCount().load();
  {
    ComPtr<Counter> c = Counter::Make();
    EXPECT_EQ(before + 1, ModuleLockCount().load());
    ComPtr<IUnknown> unk;
    ComPtr<IDispatch> disp;
    ASSERT_EQ(S_OK, c->QueryInterface(IID_IUnknown, unk.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, c->QueryInterface(IID_IDispatch, disp.ReleaseAndGetVoidAddressOf()));
    EXPECT_EQ(static_cast<void*>(unk.Get()), static_cast<void*>(disp.Get()));
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, c->QueryInterface(IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
  }
  EXPECT_EQ(before, ModuleLockCount().load());
}

// An outer object that aggregates a Counter.
class Outer : public ComObject<Outer, IConnectionPointContainer> {
 public:
  HRESULT FinalConstruct() {
    return Counter::Create(ControllingUnknown(), IID_IUnknown, inner_.ReleaseAndGetVoidAddressOf());
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    if (iid == IID_ITestCounter) return inner_->QueryInterface(iid, ppv);
    return ComObject::QueryInterface(iid, ppv);
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }

 private:
  ComPtr<IUnknown> inner_;
};

TEST(ObjectTest, AggregationDelegatesIdentityAndCounts) {
  ComPtr<IConnectionPointContainer> outer;
  ASSERT_EQ(S_OK, Outer::Create(nullptr, IID_IConnectionPointContainer, outer.ReleaseAndGetVoidAddressOf()));
  ComPtr<ITestCounter> counter;
  ASSERT_EQ(S_OK, outer->QueryInterface(IID_ITestCounter, counter.ReleaseAndGetVoidAddressOf()));
  // Asking the inner object's interface for IUnknown gives the outer identity.
  ComPtr<IUnknown> a, b;
  counter->QueryInterface(IID_IUnknown, a.ReleaseAndGetVoidAddressOf());
  outer->QueryInterface(IID_IUnknown, b.ReleaseAndGetVoidAddressOf());
  EXPECT_EQ(a.Get(), b.Get());
  // Aggregation must ask for IUnknown.
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, Counter::Create(b.Get(), IID_ITestCounter, &p));
  EXPECT_EQ(nullptr, p);
}

TEST(ObjectTest, ClassFactoryCreatesAndLocks) {
  const LONG before = ModuleLockCount().load();
  ComPtr<ClassFactory> factory = ClassFactory::Make(&Counter::Create);
  EXPECT_EQ(before, ModuleLockCount().load());  // class objects do not hold the module
  ComPtr<ITestCounter> c;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITestCounter, c.ReleaseAndGetVoidAddressOf()));
  factory->LockServer(1);
  EXPECT_EQ(before + 2, ModuleLockCount().load());
  factory->LockServer(0);
  c = nullptr;
  EXPECT_EQ(before, ModuleLockCount().load());
  ComPtr<ClassFactory> none = ClassFactory::Make(nullptr);
  EXPECT_EQ(E_NOTIMPL, none->CreateInstance(nullptr, IID_IUnknown, c.ReleaseAndGetVoidAddressOf()));
}

// A sink that records the events it is sent.
class Sink : public ComObject<Sink, IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    log += std::to_string(id) + ":" + std::to_string(p->cArgs) + ";";
    return S_OK;
  }
  std::string log;
};

TEST(ConnectionPointTest, AdviseFireUnadviseEnumerate) {
  ComPtr<ConnectionPoint> cp = ConnectionPoint::Make(nullptr, IID_IDispatch);
  ComPtr<Sink> s1 = Sink::Make(), s2 = Sink::Make();
  DWORD c1 = 0, c2 = 0;
  ASSERT_EQ(S_OK, cp->Advise(s1.Get(), &c1));
  ASSERT_EQ(S_OK, cp->Advise(s2.Get(), &c2));
  EXPECT_NE(c1, c2);
  VARIANT args[2] = {Long(1), Long(2)};
  cp->Fire(7, args, 2);
  EXPECT_EQ("7:2;", s1->log);
  EXPECT_EQ("7:2;", s2->log);

  ComPtr<IEnumConnections> e;
  ASSERT_EQ(S_OK, cp->EnumConnections(e.ReleaseAndGetAddressOf()));
  CONNECTDATA data[3];
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, e->Next(3, data, &fetched));
  ASSERT_EQ(2u, fetched);
  EXPECT_EQ(c1, data[0].dwCookie);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();

  EXPECT_EQ(S_OK, cp->Unadvise(c1));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, cp->Unadvise(c1));
  cp->Fire(8, nullptr, 0);
  EXPECT_EQ("7:2;", s1->log);
  EXPECT_EQ("7:2;8:0;", s2->log);
  EXPECT_EQ(E_POINTER, cp->Advise(nullptr, &c1));
}

// An object with one outgoing interface that also reports errors.
class Source : public ComObject<Source, IConnectionPointContainer, ISupportErrorInfo> {
 public:
  Source() { events_ = points_.Add(this, IID_IDispatch); }
  ~Source() { points_.Detach(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override { return points_.Enum(out); }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    return points_.Find(iid, out);
  }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IConnectionPointContainer ? S_OK : S_FALSE;
  }
  HRESULT Fail() { return ReportError(E_ACCESSDENIED, IID_IConnectionPointContainer, "Source", "busy: caf\xC3\xA9"); }
  void Fire() { events_->Fire(1, nullptr, 0); }

 private:
  ConnectionPoints points_;
  ConnectionPoint* events_;
};

TEST(ConnectionPointTest, ContainerFindsEnumeratesAndOutlivesNobody) {
  ComPtr<Source> source = Source::Make();
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, source->FindConnectionPoint(IID_IClassFactory, point.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, source->FindConnectionPoint(IID_IDispatch, point.ReleaseAndGetAddressOf()));
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(S_OK, source->EnumConnectionPoints(points.ReleaseAndGetAddressOf()));
  IConnectionPoint* first = nullptr;
  ASSERT_EQ(S_OK, points->Next(1, &first, nullptr));
  EXPECT_EQ(point.Get(), first);
  first->Release();

  ComPtr<Sink> sink = Sink::Make();
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(sink.Get(), &cookie));
  source->Fire();
  EXPECT_EQ("1:0;", sink->log);
  ComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.ReleaseAndGetAddressOf()));
  back = nullptr;

  // The host keeps the point after the container is gone: no dangling pointer.
  source = nullptr;
  EXPECT_EQ(E_UNEXPECTED, point->GetConnectionPointContainer(back.ReleaseAndGetAddressOf()));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));  // sinks were let go
}

TEST(ErrorInfoTest, ReportErrorSetsTheThreadsErrorInformation) {
  ComPtr<Source> source = Source::Make();
  EXPECT_EQ(S_OK, source->InterfaceSupportsErrorInfo(IID_IConnectionPointContainer));
  EXPECT_EQ(E_ACCESSDENIED, source->Fail());
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, info.ReleaseAndGetAddressOf()));
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_EQ("busy: caf\xC3\xA9", BstrToUtf8(text));
  SysFreeString(text);
  GUID guid;
  info->GetGUID(&guid);
  EXPECT_TRUE(guid == IID_IConnectionPointContainer);
}

TEST(EnumeratorTest, VariantSnapshotNextSkipResetClone) {
  std::vector<VARIANT> items = {Long(1), Long(2), Long(3)};
  ComPtr<VariantEnumerator> e = VariantEnumerator::Over(items);
  VARIANT v[2];
  ULONG n = 0;
  ASSERT_EQ(S_OK, e->Next(2, v, &n));
  EXPECT_EQ(1, v[0].lVal);
  EXPECT_EQ(2, v[1].lVal);
  ComPtr<IEnumVARIANT> clone;
  ASSERT_EQ(S_OK, e->Clone(clone.ReleaseAndGetAddressOf()));
  EXPECT_EQ(S_FALSE, e->Skip(5));
  ASSERT_EQ(S_OK, clone->Next(1, v, nullptr));
  EXPECT_EQ(3, v[0].lVal);
  e->Reset();
  ASSERT_EQ(S_OK, e->Next(1, v, nullptr));
  EXPECT_EQ(1, v[0].lVal);
}

}  // namespace
}  // namespace tavo
