#include "generation/records/generator_record.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "tavo/enums.h"

namespace tavo {
namespace {

constexpr size_t kMaxChain = std::numeric_limits<uint16_t>::max();
// The similarity scale of the genre fields until a run says otherwise.
constexpr FieldRange kDefaultRanges[] = {{txpl_crit_field_track_genre, 0, 1000},
                                         {txpl_crit_field_track_genrev2, 0, 1000}};

}  // namespace

CriterionPtr MakeCriterion(int32_t field, int32_t op, int32_t p1, int32_t p2, int32_t p3, std::string text) {
  auto c = std::make_shared<CriterionRecord>();
  c->set_field(field);
  c->op = op;
  c->set_int_param(0, p1);
  c->set_int_param(1, p2);
  c->set_int_param(2, p3);
  if (!text.empty()) c->set_str_param(0, std::move(text));
  return c;
}

GeneratorRecord::GeneratorRecord()
    : match_mode(txpl_matchmode_match_all), field_ranges_(std::begin(kDefaultRanges), std::end(kDefaultRanges)) {}

GeneratorRecord::~GeneratorRecord() {
  // Views may outlive the record; their criteria become free-standing.
  for (CriterionPtr& c : criteria_) c->link_.linked = false;
}

std::shared_ptr<GeneratorRecord> GeneratorRecord::MakeNamed() {
  auto record = std::make_shared<GeneratorRecord>();
  record->name = kNewGeneratorName;
  return record;
}

void GeneratorRecord::Unlink(std::vector<CriterionPtr>::iterator it) {
  (*it)->link_.linked = false;
  criteria_.erase(it);
}

GenStatus GeneratorRecord::AddCriterion(int32_t where, CriterionPtr criterion) {
  // A record already in a chain would end up in two places at once.
  if (criterion == nullptr || criterion->linked() || criteria_.size() >= kMaxChain) return kGenBadArgument;
  if (where < 1 || where > last_order_) {
    if (last_order_ == std::numeric_limits<uint16_t>::max()) return kGenBadArgument;
    criterion->order = ++last_order_;
  } else {
    auto replaced = std::find_if(criteria_.begin(), criteria_.end(),
                                 [where](const CriterionPtr& c) { return c->order == where; });
    if (replaced != criteria_.end()) Unlink(replaced);
    criterion->order = static_cast<uint16_t>(where);
  }
  auto at = std::find_if(criteria_.begin(), criteria_.end(),
                         [&](const CriterionPtr& c) { return c->field() >= criterion->field(); });
  criterion->link_.linked = true;
  criteria_.insert(at, std::move(criterion));
  return kGenOk;
}

GenStatus GeneratorRecord::RemoveCriterion(const CriterionRecord* criterion) {
  if (criterion == nullptr) return kGenBadArgument;
  auto it = std::find_if(criteria_.begin(), criteria_.end(),
                         [criterion](const CriterionPtr& c) { return c.get() == criterion; });
  if (it == criteria_.end()) return kGenNotFound;
  const uint16_t removed = (*it)->order;
  Unlink(it);
  for (CriterionPtr& c : criteria_) {
    if (c->order > removed) --c->order;
  }
  if (last_order_ > 0) --last_order_;
  return kGenOk;
}

void GeneratorRecord::ClearCriteria() {
  while (!criteria_.empty()) Unlink(criteria_.end() - 1);
  // Numbering starts over, so that criteria added later are 1..count again
  // and reachable by their number.
  last_order_ = 0;
}

CriterionPtr GeneratorRecord::CriterionWithOrder(int32_t order) const {
  for (const CriterionPtr& c : criteria_) {
    if (c->order == order) return c;
  }
  return nullptr;
}

bool GeneratorRecord::Holds(const CriterionRecord* criterion) const {
  return std::any_of(criteria_.begin(), criteria_.end(),
                     [criterion](const CriterionPtr& c) { return c.get() == criterion; });
}

bool GeneratorRecord::IsSelectionBased() const {
  return std::any_of(criteria_.begin(), criteria_.end(),
                     [](const CriterionPtr& c) { return c->selection_based != 0; });
}

GenStatus GeneratorRecord::AddFieldLimit(FieldLimit limit) {
  if (limit.field < kFirstLimitField || limit.field > kLastLimitField || field_limits_.size() >= kMaxChain)
    return kGenBadArgument;
  auto at = std::find_if(field_limits_.begin(), field_limits_.end(),
                         [&](const FieldLimit& l) { return l.field >= limit.field; });
  field_limits_.insert(at, limit);
  return kGenOk;
}

void GeneratorRecord::SetRank(const RankEntry& entry) {
  auto at = std::find_if(rank_entries_.begin(), rank_entries_.end(),
                         [&](const RankEntry& r) { return r.position >= entry.position; });
  if (at != rank_entries_.end() && at->position == entry.position) {
    *at = entry;
  } else {
    rank_entries_.insert(at, entry);
  }
}

void GeneratorRecord::RemoveRank(uint16_t position) {
  std::erase_if(rank_entries_, [position](const RankEntry& r) { return r.position == position; });
}

const RankEntry* GeneratorRecord::RankAt(uint16_t position) const {
  for (const RankEntry& r : rank_entries_) {
    if (r.position == position) return &r;
  }
  return nullptr;
}

void GeneratorRecord::PushFieldRangeFront(const FieldRange& range) {
  field_ranges_.insert(field_ranges_.begin(), range);
  run_scale_set_ = false;  // the run's nodes are no longer in front
}

void GeneratorRecord::SetRunScale(int32_t minimum, int32_t maximum) {
  const FieldRange scale[] = {{txpl_crit_field_track_genre, minimum, maximum},
                              {txpl_crit_field_track_genrev2, minimum, maximum}};
  const bool in_front = run_scale_set_ && field_ranges_.size() >= 2 &&
                        field_ranges_[0].field == scale[0].field && field_ranges_[1].field == scale[1].field;
  if (in_front) {
    field_ranges_[0] = scale[0];
    field_ranges_[1] = scale[1];
  } else {
    field_ranges_.insert(field_ranges_.begin(), std::begin(scale), std::end(scale));
    run_scale_set_ = true;
  }
}

FieldRange GeneratorRecord::RangeOf(int32_t field) const {
  for (const FieldRange& r : field_ranges_) {
    if (r.field == field) return r;
  }
  return FieldRange{field, 0, 0};
}

std::shared_ptr<GeneratorRecord> GeneratorRecord::Clone() const {
  std::shared_ptr<GeneratorRecord> clone = MakeNamed();
  if (!name.empty()) clone->name = name;
  clone->description = description;
  clone->auto_update = auto_update == 1 ? 1 : 0;
  clone->size_limit_kb = size_limit_kb;
  clone->time_limit_minutes = time_limit_minutes & 0xFFFF;
  clone->song_limit = song_limit & 0xFFFF;
  clone->match_mode = match_mode;
  for (int32_t order = 1; order <= criteria_count(); ++order) {
    CriterionPtr source = CriterionWithOrder(order);
    if (source == nullptr) continue;
    clone->AddCriterion(order, std::make_shared<CriterionRecord>(source->CopyForClone()));
  }
  clone->field_limits_ = field_limits_;
  return clone;
}

}  // namespace tavo
