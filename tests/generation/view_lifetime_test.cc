// Views outlive what they were taken from: generator and criterion records
// are shared, so removing them from their lists (or dropping the lists)
// under live views leaves every member of those views safe to call. Run
// under the sanitizers, these tests catch any dangling record.
#include <gtest/gtest.h>

#include "generation_test_util.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

// Calls every member of each view with valid arguments; results are
// released, statuses only have to be statuses.
void ExerciseGenerator(ITavoPLGenerator* g) {
  BSTR text = nullptr;
  LONG value = 0;
  g->get_Name(&text);
  SysFreeString(text);
  g->put_Name(nullptr);
  text = nullptr;
  g->get_Description(&text);
  SysFreeString(text);
  g->put_Description(nullptr);
  ComPtr<ITavoPLGenCriteriaList> criteria;
  g->get_CriteriaList(criteria.ReleaseAndGetAddressOf());
  if (criteria) g->put_CriteriaList(criteria.Get());
  for (auto [get, put] : {std::pair{&ITavoPLGenerator::get_MatchMode, &ITavoPLGenerator::put_MatchMode},
                          {&ITavoPLGenerator::get_LimitKilobytes, &ITavoPLGenerator::put_LimitKilobytes},
                          {&ITavoPLGenerator::get_LimitMinutes, &ITavoPLGenerator::put_LimitMinutes},
                          {&ITavoPLGenerator::get_LimitSongs, &ITavoPLGenerator::put_LimitSongs},
                          {&ITavoPLGenerator::get_Seed, &ITavoPLGenerator::put_Seed},
                          {&ITavoPLGenerator::get_AutoUpdate, &ITavoPLGenerator::put_AutoUpdate},
                          {&ITavoPLGenerator::get_IsSelectionBased, &ITavoPLGenerator::put_IsSelectionBased}}) {
    (g->*get)(&value);
    (g->*put)(1);
  }
  ComPtr<ITavoPLGenLimitList> limits;
  g->get_LimitList(limits.ReleaseAndGetAddressOf());
  if (limits) g->put_LimitList(limits.Get());
  ComPtr<ITavoPLGenRank> rank;
  g->get_Rank(1, rank.ReleaseAndGetAddressOf());
  if (rank) g->put_Rank(1, rank.Get());
  g->put_Rank(1, nullptr);
  ComPtr<ITavoPLGenerator> clone;
  EXPECT_EQ(S_OK, g->Clone(clone.ReleaseAndGetAddressOf()));
}

void ExerciseCriteria(ITavoPLGenCriteria* c) {
  BSTR text = nullptr;
  LONG value = 0;
  SHORT weight = 0;
  c->get_Description(&text);
  SysFreeString(text);
  c->put_Description(nullptr);
  for (auto [get, put] : {std::pair{&ITavoPLGenCriteria::get_Field, &ITavoPLGenCriteria::put_Field},
                          {&ITavoPLGenCriteria::get_FieldType, &ITavoPLGenCriteria::put_FieldType},
                          {&ITavoPLGenCriteria::get_Operation, &ITavoPLGenCriteria::put_Operation},
                          {&ITavoPLGenCriteria::get_IntParam1, &ITavoPLGenCriteria::put_IntParam1},
                          {&ITavoPLGenCriteria::get_IntParam2, &ITavoPLGenCriteria::put_IntParam2},
                          {&ITavoPLGenCriteria::get_IntParam3, &ITavoPLGenCriteria::put_IntParam3},
                          {&ITavoPLGenCriteria::get_SelectionBased, &ITavoPLGenCriteria::put_SelectionBased},
                          {&ITavoPLGenCriteria::get_Order, &ITavoPLGenCriteria::put_Order}}) {
    EXPECT_EQ(S_OK, (c->*get)(&value));
    EXPECT_EQ(S_OK, (c->*put)(23));  // a popularity field: sub-criteria would go
  }
  for (auto [get, put] : {std::pair{&ITavoPLGenCriteria::get_StrParam1, &ITavoPLGenCriteria::put_StrParam1},
                          {&ITavoPLGenCriteria::get_StrParam2, &ITavoPLGenCriteria::put_StrParam2}}) {
    EXPECT_EQ(S_OK, (c->*get)(&text));
    EXPECT_EQ(S_OK, (c->*put)(text));
    SysFreeString(text);
  }
  EXPECT_EQ(S_OK, c->get_Weight(&weight));
  EXPECT_EQ(S_OK, c->put_Weight(weight));
  for (auto [get, put] : {std::pair{&ITavoPLGenCriteria::get_DateParam1, &ITavoPLGenCriteria::put_DateParam1},
                          {&ITavoPLGenCriteria::get_DateParam2, &ITavoPLGenCriteria::put_DateParam2}}) {
    ComPtr<ITavoPL2Timestamp> date;
    EXPECT_EQ(S_OK, (c->*get)(date.ReleaseAndGetAddressOf()));
    EXPECT_EQ(S_OK, (c->*put)(date.Get()));
  }
}

void ExerciseCriteriaList(ITavoPLGenCriteriaList* list) {
  LONG count = 0;
  EXPECT_EQ(S_OK, list->get_Count(&count));
  ComPtr<ITavoPLGenCriteria> c;
  for (LONG i = 1; i <= count; ++i) {
    if (list->GetCriteria(i, c.ReleaseAndGetAddressOf()) == S_OK) ExerciseCriteria(c.Get());
  }
  ComPtr<ITavoPLGenCriteria> fresh = NewCriteria(5);
  list->AddCriteria(0, fresh.Get());
  list->DeleteCriteria(0, fresh.Get());
  list->AddCriteria(0, NewCriteria(6).Get());
  list->ClearCriteria();
}

