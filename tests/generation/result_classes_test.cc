// The result list, the result and the classic criteria through their
// vtables and through dispatch by name, as hosts call them.
#include <gtest/gtest.h>

#include <limits>
#include <map>

#include "generation/objects/pl2_criteria.h"
#include "generation/objects/pl2_result.h"
#include "generation/objects/pl2_result_list.h"
#include "platform/automation/utf.h"
#include "support/dispatch_call.h"
#include "support/null_out_calls.h"

namespace tavo {
namespace {

using host_calls::CallByName;
using host_calls::LongArg;

std::vector<PlaylistEntry> TwoEntries() {
  return {PlaylistEntry{"/m/a.mp3", "Artist", "Album", "Title", 1234, uint64_t{5} << 30, 241, 192},
          PlaylistEntry{"/m/b.mp3", "", "", "", 0, 10, 1, 2}};
}

std::string TextOf(HRESULT (STDMETHODCALLTYPE ITavoPL2Result::*get)(BSTR*), ITavoPL2Result* r) {
  BSTR s = nullptr;
  EXPECT_EQ(S_OK, (r->*get)(&s));
  std::string text = BstrToUtf8(s);
  SysFreeString(s);
  return text;
}

TEST(ResultListTest, ResultsAreOneBasedCopiesOfTheEntries) {
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, MakeResultList(TwoEntries(), list.ReleaseAndGetAddressOf()));
  LONG count = 0;
  EXPECT_EQ(S_OK, list->get_Count(&count));
  EXPECT_EQ(2, count);
  ComPtr<ITavoPL2Result> first;
  EXPECT_EQ(E_INVALIDARG, list->GetResult(0, first.ReleaseAndGetAddressOf()));
  EXPECT_EQ(nullptr, first.Get());
  EXPECT_EQ(E_INVALIDARG, list->GetResult(3, first.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, list->GetResult(1, first.ReleaseAndGetAddressOf()));
  EXPECT_EQ("/m/a.mp3", TextOf(&ITavoPL2Result::GetFilename, first.Get()));
  EXPECT_EQ("Artist", TextOf(&ITavoPL2Result::GetArtist, first.Get()));
  EXPECT_EQ("Album", TextOf(&ITavoPL2Result::GetAlbum, first.Get()));
  EXPECT_EQ("Title", TextOf(&ITavoPL2Result::GetTitle, first.Get()));
  EXPECT_EQ("1234", TextOf(&ITavoPL2Result::GetGenreId, first.Get()));
  LONG n = 0;
  EXPECT_EQ(S_OK, first->GetFilesize(&n));
  EXPECT_EQ(std::numeric_limits<LONG>::max(), n);  // 5 GiB does not fit
  EXPECT_EQ(S_OK, first->GetTracklength(&n));
  EXPECT_EQ(241, n);
  EXPECT_EQ(S_OK, first->GetBitrate(&n));
  EXPECT_EQ(192, n);
  ComPtr<ITavoPL2Result> second;
  ASSERT_EQ(S_OK, list->get_Item(2, second.ReleaseAndGetAddressOf()));
  EXPECT_EQ("0", TextOf(&ITavoPL2Result::GetGenreId, second.Get()));
  EXPECT_EQ("", TextOf(&ITavoPL2Result::GetArtist, second.Get()));
}

TEST(ResultListTest, EnumeratesEveryResult) {
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, MakeResultList(TwoEntries(), list.ReleaseAndGetAddressOf()));
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, list->get__NewEnum(unknown.ReleaseAndGetAddressOf()));
  ComPtr<IEnumVARIANT> walker;
  ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IEnumVARIANT, walker.ReleaseAndGetVoidAddressOf()));
  VARIANT items[3];
  ULONG fetched = 0;
  for (VARIANT& v : items) VariantInit(&v);
  EXPECT_EQ(S_FALSE, walker->Next(3, items, &fetched));
  ASSERT_EQ(2u, fetched);
  for (ULONG i = 0; i < fetched; ++i) {
    ASSERT_EQ(VT_DISPATCH, items[i].vt);
    ComPtr<ITavoPL2Result> r;
    ASSERT_EQ(S_OK, items[i].pdispVal->QueryInterface(IID_ITavoPL2Result, r.ReleaseAndGetVoidAddressOf()));
    EXPECT_EQ(i == 0 ? "/m/a.mp3" : "/m/b.mp3", TextOf(&ITavoPL2Result::GetFilename, r.Get()));
    VariantClear(&items[i]);
  }
}

