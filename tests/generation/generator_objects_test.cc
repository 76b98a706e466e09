// The seven classes through their vtables: statuses, quirks, shared views and
// bad input.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "generation_test_util.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

LONG FieldOf(ITavoPLGenCriteriaList* list, LONG order) {
  ComPtr<ITavoPLGenCriteria> c;
  if (list->GetCriteria(order, c.ReleaseAndGetAddressOf()) != S_OK) return -1;
  LONG field = -1;
  c->get_Field(&field);
  return field;
}

TEST(GeneratorObjectTest, HostMadeGeneratorGetsItsRecordWithTheFirstCriterion) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  BSTR text = nullptr;
  LONG value = 5;
  ComPtr<ITavoPLGenLimitList> limits;
  ComPtr<ITavoPLGenRank> rank;
  EXPECT_EQ(E_FAIL, g->get_Name(&text));
  EXPECT_EQ(E_FAIL, g->put_Name(nullptr));
  EXPECT_EQ(E_FAIL, g->put_Description(nullptr));
  EXPECT_EQ(E_FAIL, g->get_Description(&text));
  EXPECT_EQ(E_FAIL, g->get_MatchMode(&value));
  EXPECT_EQ(E_FAIL, g->get_IsSelectionBased(&value));
  EXPECT_EQ(E_FAIL, g->get_LimitList(limits.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_FAIL, g->get_Rank(1, rank.ReleaseAndGetAddressOf()));
  EXPECT_EQ(S_OK, g->put_MatchMode(0));  // ignored without a record
  EXPECT_EQ(S_OK, g->put_LimitSongs(3));

  ComPtr<ITavoPLGenCriteriaList> list = CriteriaOf(g.Get());
  ASSERT_EQ(S_OK, list->get_Count(&value));
  EXPECT_EQ(0, value);
  ASSERT_EQ(S_OK, list->AddCriteria(0, NewCriteria(12).Get()));
  EXPECT_EQ("New playlist generator", NameOf(g.Get()));
  ASSERT_EQ(S_OK, g->get_MatchMode(&value));
  EXPECT_EQ(txpl_matchmode_match_all, value);
  ASSERT_EQ(S_OK, g->get_LimitSongs(&value));
  EXPECT_EQ(0, value);
}

