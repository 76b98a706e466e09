// What the exception boundary costs a call. The same member, called the
// same way (through the interface's vtable), once on an object built by
// ComObject (the generated guard layer, then the class's own member) and
// once on a hand-written object whose vtable leads straight to the member;
// and a call through Invoke for scale. Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N
// for alternating order and medians.
#include <benchmark/benchmark.h>

#include "platform/com/object.h"

#define TAVO_BASE_IBenchCounter IDispatch
#define TAVO_OWN_IBenchCounter(X, T) X(T, 1, METHOD, Add, RV, (LONG, amount), (LONG*, total))
TAVO_FORWARD(IBenchCounter)
TAVO_INTERFACE(IBenchCounter, 0x7e570003, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x03)

namespace tavo {
namespace {

class BenchCounter : public ComObject<BenchCounter, IBenchCounter> {
 public:
  HRESULT STDMETHODCALLTYPE Add(LONG amount, LONG* total) override {
    if (total == nullptr) return E_POINTER;
    *total = value_ += amount;
    return S_OK;
  }

 private:
  LONG value_ = 0;
};

// The same member without the guard: IUnknown and IDispatch by hand.
class PlainCounter final : public IBenchCounter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Add(LONG amount, LONG* total) override {
    if (total == nullptr) return E_POINTER;
    *total = value_ += amount;
    return S_OK;
  }

 private:
  LONG value_ = 0;
};

// The measured loop, the same for both objects.
void CallThroughTheVtable(benchmark::State& state, IBenchCounter* through) {
  benchmark::DoNotOptimize(through);
  LONG total = 0;
  for (auto _ : state) {
    through->Add(1, &total);
    benchmark::DoNotOptimize(total);
  }
}

void BM_VtableCall_Guarded(benchmark::State& state) {
  ComPtr<BenchCounter> counter = BenchCounter::Make();
  CallThroughTheVtable(state, counter.Get());
}
BENCHMARK(BM_VtableCall_Guarded);

void BM_VtableCall_Unguarded(benchmark::State& state) {
  PlainCounter counter;
  CallThroughTheVtable(state, &counter);
}
BENCHMARK(BM_VtableCall_Unguarded);

void BM_InvokeCall_Guarded(benchmark::State& state) {
  ComPtr<BenchCounter> counter = BenchCounter::Make();
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = 1;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    counter->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    benchmark::DoNotOptimize(result.lVal);
  }
}
BENCHMARK(BM_InvokeCall_Guarded);

}  // namespace
}  // namespace tavo

BENCHMARK_MAIN();