TEST(ResultListTest, DispatchByName) {
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, MakeResultList(TwoEntries(), list.ReleaseAndGetAddressOf()));
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, CallByName(list.Get(), u"Count", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(2, result.lVal);
  ASSERT_EQ(S_OK, CallByName(list.Get(), u"GetResult", DISPATCH_METHOD, {LongArg(2)}, &result));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  VARIANT name;
  VariantInit(&name);
  ASSERT_EQ(S_OK, CallByName(result.pdispVal, u"GetFilename", DISPATCH_METHOD, {}, &name));
  ASSERT_EQ(VT_BSTR, name.vt);
  EXPECT_EQ("/m/b.mp3", BstrToUtf8(name.bstrVal));
  VariantClear(&name);
  VariantClear(&result);
  EXPECT_EQ(E_INVALIDARG, CallByName(list.Get(), u"Item", DISPATCH_PROPERTYGET, {LongArg(0)}, &result));
}

TEST(ResultListTest, AListMadeByTheFactoryHoldsNoPlaylist) {
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, TavoPL2ResultList::Create(nullptr, IID_ITavoPL2ResultList, list.ReleaseAndGetVoidAddressOf()));
  LONG count = 7;
  EXPECT_EQ(E_FAIL, list->get_Count(&count));
  ComPtr<ITavoPL2Result> r;
  EXPECT_EQ(E_INVALIDARG, list->GetResult(1, r.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_NOTIMPL, TavoPL2ResultList::Make()->FillFromCriteria(nullptr));
}

TEST(ClassicCriteriaTest, EveryPropertyIsNotImplementedByVtableAndByName) {
  ComPtr<ITavoPL2Criteria> c;
  ASSERT_EQ(S_OK, TavoPL2Criteria::Create(nullptr, IID_ITavoPL2Criteria, c.ReleaseAndGetVoidAddressOf()));
  LONG value = 5;
  EXPECT_EQ(E_NOTIMPL, c->put_GenreId(12));
  EXPECT_EQ(E_NOTIMPL, c->get_GenreId(&value));
  EXPECT_EQ(5, value);
  BSTR text = nullptr;
  EXPECT_EQ(E_NOTIMPL, c->get_Artist(&text));
  EXPECT_EQ(nullptr, text);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(E_NOTIMPL, CallByName(c.Get(), u"MaxResults", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(E_NOTIMPL, CallByName(c.Get(), u"Seed", DISPATCH_PROPERTYPUT, {LongArg(3)}));
}

// Null [out] pointers on the objects a result list hands out.
TEST(ResultListTest, HandedOutObjectsRefuseNullOutPointers) {
  using null_out::DescribedInterface;
#define TAVO_DESCRIBED(I) TAVO_NULL_OUT_ENTRY(I)
  const std::vector<DescribedInterface> interfaces = {
#include "platform/com/description_table_begin.h"
#include "tavo/standard_interfaces.def"
#include "tavo/interfaces.def"
#include "platform/com/description_table_end.h"
  };
#undef TAVO_DESCRIBED
#define TAVO_DOCUMENTED_INVALIDARG(T, id, kind, Method, rv, ...) {#T "::" #Method, E_INVALIDARG},
  const std::map<std::string, HRESULT> documented = {TAVO_OWN_ITavoPL2Result(TAVO_DOCUMENTED_INVALIDARG, ITavoPL2Result)};
#undef TAVO_DOCUMENTED_INVALIDARG
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, MakeResultList(TwoEntries(), list.ReleaseAndGetAddressOf()));
  EXPECT_EQ("", null_out::UnexpectedNullOutStatuses(list.Get(), interfaces, documented));
  ComPtr<ITavoPL2Result> r;
  ASSERT_EQ(S_OK, list->GetResult(1, r.ReleaseAndGetAddressOf()));
  EXPECT_EQ("", null_out::UnexpectedNullOutStatuses(r.Get(), interfaces, documented));
  ComPtr<IUnknown> walker;
  ASSERT_EQ(S_OK, list->get__NewEnum(walker.ReleaseAndGetAddressOf()));
  EXPECT_EQ("", null_out::UnexpectedNullOutStatuses(walker.Get(), interfaces, documented));
}

}  // namespace
}  // namespace tavo
