// Running out of memory at any allocation while advising or enumerating: the
// call answers E_OUTOFMEMORY (never an exception) and every reference it
// took on the sink is given back.
//
// This program replaces the global operator new (support/failing_allocations.h),
// so it is a test binary of its own.
#include <gtest/gtest.h>

#include "platform/com/connection_point.h"
#include "support/failing_allocations.h"

namespace tavo {
namespace {

using tavo::testing::allocations_left;

// A sink that counts its references and answers only IUnknown and IDispatch.
struct CountingSink final : IUnknown {
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = this;
    ++refs;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

// Runs `call` with the n-th allocation failing, for n = 0, 1, ... until a
// run completes without reaching the failure; `check` sees each status.
template <class Call, class Check>
void AtEveryAllocation(Call call, Check check) {
  for (long n = 0;; ++n) {
    allocations_left = n;
    HRESULT hr = E_FAIL;
    EXPECT_NO_THROW(hr = call()) << "allocation " << n;
    const bool reached = allocations_left.load() < 0;
    allocations_left = -1;
    check(hr, n);
    if (!reached) return;
  }
}

TEST(ConnectionPointOutOfMemoryTest, AdviseAndEnumerateGiveBackEveryReference) {
  CountingSink sink;
  ComPtr<ConnectionPoint> point = ConnectionPoint::Make(nullptr, IID_IDispatch);
  ASSERT_TRUE(point);
  AtEveryAllocation(
      [&] {
        DWORD cookie = 0;
        const HRESULT hr = point->Advise(&sink, &cookie);
        if (hr == S_OK) point->Unadvise(cookie);
        return hr;
      },
      [&](HRESULT hr, long n) {
        EXPECT_TRUE(hr == S_OK || hr == E_OUTOFMEMORY) << "allocation " << n;
        EXPECT_EQ(1u, sink.refs) << "allocation " << n;
      });

  DWORD cookies[2];
  ASSERT_EQ(S_OK, point->Advise(&sink, &cookies[0]));
  ASSERT_EQ(S_OK, point->Advise(&sink, &cookies[1]));
  AtEveryAllocation(
      [&] {
        IEnumConnections* connections = nullptr;
        const HRESULT hr = point->EnumConnections(&connections);
        if (connections != nullptr) connections->Release();
        EXPECT_EQ(hr == S_OK, connections != nullptr);
        return hr;
      },
      [&](HRESULT hr, long n) {
        EXPECT_TRUE(hr == S_OK || hr == E_OUTOFMEMORY) << "allocation " << n;
        EXPECT_EQ(3u, sink.refs) << "allocation " << n;
      });
  point->DisconnectAll();
  EXPECT_EQ(1u, sink.refs);
}

}  // namespace
}  // namespace tavo
