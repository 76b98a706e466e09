// The generator and criterion records: chain ordering, numbering, limits,
// rank entries, field ranges, clone, and the link rules of the chains.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "generation/records/generator_chain.h"
#include "generation/records/generator_record.h"

namespace tavo {
namespace {

CriterionPtr NewCriterion(int32_t field) {
  auto c = std::make_shared<CriterionRecord>();
  c->set_field(field);
  return c;
}

// (field, order) of the chain, front to back.
std::vector<std::pair<int32_t, int>> Chain(const GeneratorRecord& g) {
  std::vector<std::pair<int32_t, int>> out;
  for (const CriterionPtr& c : g.criteria()) out.emplace_back(c->field(), c->order);
  return out;
}

TEST(GeneratorRecordTest, NewRecordDefaults) {
  GeneratorRecord g;
  EXPECT_EQ("", g.name);
  EXPECT_EQ("New playlist generator", GeneratorRecord::MakeNamed()->name);
  EXPECT_EQ(1, g.match_mode);
  EXPECT_EQ((std::vector<FieldRange>{{18, 0, 1000}, {19, 0, 1000}}), g.field_ranges());
  CriterionRecord c;
  EXPECT_EQ(1, c.weight);
  EXPECT_EQ(0, c.order);
}

TEST(GeneratorRecordTest, CriteriaSortByFieldWithLaterEqualFieldsInFront) {
  GeneratorRecord g;
  for (int32_t field : {12, 2, 12}) ASSERT_EQ(kGenOk, g.AddCriterion(0, NewCriterion(field)));
  EXPECT_EQ((std::vector<std::pair<int32_t, int>>{{2, 2}, {12, 3}, {12, 1}}), Chain(g));
  EXPECT_EQ(3, g.criteria_count());
  EXPECT_EQ(3, g.last_order());
}

TEST(GeneratorRecordTest, AddingAtAnExistingOrderReplacesThatCriterion) {
  GeneratorRecord g;
  for (int32_t field : {5, 6, 7}) g.AddCriterion(-1, NewCriterion(field));
  CriterionPtr old = g.CriterionWithOrder(2);
  ASSERT_EQ(kGenOk, g.AddCriterion(2, NewCriterion(1)));
  EXPECT_EQ((std::vector<std::pair<int32_t, int>>{{1, 2}, {5, 1}, {7, 3}}), Chain(g));
  EXPECT_EQ(3, g.last_order());
  EXPECT_FALSE(old->linked());
  // Above the last order number: a new number.
  g.AddCriterion(9, NewCriterion(8));
  EXPECT_EQ(8, g.CriterionWithOrder(4)->field());
}

TEST(GeneratorRecordTest, RemovingRenumbersTheCriteriaAbove) {
  GeneratorRecord g;
  for (int32_t field : {1, 2, 3}) g.AddCriterion(0, NewCriterion(field));
  CriterionPtr second = g.CriterionWithOrder(2);
  ASSERT_EQ(kGenOk, g.RemoveCriterion(second.get()));
  EXPECT_EQ((std::vector<std::pair<int32_t, int>>{{1, 1}, {3, 2}}), Chain(g));
  EXPECT_EQ(2, g.last_order());
  EXPECT_EQ(kGenNotFound, g.RemoveCriterion(second.get()));
  EXPECT_EQ(kGenBadArgument, g.RemoveCriterion(nullptr));
}

TEST(GeneratorRecordTest, ClearingStartsNumberingOver) {
  GeneratorRecord g;
  for (int32_t field : {1, 2, 3}) g.AddCriterion(0, NewCriterion(field));
  CriterionPtr kept = g.CriterionWithOrder(1);
  g.ClearCriteria();
  EXPECT_EQ(0, g.criteria_count());
  EXPECT_FALSE(kept->linked());
  g.AddCriterion(0, NewCriterion(4));
  EXPECT_EQ(4, g.CriterionWithOrder(1)->field());
}

TEST(GeneratorRecordTest, ARecordIsInOneChainAtATime) {
  GeneratorRecord a, b;
  CriterionPtr c = NewCriterion(3);
  ASSERT_EQ(kGenOk, a.AddCriterion(0, c));
  EXPECT_EQ(kGenBadArgument, b.AddCriterion(0, c));
  // Re-adding a criterion at its own number would replace (and drop) itself.
  EXPECT_EQ(kGenBadArgument, a.AddCriterion(1, c));
  EXPECT_EQ(1, a.criteria_count());
  EXPECT_EQ(kGenBadArgument, a.AddCriterion(0, nullptr));
  a.RemoveCriterion(c.get());
  EXPECT_EQ(kGenOk, b.AddCriterion(0, c));
}

TEST(GeneratorRecordTest, DestroyingTheGeneratorFreesItsCriteriaForReuse) {
  CriterionPtr c = NewCriterion(3);
  {
    GeneratorRecord g;
    g.AddCriterion(0, c);
    EXPECT_TRUE(c->linked());
  }
  EXPECT_FALSE(c->linked());
  CriterionRecord copy = *c;  // a copy never inherits a link
  EXPECT_FALSE(copy.linked());
}

TEST(GeneratorRecordTest, PopularityCriteriaDropSubCriteriaWhenChanged) {
  struct Case {
    int32_t field;
    void (*change)(CriterionRecord&);
    bool dropped;
  };
  const Case cases[] = {
      {23, [](CriterionRecord& c) { c.set_int_param(2, 7); }, true},
      {33, [](CriterionRecord& c) { c.set_str_param(1, "x"); }, true},
      {22, [](CriterionRecord& c) { c.set_field(12); }, true},
      {12, [](CriterionRecord& c) { c.set_field(37); }, true},
      {38, [](CriterionRecord& c) { c.op = 16; }, false},
      {12, [](CriterionRecord& c) { c.set_int_param(0, 1); }, false},
  };
  for (const Case& k : cases) {
    CriterionRecord c;
    c.set_field(k.field);
    c.mutable_sub_criteria().emplace_back();
    k.change(c);
    EXPECT_EQ(k.dropped, c.sub_criteria().empty()) << "field " << k.field;
  }
}

TEST(GeneratorRecordTest, FieldLimitsStaySortedAndRefuseFieldsOutside1To52) {
  GeneratorRecord g;
  for (FieldLimit l : std::vector<FieldLimit>{{12, 1}, {2, 5}, {12, 3}, {52, 1}}) ASSERT_EQ(kGenOk, g.AddFieldLimit(l));
  EXPECT_EQ(kGenBadArgument, g.AddFieldLimit({0, 1}));
  EXPECT_EQ(kGenBadArgument, g.AddFieldLimit({53, 1}));
  EXPECT_EQ((std::vector<FieldLimit>{{2, 5}, {12, 3}, {12, 1}, {52, 1}}), g.field_limits());
}

TEST(GeneratorRecordTest, RankEntriesByPosition) {
  GeneratorRecord g;
  g.SetRank({23, 0x100000, 2});
  g.SetRank({40, 0x200000, 0});
  g.SetRank({7, 0x100000, 1});
  g.SetRank({39, 0x200000, 2});  // replaces position 2
  EXPECT_EQ((std::vector<RankEntry>{{40, 0x200000, 0}, {7, 0x100000, 1}, {39, 0x200000, 2}}), g.rank_entries());
  g.RemoveRank(1);
  g.RemoveRank(9);
  EXPECT_EQ(nullptr, g.RankAt(1));
  EXPECT_EQ(2u, g.rank_entries().size());
}

TEST(GeneratorRecordTest, FirstFieldRangeOfAFieldCounts) {
  GeneratorRecord g;
  g.PushFieldRangeFront({18, 0, 10});
  EXPECT_EQ((FieldRange{18, 0, 10}), g.RangeOf(18));
  EXPECT_EQ((FieldRange{19, 0, 1000}), g.RangeOf(19));
  EXPECT_EQ((FieldRange{32, 0, 0}), g.RangeOf(32));
}

TEST(GeneratorRecordTest, CloneCopiesTheRecipeButNotSeedSortRankOrRunState) {
  GeneratorRecord g;
  g.name = "Mine";
  g.description = "d";
  g.auto_update = 2;  // only 1 reads as set
  g.size_limit_kb = 100000;
  g.time_limit_minutes = 70000;
  g.song_limit = 12;
  g.match_mode = 0;
  g.seed = 5;
  g.sort_field = 12;
  g.SetRank({23, 0x100000, 0});
  g.PushFieldRangeFront({18, 0, 10});
  for (int32_t field : {12, 2, 12}) g.AddCriterion(0, NewCriterion(field));
  CriterionPtr first = g.CriterionWithOrder(1);
  first->set_str_param(0, "abc");
  first->selection_based = 1;
  first->flags = kCriterionSkipInRun;
  first->mutable_sub_criteria().emplace_back();
  g.AddFieldLimit({12, 2});
  g.AddFieldLimit({12, 4});

  std::shared_ptr<GeneratorRecord> c = g.Clone();
  EXPECT_EQ("Mine", c->name);
  EXPECT_EQ("d", c->description);
  EXPECT_EQ(0, c->auto_update);
  EXPECT_EQ(100000u, c->size_limit_kb);
  EXPECT_EQ(70000u & 0xFFFF, c->time_limit_minutes);
  EXPECT_EQ(12u, c->song_limit);
  EXPECT_EQ(0, c->match_mode);
  EXPECT_EQ(0, c->seed);
  EXPECT_EQ(0, c->sort_field);
  EXPECT_TRUE(c->rank_entries().empty());
  EXPECT_EQ((std::vector<FieldRange>{{18, 0, 1000}, {19, 0, 1000}}), c->field_ranges());
  EXPECT_EQ(g.field_limits(), c->field_limits());
  ASSERT_EQ(3, c->criteria_count());
  for (int order = 1; order <= 3; ++order) {
    CriterionPtr copy = c->CriterionWithOrder(order);
    EXPECT_NE(g.CriterionWithOrder(order), copy);
    EXPECT_EQ(g.CriterionWithOrder(order)->field(), copy->field());
  }
  CriterionPtr copy = c->CriterionWithOrder(1);
  EXPECT_EQ("abc", copy->str_param(0));
  EXPECT_EQ(1, copy->selection_based);
  EXPECT_EQ(0u, copy->flags);
  EXPECT_TRUE(copy->sub_criteria().empty());
  EXPECT_FALSE(c->linked());

  GeneratorRecord unnamed;
  EXPECT_EQ("New playlist generator", unnamed.Clone()->name);
}

TEST(GeneratorChainTest, InsertPositionsAndLinking) {
  GeneratorChain chain;
  std::vector<GeneratorPtr> g;
  for (int i = 0; i < 4; ++i) g.push_back(std::make_shared<GeneratorRecord>());
  int32_t used = -7;
  ASSERT_EQ(kGenOk, chain.Insert(g[0], 0, &used));  // 0 appends
  EXPECT_EQ(0, used);
  ASSERT_EQ(kGenOk, chain.Insert(g[1], 5, &used));  // past the end appends
  EXPECT_EQ(1, used);
  ASSERT_EQ(kGenOk, chain.Insert(g[2], 1, &used));
  EXPECT_EQ(1, used);
  EXPECT_EQ((std::vector<GeneratorPtr>{g[0], g[2], g[1]}), chain.records());
  EXPECT_EQ(kGenBadArgument, chain.Append(g[2]));
  EXPECT_EQ(kGenBadArgument, chain.Append(nullptr));

  GeneratorChain other;
  EXPECT_EQ(kGenBadArgument, other.Append(g[0]));
  ASSERT_EQ(kGenOk, chain.Remove(g[0].get()));
  EXPECT_FALSE(g[0]->linked());
  EXPECT_EQ(kGenNotFound, chain.Remove(g[0].get()));
  EXPECT_EQ(kGenOk, other.Append(g[0]));
  {
    GeneratorChain moved = std::move(chain);
    EXPECT_TRUE(g[1]->linked());
  }
  EXPECT_FALSE(g[1]->linked());
}

}  // namespace
}  // namespace tavo
