#include "generation/engine/criteria_match.h"

#include <algorithm>

#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

// A rough cost of testing one criterion: numbers are cheapest, texts and
// similarity are remembered per value, selections compare many values.
int CostOf(const CriterionRecord& c) {
  if (c.selection_based != 0 || !c.sub_criteria().empty()) return 3;
  if (c.op == txpl_crit_op_enum_sim) return 2;
  return Criterion_EffectiveType(c.field(), c.op) == txpl_crit_field_type_string ? 2 : 1;
}

}  // namespace

CriteriaMatch::CriteriaMatch(const GeneratorRecord& generator, EvalContext& context)
    : match_all_(generator.match_mode == txpl_matchmode_match_all) {
  for (const CriterionPtr& c : generator.criteria()) {
    const size_t index = members_.size();
    members_.push_back(Member{c->field(), c->op, CompileCriterion(*c, context)});
    if (groups_.empty() || members_[groups_.back().first].field != c->field()) {
      groups_.push_back(Group{index, index + 1, CostOf(*c)});
    } else {
      groups_.back().end = index + 1;
      groups_.back().cost = std::max(groups_.back().cost, CostOf(*c));
    }
  }
  std::stable_sort(groups_.begin(), groups_.end(), [](const Group& a, const Group& b) { return a.cost < b.cost; });
}

bool CriteriaMatch::Accepts(uint32_t slot) {
  if (members_.empty()) return false;
  for (const Group& g : groups_) {
    bool any = false;
    for (size_t m = g.first; m < g.end && !any; ++m) any = members_[m].test->Test(slot).matched();
    if (any && !match_all_) return true;
    if (!any && match_all_) return false;
  }
  return match_all_;
}

uint32_t CriteriaMatch::Describe(uint32_t slot, const std::vector<RankColumn>& columns, RankCell* cells) {
  uint32_t matches = 0;
  for (Member& m : members_) {
    const Outcome o = m.test->Test(slot);
    matches += o.count;
    if (!o.matched()) continue;
    for (size_t k = 0; k < columns.size(); ++k) {
      if (columns[k].field != m.field) continue;
      if (IsScoringOperator(m.op)) cells[k].use_score = true;
      if (o.score != 0) cells[k].score = o.score;
    }
  }
  return matches;
}

}  // namespace tavo
