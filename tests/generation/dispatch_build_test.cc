// A host that only speaks IDispatch builds a generator by member names:
// GetIDsOfNames, then Invoke for every property and method.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "generation_test_util.h"
#include "support/dispatch_call.h"

namespace tavo {
namespace {

using host_calls::CallByName;
using host_calls::LongArg;
using host_calls::ObjectArg;
using host_calls::TextArg;

HRESULT Call(IDispatch* d, const char16_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr) {
  return CallByName(d, name, flags, std::move(args), result);
}

HRESULT Put(IDispatch* d, const char16_t* name, std::vector<VARIANT> args) {
  return Call(d, name, DISPATCH_PROPERTYPUT, std::move(args));
}

// A property get; the result variant belongs to the caller.
VARIANT Get(IDispatch* d, const char16_t* name, std::vector<VARIANT> args = {}) {
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(S_OK, Call(d, name, DISPATCH_PROPERTYGET, std::move(args), &result)) << "get";
  return result;
}

ComPtr<IDispatch> New(HRESULT (*create)(IUnknown*, REFIID, void**)) {
  ComPtr<IDispatch> object;
  EXPECT_EQ(S_OK, create(nullptr, IID_IDispatch, object.ReleaseAndGetVoidAddressOf()));
  return object;
}

TEST(DispatchBuildTest, HostBuildsAGeneratorByMemberNames) {
  ComPtr<IDispatch> generator = New(&TavoPLGenerator::Create);
  VARIANT list = Get(generator.Get(), u"CriteriaList");
  ASSERT_EQ(VT_DISPATCH, list.vt);

  for (LONG field : {12, 2}) {
    ComPtr<IDispatch> criterion = New(&TavoPLGenCriteria::Create);
    VARIANT artist = TextArg(u"Somebody");
    ASSERT_EQ(S_OK, Put(criterion.Get(), u"Field", {LongArg(field)}));
    ASSERT_EQ(S_OK, Put(criterion.Get(), u"Operation", {LongArg(txpl_crit_op_str_cont)}));
    ASSERT_EQ(S_OK, Put(criterion.Get(), u"StrParam1", {artist}));
    VariantClear(&artist);
    ASSERT_EQ(S_OK, Call(list.pdispVal, u"AddCriteria", DISPATCH_METHOD, {LongArg(0), ObjectArg(criterion.Get())}));
  }
  VARIANT name = TextArg(u"By name");
  ASSERT_EQ(S_OK, Put(generator.Get(), u"Name", {name}));
  VariantClear(&name);
  ASSERT_EQ(S_OK, Put(generator.Get(), u"LimitSongs", {LongArg(70000)}));
  ASSERT_EQ(S_OK, Put(generator.Get(), u"MatchMode", {LongArg(txpl_matchmode_match_any)}));

  ComPtr<IDispatch> rank = New(&TavoPLGenRank::Create);
  ASSERT_EQ(S_OK, Put(rank.Get(), u"Field", {LongArg(txpl_crit_field_track_global_pop)}));
  ASSERT_EQ(S_OK, Put(rank.Get(), u"RankOrder", {LongArg(txpl_rank_order_descending)}));
  ASSERT_EQ(S_OK, Put(generator.Get(), u"Rank", {LongArg(1), ObjectArg(rank.Get())}));
  EXPECT_EQ(E_INVALIDARG, Put(generator.Get(), u"Rank", {LongArg(0), ObjectArg(rank.Get())}));

  ComPtr<IDispatch> limit = New(&TavoPLGenLimit::Create);
  ASSERT_EQ(S_OK, Put(limit.Get(), u"Field", {LongArg(12)}));
  ASSERT_EQ(S_OK, Put(limit.Get(), u"Limit", {LongArg(1)}));
  ComPtr<IDispatch> limits = New(&TavoPLGenLimitList::Create);
  ASSERT_EQ(S_OK, Call(limits.Get(), u"AddLimit", DISPATCH_METHOD, {LongArg(0), ObjectArg(limit.Get())}));
  ASSERT_EQ(S_OK, Put(generator.Get(), u"LimitList", {ObjectArg(limits.Get())}));

  ComPtr<IDispatch> generators = New(&TavoPLGeneratorList::Create);
  LONG position = 0;
  VARIANT by_ref;
  VariantInit(&by_ref);
  by_ref.vt = VT_BYREF | VT_I4;
  by_ref.plVal = &position;
  ASSERT_EQ(S_OK, Call(generators.Get(), u"AddPLGeneratorAtIndex", DISPATCH_METHOD,
                       {ObjectArg(generator.Get()), by_ref}));
  EXPECT_EQ(0, position);

  // Read it all back through the list, by name as well.
  VARIANT count = Get(generators.Get(), u"Count");
  EXPECT_EQ(VT_I2, count.vt);
  EXPECT_EQ(1, count.iVal);
  VARIANT item = Get(generators.Get(), u"Item", {LongArg(0)});
  ASSERT_EQ(VT_DISPATCH, item.vt);
  VARIANT text = Get(item.pdispVal, u"Name");
  EXPECT_EQ("By name", BstrToUtf8(text.bstrVal));
  VariantClear(&text);
  EXPECT_EQ(4464, Get(item.pdispVal, u"LimitSongs").lVal);
  EXPECT_EQ(txpl_matchmode_match_any, Get(item.pdispVal, u"MatchMode").lVal);
  VARIANT read_rank = Get(item.pdispVal, u"Rank", {LongArg(1)});
  EXPECT_EQ(txpl_crit_field_track_global_pop, Get(read_rank.pdispVal, u"Field").lVal);
  VariantClear(&read_rank);
  VARIANT read_list = Get(item.pdispVal, u"CriteriaList");
  EXPECT_EQ(2, Get(read_list.pdispVal, u"Count").lVal);
  VARIANT first;
  VariantInit(&first);
  ASSERT_EQ(S_OK, Call(read_list.pdispVal, u"GetCriteria", DISPATCH_METHOD, {LongArg(1)}, &first));
  EXPECT_EQ(12, Get(first.pdispVal, u"Field").lVal);
  text = Get(first.pdispVal, u"StrParam1");
  EXPECT_EQ("Somebody", BstrToUtf8(text.bstrVal));
  VariantClear(&text);
  VARIANT read_limits = Get(item.pdispVal, u"LimitList");
  EXPECT_EQ(1, Get(read_limits.pdispVal, u"Count").lVal);

  // A host's own generator, passed through dispatch, is refused.
  auto host = HostGenerator::Make();
  EXPECT_EQ(E_INVALIDARG, Call(generators.Get(), u"AddPLGenerator", DISPATCH_METHOD, {ObjectArg(host.Get())}));

  for (VARIANT* v : {&list, &item, &read_list, &first, &read_limits}) VariantClear(v);
}

// AddPLGeneratorAtIndex's position is [in, out]: through Invoke, a by-
// reference position is read as where to insert, whether it comes as
// VT_BYREF | VT_I4 or as VT_BYREF | VT_VARIANT, and receives the position used.
TEST(DispatchBuildTest, AddAtIndexThroughInvokeInsertsAtTheByReferencePosition) {
  ComPtr<IDispatch> generators = New(&TavoPLGeneratorList::Create);
  auto named = [](const char16_t* name) {
    ComPtr<IDispatch> g = New(&TavoPLGenerator::Create);
    ComPtr<IDispatch> list;
    VARIANT v = Get(g.Get(), u"CriteriaList");
    list = ComPtr<IDispatch>(v.pdispVal);
    VariantClear(&v);
    EXPECT_EQ(S_OK, Call(list.Get(), u"AddCriteria", DISPATCH_METHOD,
                         {LongArg(0), ObjectArg(New(&TavoPLGenCriteria::Create).Get())}));
    VARIANT text = TextArg(name);
    EXPECT_EQ(S_OK, Put(g.Get(), u"Name", {text}));
    VariantClear(&text);
    return g;
  };
  for (const char16_t* name : {u"a", u"b", u"c"}) {
    ASSERT_EQ(S_OK, Call(generators.Get(), u"AddPLGenerator", DISPATCH_METHOD, {ObjectArg(named(name).Get())}));
  }

  LONG position = 1;
  VARIANT as_long;
  VariantInit(&as_long);
  as_long.vt = VT_BYREF | VT_I4;
  as_long.plVal = &position;
  ASSERT_EQ(S_OK, Call(generators.Get(), u"AddPLGeneratorAtIndex", DISPATCH_METHOD,
                       {ObjectArg(named(u"x").Get()), as_long}));
  EXPECT_EQ(1, position);

  VARIANT slot = LongArg(2);
  VARIANT as_variant;
  VariantInit(&as_variant);
  as_variant.vt = VT_BYREF | VT_VARIANT;
  as_variant.pvarVal = &slot;
  ASSERT_EQ(S_OK, Call(generators.Get(), u"AddPLGeneratorAtIndex", DISPATCH_METHOD,
                       {ObjectArg(named(u"y").Get()), as_variant}));
  EXPECT_EQ(VT_I4, slot.vt);
  EXPECT_EQ(2, slot.lVal);

  std::string order;
  for (LONG i = 0; i < 5; ++i) {
    VARIANT item = Get(generators.Get(), u"Item", {LongArg(i)});
    VARIANT name = Get(item.pdispVal, u"Name");
    order += BstrToUtf8(name.bstrVal);
    VariantClear(&name);
    VariantClear(&item);
  }
  EXPECT_EQ("axybc", order);
}

}  // namespace
}  // namespace tavo
