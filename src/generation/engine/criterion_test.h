// CriterionTest: one criterion of a generator, prepared for one run over a
// view snapshot, answering for a slot how many of its tested values matched
// (0 or 1, up to the selection's size for a selection-based criterion) and
// the smallest non-zero score among them.
//
// What a criterion compares (its effective type, vocabulary/field_catalog.h):
//   string  the track's text and string parameter 1, both folded; a track
//           without the text never matches; an empty parameter is no text:
//             1 eq     equal                    2 neq    not eq
//             3 cont   parameter inside text    4 ncont  not cont
//             5 sta    text starts with it      6 end    text ends with it
//           (3, 5 and 6 need a parameter; other operators never match)
//   number  the track's number v (a day number for date fields; none: no
//           match) against p1, p2 (integer parameters 1 and 2; field 3's
//           minutes times 60; date parameters as day numbers, except the
//           day counts of 26 and 27):
//             9, 21 v = p1      22 v != p1        10, 17 not 16
//             11, 23 v < p1, score p1 - v         12, 24 v > p1, score v - p1
//             13, 25 p1 <= v <= p2                29 the same (percent bounds
//                                                 scaled for fields 22, 33)
//             26 today - p1 <= v <= today, score today - v; 27 not 26
//             16 v = p1, or the field's list rule (enum_equality.h)
//             18 genre similarity (genre_similarity.h) as score, p1 = 0 none
//   unknown never matches
// A selection-based criterion takes p1 (or the text) from each selected
// track in turn; names not in the library match nothing. A criterion with
// sub-criteria matches (count 1) when all of them do.
#ifndef TAVO_GENERATION_ENGINE_CRITERION_TEST_H_
#define TAVO_GENERATION_ENGINE_CRITERION_TEST_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "generation/engine/correlate_tables.h"
#include "generation/engine/run_lists.h"
#include "generation/engine/view_snapshot.h"
#include "generation/records/criterion_record.h"
#include "generation/records/generator_record.h"

namespace tavo {

struct Outcome {
  uint32_t count = 0;
  int64_t score = 0;
  bool matched() const { return count > 0; }
};

inline constexpr uint32_t kNoSlot = UINT32_MAX;

// What the tests of one run share.
struct EvalContext {
  const ViewSnapshot* view = nullptr;
  const RunLists* lists = nullptr;
  std::optional<int64_t> today;           // day number; none: "in the last" never matches
  FieldRange genre_scale{0, 0, 10};       // the run's similarity scale of fields 18 and 19
  const GeneratorRecord* generator = nullptr;  // the scale of other fields
  CorrelateTables* correlates = nullptr;
  std::span<const uint32_t> selection;    // selected slots; kNoSlot for names not found
  bool has_selection = false;             // the run was given a selection

  FieldRange ScaleOf(int32_t field) const;
  // The distinct values the live tracks have for `field` (those that fit 32
  // bits), found once per run. Throws std::bad_alloc.
  const std::vector<int32_t>& DistinctValues(int32_t field, bool day_numbers);

 private:
  std::map<std::pair<int32_t, bool>, std::vector<int32_t>> distinct_;
};

class CriterionTest {
 public:
  virtual ~CriterionTest() = default;
  virtual Outcome Test(uint32_t slot) = 0;
};

using CriterionTestPtr = std::unique_ptr<CriterionTest>;

// Prepares `criterion` (its sub-criteria when it has any). Similarity is
// worked out here for every genre the tracks have, so the correlate tables
// are read now and never during the scan. Throws std::bad_alloc.
CriterionTestPtr CompileCriterion(const CriterionRecord& criterion, EvalContext& context);

// Operators whose score ranks tracks on the criterion's field.
bool IsScoringOperator(int32_t op) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_CRITERION_TEST_H_
