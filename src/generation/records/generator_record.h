// GeneratorRecord: a stored recipe for a dynamic playlist, the plain record
// that runs and preset files work on.
//
// Chains and their ordering rules:
//  - criteria: sorted by field ascending; a criterion joins in front of the
//    first one whose field is >= its own, so criteria of equal field stand in
//    reverse order of addition. Order numbers are 1..count: adding takes the
//    next number (or replaces the criterion holding the number asked for),
//    removing closes the gap.
//  - per-field limits: sorted by field ascending (fields 1 to 52 only); a field
//    may appear more than once.
//  - rank entries: sorted by 0-based position, one entry per position.
//  - field ranges: the first node of a field counts; a new record holds (0, 1000)
//    for fields 18 and 19, and runs put their own ranges in front (two
//    nodes, replaced by the next run).
//
// Criterion records are shared (std::shared_ptr) so that automation views
// stay valid after a criterion leaves the chain; a record is in at most one
// chain at a time.
#ifndef TAVO_GENERATION_RECORDS_GENERATOR_RECORD_H_
#define TAVO_GENERATION_RECORDS_GENERATOR_RECORD_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generation/records/criterion_record.h"
#include "generation/records/generation_status.h"

namespace tavo {

inline constexpr std::string_view kNewGeneratorName = "New playlist generator";
inline constexpr int32_t kFirstLimitField = 1;
inline constexpr int32_t kLastLimitField = 52;

struct FieldLimit {
  int32_t field = 0;
  int32_t limit = 0;
  bool operator==(const FieldLimit&) const = default;
};

struct RankEntry {
  int32_t field = 0;
  int32_t order = 0;  // txpl_rank_order_t
  uint16_t position = 0;
  bool operator==(const RankEntry&) const = default;
};

struct FieldRange {
  int32_t field = 0;
  int32_t minimum = 0;
  int32_t maximum = 0;
  bool operator==(const FieldRange&) const = default;
};

using CriterionPtr = std::shared_ptr<CriterionRecord>;

// A new unlinked criterion of a field, operator, integer parameters and
// first string parameter (empty: none). Throws std::bad_alloc.
CriterionPtr MakeCriterion(int32_t field, int32_t op, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0,
                           std::string text = {});

class GeneratorRecord {
 public:
  GeneratorRecord();
  ~GeneratorRecord();
  GeneratorRecord(const GeneratorRecord&) = delete;
  GeneratorRecord& operator=(const GeneratorRecord&) = delete;

  // A record as the interface makes one on demand: named "New playlist generator".
  static std::shared_ptr<GeneratorRecord> MakeNamed();

  std::string name;
  std::string description;
  int32_t match_mode;           // txpl_criteria_matchmode_t; match all
  uint32_t size_limit_kb = 0;   // 0: none
  uint32_t time_limit_minutes = 0;
  uint32_t song_limit = 0;
  int32_t seed = 0;             // 0: seeded from the clock
  uint8_t auto_update = 0;
  int32_t sort_field = 0;       // 0: none

  // ---- Criteria
  const std::vector<CriterionPtr>& criteria() const { return criteria_; }
  uint16_t criteria_count() const { return static_cast<uint16_t>(criteria_.size()); }
  uint16_t last_order() const { return last_order_; }
  // Links `criterion` (no copy). `where` below 1 or above the last order
  // number appends a new number; otherwise the criterion holding `where` is
  // replaced. kGenBadArgument for a null or already linked record or a full chain.
  GenStatus AddCriterion(int32_t where, CriterionPtr criterion);
  // Unlinks `criterion` and lowers the order numbers above its own.
  GenStatus RemoveCriterion(const CriterionRecord* criterion);
  void ClearCriteria();
  CriterionPtr CriterionWithOrder(int32_t order) const;
  bool Holds(const CriterionRecord* criterion) const;
  bool IsSelectionBased() const;

  // ---- Per-field limits
  const std::vector<FieldLimit>& field_limits() const { return field_limits_; }
  uint16_t field_limit_count() const { return static_cast<uint16_t>(field_limits_.size()); }
  // kGenBadArgument for a field outside 1..52 or a full chain.
  GenStatus AddFieldLimit(FieldLimit limit);
  void ClearFieldLimits() { field_limits_.clear(); }

  // ---- Rank entries
  const std::vector<RankEntry>& rank_entries() const { return rank_entries_; }
  // Replaces the entry at entry.position, or inserts it in position order.
  void SetRank(const RankEntry& entry);
  // Removes the entry at exactly `position`; nothing when there is none.
  void RemoveRank(uint16_t position);
  const RankEntry* RankAt(uint16_t position) const;

  // ---- Field ranges (similarity scale of the genre fields)
  const std::vector<FieldRange>& field_ranges() const { return field_ranges_; }
  void PushFieldRangeFront(const FieldRange& range);
  // A run's similarity scale for fields 18 and 19, in front of the chain.
  // The nodes the previous run put there are replaced rather than added to,
  // so the chain does not grow with every run; the first node of each field
  // is the same either way.
  void SetRunScale(int32_t minimum, int32_t maximum);
  // The first node of `field`; minimum and maximum 0 when there is none.
  FieldRange RangeOf(int32_t field) const;

  // A new record named "New playlist generator" that takes over the name
  // (when set), description, auto-update flag (as 1 or 0), the kilobyte limit,
  // the minute and song limits (low 16 bits), the match mode, copies of the
  // criteria 1 to count at their own order numbers (without sub-criteria and
  // run flags) and the per-field limits. Seed, sort field and rank entries
  // are not copied; the field ranges are the defaults.
  std::shared_ptr<GeneratorRecord> Clone() const;

  // Whether a generator chain holds the record.
  bool linked() const { return linked_; }

 private:
  friend class GeneratorChain;

  void Unlink(std::vector<CriterionPtr>::iterator it);

  std::vector<CriterionPtr> criteria_;
  uint16_t last_order_ = 0;
  std::vector<FieldLimit> field_limits_;
  std::vector<RankEntry> rank_entries_;
  std::vector<FieldRange> field_ranges_;
  bool run_scale_set_ = false;  // field_ranges_[0..1] are the last run's scale
  bool linked_ = false;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_RECORDS_GENERATOR_RECORD_H_