void ExerciseLimitList(ITavoPLGenLimitList* list) {
  LONG count = 0;
  EXPECT_EQ(S_OK, list->get_Count(&count));
  ComPtr<ITavoPLGenLimit> limit;
  list->GetLimit(1, limit.ReleaseAndGetAddressOf());
  list->GetLimitForField(12, limit.ReleaseAndGetAddressOf());
  ComPtr<ITavoPLGenLimit> added = HostCreate<TavoPLGenLimit, ITavoPLGenLimit>();
  added->put_Field(12);
  EXPECT_EQ(S_OK, list->AddLimit(0, added.Get()));
  EXPECT_EQ(S_OK, list->DeleteLimit(1, added.Get()));
}

// A list holding one generator with two criteria and a limit.
struct Fixture {
  Fixture() {
    list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
    ComPtr<ITavoPLGenerator> made = NewGenerator();
    ComPtr<ITavoPLGenCriteriaList> criteria = CriteriaOf(made.Get());
    criteria->AddCriteria(0, NewCriteria(12).Get());
    criteria->AddCriteria(0, NewCriteria(23).Get());
    ComPtr<ITavoPLGenLimitList> limits;
    made->get_LimitList(limits.ReleaseAndGetAddressOf());
    ComPtr<ITavoPLGenLimit> limit = HostCreate<TavoPLGenLimit, ITavoPLGenLimit>();
    limit->put_Field(12);
    limit->put_Limit(2);
    limits->AddLimit(0, limit.Get());
    EXPECT_EQ(S_OK, list->AddPLGenerator(made.Get()));
  }
  ComPtr<ITavoPLGeneratorList> list;
};

TEST(ViewLifetimeTest, GeneratorRemovedAndListDroppedUnderLiveViews) {
  Fixture f;
  ComPtr<ITavoPLGenerator> view;
  ASSERT_EQ(S_OK, f.list->GetPLGenerator(0, view.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenCriteriaList> criteria = CriteriaOf(view.Get());
  ComPtr<ITavoPLGenCriteria> criterion;
  ASSERT_EQ(S_OK, criteria->GetCriteria(1, criterion.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenLimitList> limits;
  ASSERT_EQ(S_OK, view->get_LimitList(limits.ReleaseAndGetAddressOf()));

  ASSERT_EQ(S_OK, f.list->RemovePLGenerator(view.Get()));
  f.list = nullptr;

  EXPECT_EQ("New playlist generator", NameOf(view.Get()));
  ExerciseCriteria(criterion.Get());
  ExerciseLimitList(limits.Get());
  ExerciseCriteriaList(criteria.Get());
  ExerciseGenerator(view.Get());
  // The removed generator is whole and may join another list.
  ComPtr<ITavoPLGeneratorList> other = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  EXPECT_EQ(S_OK, other->AddPLGenerator(view.Get()));
}

TEST(ViewLifetimeTest, ListDroppedWithItsGeneratorStillLinked) {
  Fixture f;
  ComPtr<ITavoPLGenerator> view;
  ASSERT_EQ(S_OK, f.list->GetPLGenerator(0, view.ReleaseAndGetAddressOf()));
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, f.list->get__NewEnum(unknown.ReleaseAndGetAddressOf()));
  f.list = nullptr;
  ExerciseGenerator(view.Get());
  ComPtr<IEnumVARIANT> walker;
  ASSERT_EQ(S_OK, unknown.As(&walker));
  VARIANT item;
  ASSERT_EQ(S_OK, walker->Next(1, &item, nullptr));
  ComPtr<ITavoPLGenerator> enumerated;
  item.pdispVal->QueryInterface(IID_ITavoPLGenerator, enumerated.ReleaseAndGetVoidAddressOf());
  VariantClear(&item);
  ExerciseGenerator(enumerated.Get());
}

TEST(ViewLifetimeTest, CriteriaDeletedClearedOrOrphanedUnderLiveViews) {
  Fixture f;
  ComPtr<ITavoPLGenerator> view;
  ASSERT_EQ(S_OK, f.list->GetPLGenerator(0, view.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenCriteriaList> criteria = CriteriaOf(view.Get());
  ComPtr<ITavoPLGenCriteria> deleted, cleared, orphaned;
  ASSERT_EQ(S_OK, criteria->GetCriteria(1, deleted.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, criteria->DeleteCriteria(1, deleted.Get()));
  ExerciseCriteria(deleted.Get());

  ASSERT_EQ(S_OK, criteria->GetCriteria(1, cleared.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, criteria->ClearCriteria());
  ExerciseCriteria(cleared.Get());

  // The last holder of the generator record goes while a criterion view lives.
  ASSERT_EQ(S_OK, criteria->AddCriteria(0, NewCriteria(9).Get()));
  ASSERT_EQ(S_OK, criteria->GetCriteria(1, orphaned.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, f.list->RemovePLGenerator(view.Get()));
  f.list = nullptr;
  view = nullptr;
  criteria = nullptr;
  ExerciseCriteria(orphaned.Get());
  // Each of them is now free-standing and can join a generator again.
  ComPtr<ITavoPLGenCriteriaList> elsewhere = CriteriaOf(NewGenerator().Get());
  for (ITavoPLGenCriteria* c : {deleted.Get(), cleared.Get(), orphaned.Get()})
    EXPECT_EQ(S_OK, elsewhere->AddCriteria(0, c));
  ExerciseCriteriaList(elsewhere.Get());
}

}  // namespace
}  // namespace tavo