TEST(GeneratorObjectTest, CriteriaOrdersReplacementAndRenumbering) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteriaList> list = CriteriaOf(g.Get());
  for (LONG field : {12, 2, 12}) ASSERT_EQ(S_OK, list->AddCriteria(0, NewCriteria(field).Get()));
  EXPECT_EQ(12, FieldOf(list.Get(), 1));
  EXPECT_EQ(2, FieldOf(list.Get(), 2));
  EXPECT_EQ(12, FieldOf(list.Get(), 3));
  std::vector<std::pair<int32_t, int>> chain;
  for (const CriterionPtr& c : AsOwn<TavoPLGenerator>(g.Get())->record()->criteria())
    chain.emplace_back(c->field(), c->order);
  EXPECT_EQ((std::vector<std::pair<int32_t, int>>{{2, 2}, {12, 3}, {12, 1}}), chain);

  // A list made before the additions answers with the current criteria.
  ComPtr<ITavoPLGenCriteria> out;
  EXPECT_EQ(E_INVALIDARG, list->GetCriteria(0, out.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_INVALIDARG, list->GetCriteria(4, out.ReleaseAndGetAddressOf()));

  ASSERT_EQ(S_OK, list->AddCriteria(2, NewCriteria(40).Get()));  // replaces order 2
  EXPECT_EQ(40, FieldOf(list.Get(), 2));
  LONG count = 0;
  list->get_Count(&count);
  EXPECT_EQ(3, count);

  ComPtr<ITavoPLGenCriteria> second;
  ASSERT_EQ(S_OK, list->GetCriteria(2, second.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, list->DeleteCriteria(99, second.Get()));  // the index is not used
  EXPECT_EQ(12, FieldOf(list.Get(), 2));                     // the third is now the second
  EXPECT_EQ(E_FAIL, list->DeleteCriteria(1, second.Get()));
  EXPECT_EQ(E_FAIL, list->DeleteCriteria(1, NewCriteria(1).Get()));
  // A criterion already in a chain cannot join another one.
  ComPtr<ITavoPLGenCriteria> first;
  ASSERT_EQ(S_OK, list->GetCriteria(1, first.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenerator> other = NewGenerator();
  EXPECT_EQ(E_FAIL, CriteriaOf(other.Get())->AddCriteria(0, first.Get()));
  EXPECT_EQ("<fail>", NameOf(other.Get()));  // still without a record

  ASSERT_EQ(S_OK, list->ClearCriteria());
  list->get_Count(&count);
  EXPECT_EQ(0, count);
  ASSERT_EQ(S_OK, list->AddCriteria(0, NewCriteria(7).Get()));
  EXPECT_EQ(7, FieldOf(list.Get(), 1));
}

TEST(GeneratorObjectTest, ListsMadeByTheHostViewNothingUntilAttached) {
  ComPtr<ITavoPLGenCriteriaList> list = HostCreate<TavoPLGenCriteriaList, ITavoPLGenCriteriaList>();
  EXPECT_EQ(S_OK, list->AddCriteria(0, NewCriteria(3).Get()));
  LONG count = -1;
  list->get_Count(&count);
  EXPECT_EQ(0, count);
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ASSERT_EQ(S_OK, g->put_CriteriaList(list.Get()));
  ASSERT_EQ(S_OK, list->AddCriteria(0, NewCriteria(3).Get()));
  CriteriaOf(g.Get())->get_Count(&count);
  EXPECT_EQ(1, count);
}

TEST(GeneratorObjectTest, ViewsShareTheListsRecords) {
  ComPtr<ITavoPLGeneratorList> list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  ComPtr<ITavoPLGenerator> mine = NewGenerator();
  CriteriaOf(mine.Get())->AddCriteria(0, NewCriteria(12).Get());
  ASSERT_EQ(S_OK, list->AddPLGenerator(mine.Get()));
  mine->put_Seed(9);  // the host's object is the list's generator

  ComPtr<ITavoPLGenerator> view;
  ASSERT_EQ(S_OK, list->GetPLGenerator(0, view.ReleaseAndGetAddressOf()));
  LONG seed = 0;
  view->get_Seed(&seed);
  EXPECT_EQ(9, seed);
  ComPtr<ITavoPLGenCriteria> a, b;
  CriteriaOf(view.Get())->GetCriteria(1, a.ReleaseAndGetAddressOf());
  CriteriaOf(mine.Get())->GetCriteria(1, b.ReleaseAndGetAddressOf());
  a->put_IntParam2(77);
  LONG value = 0;
  b->get_IntParam2(&value);
  EXPECT_EQ(77, value);
}

TEST(GeneratorObjectTest, GeneratorPropertiesKeepTheirWidths) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  CriteriaOf(g.Get())->AddCriteria(0, NewCriteria(1).Get());
  struct Case {
    const char* name;
    HRESULT (STDMETHODCALLTYPE ITavoPLGenerator::*put)(LONG);
    HRESULT (STDMETHODCALLTYPE ITavoPLGenerator::*get)(LONG*);
    LONG in, out;
  };
  const Case cases[] = {
      {"songs", &ITavoPLGenerator::put_LimitSongs, &ITavoPLGenerator::get_LimitSongs, 70000, 4464},
      {"minutes", &ITavoPLGenerator::put_LimitMinutes, &ITavoPLGenerator::get_LimitMinutes, 65536 + 90, 90},
      {"kilobytes", &ITavoPLGenerator::put_LimitKilobytes, &ITavoPLGenerator::get_LimitKilobytes, 70000, 70000},
      {"seed", &ITavoPLGenerator::put_Seed, &ITavoPLGenerator::get_Seed, -5, -5},
      {"match mode", &ITavoPLGenerator::put_MatchMode, &ITavoPLGenerator::get_MatchMode, 7, 7},
      {"auto-update 257", &ITavoPLGenerator::put_AutoUpdate, &ITavoPLGenerator::get_AutoUpdate, 257, 1},
      {"auto-update 2", &ITavoPLGenerator::put_AutoUpdate, &ITavoPLGenerator::get_AutoUpdate, 2, 0},
      {"selection put ignored", &ITavoPLGenerator::put_IsSelectionBased, &ITavoPLGenerator::get_IsSelectionBased,
       1, 0},
  };
  for (const Case& k : cases) {
    LONG value = -1;
    ASSERT_EQ(S_OK, (g.Get()->*k.put)(k.in)) << k.name;
    ASSERT_EQ(S_OK, (g.Get()->*k.get)(&value)) << k.name;
    EXPECT_EQ(k.out, value) << k.name;
  }
  BSTR text = SysAllocString(u"Road trip");
  ASSERT_EQ(S_OK, g->put_Name(text));
  SysFreeString(text);
  EXPECT_EQ("Road trip", NameOf(g.Get()));
  ASSERT_EQ(S_OK, g->put_Name(nullptr));
  EXPECT_EQ("<fail>", NameOf(g.Get()));  // an empty name reads as a failure
  BSTR description = nullptr;
  ASSERT_EQ(S_OK, g->get_Description(&description));
  EXPECT_EQ(nullptr, description);  // none: a null string
}

TEST(GeneratorObjectTest, RankEntriesByOneBasedPosition) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  CriteriaOf(g.Get())->AddCriteria(0, NewCriteria(1).Get());
  ComPtr<ITavoPLGenRank> rank = HostCreate<TavoPLGenRank, ITavoPLGenRank>();
  rank->put_Field(23);
  rank->put_RankOrder(txpl_rank_order_ascending);
  EXPECT_EQ(E_INVALIDARG, g->put_Rank(0, rank.Get()));
  ASSERT_EQ(S_OK, g->put_Rank(2, rank.Get()));
  rank->put_Field(40);
  ASSERT_EQ(S_OK, g->put_Rank(1, rank.Get()));
  auto read = [&](LONG position) {
    ComPtr<ITavoPLGenRank> out;
    EXPECT_EQ(S_OK, g->get_Rank(position, out.ReleaseAndGetAddressOf()));
    LONG field = -1, order = -1;
    out->get_Field(&field);
    out->get_RankOrder(&order);
    return std::make_pair(field, order);
  };
  EXPECT_EQ(std::make_pair(40, LONG{txpl_rank_order_ascending}), read(1));
  EXPECT_EQ(std::make_pair(23, LONG{txpl_rank_order_ascending}), read(2));
  const std::vector<RankEntry>& entries = AsOwn<TavoPLGenerator>(g.Get())->record()->rank_entries();
  EXPECT_EQ(0, entries[0].position);
  ASSERT_EQ(S_OK, g->put_Rank(1, nullptr));  // removes the first entry
  EXPECT_EQ(std::make_pair(0, 0), read(1));
  EXPECT_EQ(std::make_pair(23, LONG{txpl_rank_order_ascending}), read(2));
  auto host = HostRank::Make();
  EXPECT_EQ(E_FAIL, g->put_Rank(1, host.Get()));  // a rank whose getters fail
}

TEST(GeneratorObjectTest, LimitListsAndTheRecordsPerFieldLimits) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  CriteriaOf(g.Get())->AddCriteria(0, NewCriteria(1).Get());
  GeneratorRecord& record = *AsOwn<TavoPLGenerator>(g.Get())->record();
  ComPtr<ITavoPLGenLimitList> list;
  ASSERT_EQ(S_OK, g->get_LimitList(list.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenLimit> limit = HostCreate<TavoPLGenLimit, ITavoPLGenLimit>();
  auto add = [&](LONG field, LONG count) {
    limit->put_Field(field);
    limit->put_Limit(count);
    return list->AddLimit(0, limit.Get());
  };
  ASSERT_EQ(S_OK, add(12, 2));
  ASSERT_EQ(S_OK, add(12, 5));
  ASSERT_EQ(S_OK, add(60, 1));  // kept by the list, refused by the record
  LONG count = 0;
  list->get_Count(&count);
  EXPECT_EQ(2, count);
  ComPtr<ITavoPLGenLimit> out;
  ASSERT_EQ(S_OK, list->GetLimitForField(12, out.ReleaseAndGetAddressOf()));
  LONG value = 0;
  out->get_Limit(&value);
  EXPECT_EQ(5, value);
  EXPECT_EQ((std::vector<FieldLimit>{{12, 5}, {12, 2}}), record.field_limits());  // the field twice
  EXPECT_EQ(E_FAIL, list->GetLimitForField(3, out.ReleaseAndGetAddressOf()));
  for (LONG bad : {0, -1, 3}) EXPECT_EQ(E_FAIL, list->GetLimit(bad, out.ReleaseAndGetAddressOf())) << bad;
  ASSERT_EQ(S_OK, list->GetLimit(2, out.ReleaseAndGetAddressOf()));
  out->get_Field(&value);
  EXPECT_EQ(60, value);
  EXPECT_EQ(S_OK, list->DeleteLimit(1, out.Get()));
  list->get_Count(&count);
  EXPECT_EQ(2, count);

  // The put replaces the record's limits with the list's fields 1 to 52.
  ASSERT_EQ(S_OK, g->put_LimitList(list.Get()));
  EXPECT_EQ((std::vector<FieldLimit>{{12, 5}}), record.field_limits());
  ComPtr<ITavoPLGenLimitList> copy;
  ASSERT_EQ(S_OK, g->get_LimitList(copy.ReleaseAndGetAddressOf()));
  copy->get_Count(&count);
  EXPECT_EQ(1, count);
}

TEST(GeneratorObjectTest, CriteriaProperties) {
  ComPtr<ITavoPLGenCriteria> c = NewCriteria(4);
  LONG value = -1;
  SHORT weight = 0;
  ASSERT_EQ(S_OK, c->get_Weight(&weight));
  EXPECT_EQ(1, weight);
  c->put_Weight(-2);
  c->get_Weight(&weight);
  EXPECT_EQ(-2, weight);
  for (auto [in, out] : {std::pair{1, 1}, {2, 0}, {-1, 0}}) {
    c->put_SelectionBased(in);
    c->get_SelectionBased(&value);
    EXPECT_EQ(out, value) << in;
  }
  EXPECT_EQ(S_OK, c->put_Order(9));
  c->get_Order(&value);
  EXPECT_EQ(0, value);
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, c->get_StrParam1(&text));
  ASSERT_NE(nullptr, text);  // missing: an empty string
  EXPECT_EQ(0u, SysStringLen(text));
  SysFreeString(text);
  ASSERT_EQ(S_OK, c->get_Description(&text));
  EXPECT_EQ(nullptr, text);  // missing: a null string

  // Date parameters travel as generator dates in the integer parameters.
  auto when = Timestamp::Make(DateTime{2007, 3, 5, 14, 7});
  ASSERT_EQ(S_OK, c->put_DateParam2(when.Get()));
  c->get_IntParam2(&value);
  EXPECT_EQ(static_cast<LONG>(2007u * (1 << 20) + 3 * (1 << 16) + 5 * (1 << 11) + 14 * (1 << 6) + 7), value);
  ComPtr<ITavoPL2Timestamp> back;
  ASSERT_EQ(S_OK, c->get_DateParam2(back.ReleaseAndGetAddressOf()));
  DateTime read;
  ASSERT_EQ(S_OK, ReadTimestamp(back.Get(), &read));
  EXPECT_EQ((DateTime{2007, 3, 5, 14, 7}), read);
  EXPECT_EQ(E_INVALIDARG, c->put_DateParam1(nullptr));

  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteria> selecting = NewCriteria(1);
  selecting->put_SelectionBased(1);
  CriteriaOf(g.Get())->AddCriteria(0, NewCriteria(2).Get());
  g->get_IsSelectionBased(&value);
  EXPECT_EQ(0, value);
  CriteriaOf(g.Get())->AddCriteria(0, selecting.Get());
  g->get_IsSelectionBased(&value);
  EXPECT_EQ(1, value);
}

TEST(GeneratorObjectTest, GeneratorListPositionsAndIndexes) {
  ComPtr<ITavoPLGeneratorList> list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  std::vector<ComPtr<ITavoPLGenerator>> g;
  for (const char16_t* name : {u"a", u"b", u"c", u"d"}) {
    g.push_back(NewGenerator());
    CriteriaOf(g.back().Get())->AddCriteria(0, NewCriteria(1).Get());
    BSTR text = SysAllocString(name);
    g.back()->put_Name(text);
    SysFreeString(text);
  }
  LONG position = 0;  // below 1 appends
  ASSERT_EQ(S_OK, list->AddPLGeneratorAtIndex(g[0].Get(), &position));
  EXPECT_EQ(0, position);
  ASSERT_EQ(S_OK, list->AddPLGenerator(g[1].Get()));
  position = 1;
  ASSERT_EQ(S_OK, list->AddPLGeneratorAtIndex(g[2].Get(), &position));
  EXPECT_EQ(1, position);
  position = 40;
  ASSERT_EQ(S_OK, list->AddPLGeneratorAtIndex(g[3].Get(), &position));
  EXPECT_EQ(3, position);
  EXPECT_EQ(E_FAIL, list->AddPLGenerator(g[3].Get()));   // already in the list
  EXPECT_EQ(E_FAIL, list->AddPLGenerator(NewGenerator().Get()));  // no record
  EXPECT_EQ(E_POINTER, list->AddPLGeneratorAtIndex(g[0].Get(), nullptr));

  SHORT count = 0;
  list->get_Count(&count);
  ASSERT_EQ(4, count);
  std::string names;
  ComPtr<ITavoPLGenerator> view;
  for (LONG i = 0; i < count; ++i) {
    ASSERT_EQ(S_OK, list->get_Item(i, view.ReleaseAndGetAddressOf()));
    names += NameOf(view.Get());
  }
  EXPECT_EQ("acbd", names);
  EXPECT_EQ(E_FAIL, list->GetPLGenerator(count, view.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_INVALIDARG, list->GetPLGenerator(count + 1, view.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_INVALIDARG, list->GetPLGenerator(-1, view.ReleaseAndGetAddressOf()));

  // _NewEnum walks the generators in list order.
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, list->get__NewEnum(unknown.ReleaseAndGetAddressOf()));
  ComPtr<IEnumVARIANT> walker;
  ASSERT_EQ(S_OK, unknown.As(&walker));
  VARIANT item[5];
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, walker->Next(5, item, &fetched));
  ASSERT_EQ(4u, fetched);
  names.clear();
  for (ULONG i = 0; i < fetched; ++i) {
    ComPtr<ITavoPLGenerator> each;
    ASSERT_EQ(VT_DISPATCH, item[i].vt);
    item[i].pdispVal->QueryInterface(IID_ITavoPLGenerator, each.ReleaseAndGetVoidAddressOf());
    names += NameOf(each.Get());
    VariantClear(&item[i]);
  }
  EXPECT_EQ("acbd", names);

  ASSERT_EQ(S_OK, list->RemovePLGenerator(g[2].Get()));
  EXPECT_EQ(E_FAIL, list->RemovePLGenerator(g[2].Get()));
  list->get_Count(&count);
  EXPECT_EQ(3, count);
  // A removed generator may join a list again.
  EXPECT_EQ(S_OK, list->AddPLGenerator(g[2].Get()));
}

TEST(GeneratorObjectTest, CloneIsANewGeneratorWithCopiedCriteriaAndLimits) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteriaList> list = CriteriaOf(g.Get());
  for (LONG field : {12, 2}) list->AddCriteria(0, NewCriteria(field).Get());
  g->put_Seed(5);
  ComPtr<ITavoPLGenLimitList> limits;
  g->get_LimitList(limits.ReleaseAndGetAddressOf());
  ComPtr<ITavoPLGenLimit> limit = HostCreate<TavoPLGenLimit, ITavoPLGenLimit>();
  limit->put_Field(12);
  limit->put_Limit(1);
  limits->AddLimit(0, limit.Get());

  ComPtr<ITavoPLGenerator> clone;
  ASSERT_EQ(S_OK, g->Clone(clone.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenCriteriaList> copied = CriteriaOf(clone.Get());
  EXPECT_EQ(12, FieldOf(copied.Get(), 1));
  EXPECT_EQ(2, FieldOf(copied.Get(), 2));
  LONG value = -1;
  clone->get_Seed(&value);
  EXPECT_EQ(0, value);
  clone->get_LimitList(limits.ReleaseAndGetAddressOf());
  limits->get_Count(&value);
  EXPECT_EQ(1, value);
  // Independent records.
  ComPtr<ITavoPLGenCriteria> c;
  copied->GetCriteria(1, c.ReleaseAndGetAddressOf());
  c->put_Field(30);
  EXPECT_EQ(12, FieldOf(list.Get(), 1));
  ASSERT_EQ(S_OK, NewGenerator()->Clone(clone.ReleaseAndGetAddressOf()));
  EXPECT_EQ("New playlist generator", NameOf(clone.Get()));
}

TEST(GeneratorObjectTest, NullOutPointersGiveEPointer) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteriaList> criteria_list = CriteriaOf(g.Get());
  ComPtr<ITavoPLGenCriteria> c = NewCriteria(1);
  criteria_list->AddCriteria(0, c.Get());
  ComPtr<ITavoPLGenLimitList> limits;
  g->get_LimitList(limits.ReleaseAndGetAddressOf());
  ComPtr<ITavoPLGenLimit> limit = HostCreate<TavoPLGenLimit, ITavoPLGenLimit>();
  ComPtr<ITavoPLGenRank> rank = HostCreate<TavoPLGenRank, ITavoPLGenRank>();
  ComPtr<ITavoPLGeneratorList> list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  list->AddPLGenerator(g.Get());
  const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls = {
      {"Name", [&] { return g->get_Name(nullptr); }},
      {"Description", [&] { return g->get_Description(nullptr); }},
      {"CriteriaList", [&] { return g->get_CriteriaList(nullptr); }},
      {"MatchMode", [&] { return g->get_MatchMode(nullptr); }},
      {"LimitKilobytes", [&] { return g->get_LimitKilobytes(nullptr); }},
      {"LimitMinutes", [&] { return g->get_LimitMinutes(nullptr); }},
      {"LimitSongs", [&] { return g->get_LimitSongs(nullptr); }},
      {"Seed", [&] { return g->get_Seed(nullptr); }},
      {"LimitList", [&] { return g->get_LimitList(nullptr); }},
      {"Rank", [&] { return g->get_Rank(1, nullptr); }},
      {"AutoUpdate", [&] { return g->get_AutoUpdate(nullptr); }},
      {"IsSelectionBased", [&] { return g->get_IsSelectionBased(nullptr); }},
      {"Clone", [&] { return g->Clone(nullptr); }},
      {"criteria Count", [&] { return criteria_list->get_Count(nullptr); }},
      {"GetCriteria", [&] { return criteria_list->GetCriteria(1, nullptr); }},
      {"criterion Description", [&] { return c->get_Description(nullptr); }},
      {"Field", [&] { return c->get_Field(nullptr); }},
      {"FieldType", [&] { return c->get_FieldType(nullptr); }},
      {"Operation", [&] { return c->get_Operation(nullptr); }},
      {"IntParam1", [&] { return c->get_IntParam1(nullptr); }},
      {"IntParam2", [&] { return c->get_IntParam2(nullptr); }},
      {"IntParam3", [&] { return c->get_IntParam3(nullptr); }},
      {"StrParam1", [&] { return c->get_StrParam1(nullptr); }},
      {"StrParam2", [&] { return c->get_StrParam2(nullptr); }},
      {"Weight", [&] { return c->get_Weight(nullptr); }},
      {"SelectionBased", [&] { return c->get_SelectionBased(nullptr); }},
      {"Order", [&] { return c->get_Order(nullptr); }},
      {"DateParam1", [&] { return c->get_DateParam1(nullptr); }},
      {"DateParam2", [&] { return c->get_DateParam2(nullptr); }},
      {"limits Count", [&] { return limits->get_Count(nullptr); }},
      {"GetLimit", [&] { return limits->GetLimit(1, nullptr); }},
      {"GetLimitForField", [&] { return limits->GetLimitForField(1, nullptr); }},
      {"limit Field", [&] { return limit->get_Field(nullptr); }},
      {"limit Limit", [&] { return limit->get_Limit(nullptr); }},
      {"rank Field", [&] { return rank->get_Field(nullptr); }},
      {"rank RankOrder", [&] { return rank->get_RankOrder(nullptr); }},
      {"list Count", [&] { return list->get_Count(nullptr); }},
      {"GetPLGenerator", [&] { return list->GetPLGenerator(0, nullptr); }},
      {"Item", [&] { return list->get_Item(0, nullptr); }},
      {"_NewEnum", [&] { return list->get__NewEnum(nullptr); }},
  };
  for (const auto& [name, call] : calls) EXPECT_EQ(E_POINTER, call()) << name;
}

TEST(GeneratorObjectTest, NullAndForeignObjectsGiveEInvalidArg) {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteriaList> criteria_list = CriteriaOf(g.Get());
  criteria_list->AddCriteria(0, NewCriteria(1).Get());
  ComPtr<ITavoPLGenLimitList> limits;
  g->get_LimitList(limits.ReleaseAndGetAddressOf());
  ComPtr<ITavoPLGeneratorList> list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  auto host_generator = HostGenerator::Make();
  auto host_criteria = HostCriteria::Make();
  auto host_criteria_list = HostCriteriaList::Make();
  auto host_limits = HostLimitList::Make();
  auto host_limit = HostLimit::Make();
  LONG position = 0;
  const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls = {
      {"AddCriteria null", [&] { return criteria_list->AddCriteria(0, nullptr); }},
      {"AddCriteria host", [&] { return criteria_list->AddCriteria(0, host_criteria.Get()); }},
      {"DeleteCriteria null", [&] { return criteria_list->DeleteCriteria(1, nullptr); }},
      {"DeleteCriteria host", [&] { return criteria_list->DeleteCriteria(1, host_criteria.Get()); }},
      {"CriteriaList put null", [&] { return g->put_CriteriaList(nullptr); }},
      {"CriteriaList put host", [&] { return g->put_CriteriaList(host_criteria_list.Get()); }},
      {"LimitList put null", [&] { return g->put_LimitList(nullptr); }},
      {"LimitList put host", [&] { return g->put_LimitList(host_limits.Get()); }},
      {"AddLimit null", [&] { return limits->AddLimit(0, nullptr); }},
      {"AddPLGenerator null", [&] { return list->AddPLGenerator(nullptr); }},
      {"AddPLGenerator host", [&] { return list->AddPLGenerator(host_generator.Get()); }},
      {"AddPLGeneratorAtIndex host", [&] { return list->AddPLGeneratorAtIndex(host_generator.Get(), &position); }},
      {"RemovePLGenerator null", [&] { return list->RemovePLGenerator(nullptr); }},
      {"RemovePLGenerator host", [&] { return list->RemovePLGenerator(host_generator.Get()); }},
  };
  for (const auto& [name, call] : calls) EXPECT_EQ(E_INVALIDARG, call()) << name;
  // A host's limit whose getters fail is no limit.
  EXPECT_EQ(E_FAIL, limits->AddLimit(0, host_limit.Get()));
  LONG count = -1;
  criteria_list->get_Count(&count);
  EXPECT_EQ(1, count);
}

}  // namespace
}  // namespace tavo
