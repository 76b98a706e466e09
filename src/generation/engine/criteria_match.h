// CriteriaMatch: a generator's criteria prepared for one run and combined
// for a track.
//
// Criteria of one field form a group (the chain is sorted by field) whose
// result is the OR of its members. With match mode 1 (all) a track is
// accepted when every group has a matching member; with any other mode when
// at least one criterion matches. A generator without criteria accepts
// nothing. The result does not depend on the order groups are tried in, so
// cheap groups are tried first.
//
// For an accepted track, Describe gives its match count (the sum of every
// criterion's count) and the scores of its rank cells: a matching criterion
// on a rank entry's field sets the cell's use_score flag when it is a
// scoring operator, and its non-zero score replaces the cell's score (later
// criteria of the chain over earlier ones).
#ifndef TAVO_GENERATION_ENGINE_CRITERIA_MATCH_H_
#define TAVO_GENERATION_ENGINE_CRITERIA_MATCH_H_

#include <cstdint>
#include <vector>

#include "generation/engine/criterion_test.h"
#include "generation/engine/rank_cells.h"

namespace tavo {

class CriteriaMatch {
 public:
  // Throws std::bad_alloc.
  CriteriaMatch(const GeneratorRecord& generator, EvalContext& context);

  bool Accepts(uint32_t slot);
  // `cells` has one cell per rank column, values already filled.
  uint32_t Describe(uint32_t slot, const std::vector<RankColumn>& columns, RankCell* cells);

 private:
  struct Member {
    int32_t field;
    int32_t op;
    CriterionTestPtr test;
  };
  struct Group {
    size_t first;
    size_t end;
    int cost;
  };

  std::vector<Member> members_;  // chain order
  std::vector<Group> groups_;    // cheapest first
  bool match_all_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_CRITERIA_MATCH_H_
