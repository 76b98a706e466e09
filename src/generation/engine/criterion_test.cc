#include "generation/engine/criterion_test.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "generation/engine/day_number.h"
#include "generation/engine/enum_equality.h"
#include "generation/engine/field_reader.h"
#include "generation/engine/genre_similarity.h"
#include "generation/engine/text_fold.h"
#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

Outcome Match(bool yes, int64_t score = 0) { return yes ? Outcome{1, score} : Outcome{}; }

// The smaller non-zero score of two.
int64_t LeastScore(int64_t a, int64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  return std::min(a, b);
}

bool CompareText(int32_t op, std::string_view text, const std::string_view* param) {
  const auto contains = [&] { return param != nullptr && text.find(*param) != std::string_view::npos; };
  const auto equal = [&] { return param != nullptr && text == *param; };
  switch (op) {
    case txpl_crit_op_str_eq: return equal();
    case txpl_crit_op_str_neq: return !equal();
    case txpl_crit_op_str_cont: return contains();
    case txpl_crit_op_str_ncont: return !contains();
    case txpl_crit_op_str_sta: return param != nullptr && text.starts_with(*param);
    case txpl_crit_op_str_end: return param != nullptr && text.ends_with(*param);
    default: return false;
  }
}

Outcome CompareNumber(int32_t op, int64_t v, int64_t p1, int64_t p2, const std::optional<int64_t>& today,
                      EnumEquality& equality) {
  switch (op) {
    case txpl_crit_op_num_eq:
    case txpl_crit_op_date_eq: return Match(v == p1);
    case txpl_crit_op_date_neq: return Match(v != p1);
    case txpl_crit_op_num_neq:
    case txpl_crit_op_enum_neq: return Match(!equality.Holds(v));
    case txpl_crit_op_enum_eq: return Match(equality.Holds(v));
    case txpl_crit_op_num_lt:
    case txpl_crit_op_date_lt: return Match(v < p1, p1 - v);
    case txpl_crit_op_num_gt:
    case txpl_crit_op_date_gt: return Match(v > p1, v - p1);
    case txpl_crit_op_num_rang:
    case txpl_crit_op_date_rang:
    case txpl_crit_op_enum_rang: return Match(p1 <= v && v <= p2);
    case txpl_crit_op_date_inlast:
      return today ? Match(*today - p1 <= v && v <= *today, *today - v) : Outcome{};
    case txpl_crit_op_date_notinlast: return today ? Match(!(*today - p1 <= v && v <= *today)) : Outcome{};
    default: return {};
  }
}

class NeverTest final : public CriterionTest {
 public:
  Outcome Test(uint32_t) override { return {}; }
};

// Answers per distinct text, remembered by text id.
class TextTest final : public CriterionTest {
 public:
  TextTest(const ViewSnapshot& view, int32_t field, int32_t op, const std::string& param)
      : reader_(view, field), op_(op), known_(view.texts().count(), -1) {
    if (!param.empty()) FoldText(param, &param_);
  }
  Outcome Test(uint32_t slot) override {
    const uint32_t id = reader_.TextId(slot);
    if (id == 0) return {};
    int8_t& known = known_[id];
    if (known < 0) {
      const std::string_view p = param_;
      known = CompareText(op_, reader_.FoldedText(id, &scratch_), param_.empty() ? nullptr : &p) ? 1 : 0;
    }
    return Match(known == 1);
  }

 private:
  FieldReader reader_;
  int32_t op_;
  std::string param_;
  std::vector<int8_t> known_;
  std::string scratch_;
};

// The numeric parameters of a criterion as compared: field 3 in minutes,
// date parameters as day numbers, popularity percentages of enumrang scaled.
struct Operands {
  int64_t p1 = 0;
  int64_t p2 = 0;
  bool valid = true;
};

bool UsesSecondParameter(int32_t op) {
  return op == txpl_crit_op_num_rang || op == txpl_crit_op_date_rang || op == txpl_crit_op_enum_rang;
}

// A selection-based criterion takes p1 from the selected tracks, as values
// that need no conversion; only p2 is its own.
Operands OperandsOf(const CriterionRecord& c, bool date_typed) {
  Operands o{c.int_param(0), c.int_param(1)};
  const int32_t op = c.op;
  const bool p1_given = c.selection_based == 0;
  if (date_typed && op != txpl_crit_op_date_inlast && op != txpl_crit_op_date_notinlast) {
    const std::optional<int64_t> first = DayNumberOfGeneratorDate(static_cast<uint32_t>(c.int_param(0)));
    const std::optional<int64_t> second = DayNumberOfGeneratorDate(static_cast<uint32_t>(c.int_param(1)));
    o.valid = (first.has_value() || !p1_given) && (second.has_value() || !UsesSecondParameter(op));
    o.p1 = first.value_or(0);
    o.p2 = second.value_or(0);
  }
  if (c.field() == txpl_crit_field_file_length) {
    o.p1 *= 60;
    o.p2 *= 60;
  }
  if (op == txpl_crit_op_enum_rang &&
      (c.field() == txpl_crit_field_track_album_pop || c.field() == txpl_crit_field_album_pop)) {
    o.p1 = ScalePercent(o.p1);
    o.p2 = ScalePercent(o.p2);
  }
  if (!p1_given) o.p1 = 0;
  return o;
}

class NumberTest final : public CriterionTest {
 public:
  NumberTest(const EvalContext& context, const CriterionRecord& c, bool date_typed, const Operands& o)
      : reader_(*context.view, c.field(), date_typed),
        op_(c.op),
        operands_(o),
        today_(context.today),
        equality_(c.field(), o.p1, *context.lists) {}
  Outcome Test(uint32_t slot) override {
    const std::optional<int64_t> v = reader_.Number(slot);
    if (!v) return {};
    return CompareNumber(op_, *v, operands_.p1, operands_.p2, today_, equality_);
  }

 private:
  FieldReader reader_;
  int32_t op_;
  Operands operands_;
  std::optional<int64_t> today_;
  EnumEquality equality_;
};

class SimilarityTest final : public CriterionTest {
 public:
  SimilarityTest(EvalContext& context, const CriterionRecord& c, bool date_typed)
      : reader_(*context.view, c.field(), date_typed),
        similarity_(c.field(), c.int_param(0), c.int_param(1), c.int_param(2), context.ScaleOf(c.field()),
                    *context.lists, context.correlates) {
    similarity_.Prepare(context.DistinctValues(c.field(), date_typed));
  }
  Outcome Test(uint32_t slot) override {
    const std::optional<int64_t> v = reader_.Number(slot);
    if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max()) return {};
    const int64_t similarity = similarity_.Of(static_cast<int32_t>(*v));
    return Match(similarity != 0, similarity);
  }

 private:
  FieldReader reader_;
  GenreSimilarity similarity_;
};

// Text criteria against each selected track's text.
class SelectionTextTest final : public CriterionTest {
 public:
  SelectionTextTest(const EvalContext& context, const CriterionRecord& c)
      : reader_(*context.view, c.field()), op_(c.op), known_(context.view->texts().count(), kUnknown) {
    std::string scratch;
    for (uint32_t slot : context.selection) {
      if (slot == kNoSlot) continue;  // a name not in the library matches nothing
      ++found_;
      if (const uint32_t id = reader_.TextId(slot)) {
        ++texts_[std::string(reader_.FoldedText(id, &scratch))];
        ++with_text_;
      }
    }
  }
  Outcome Test(uint32_t slot) override {
    const uint32_t id = reader_.TextId(slot);
    if (id == 0) return {};
    uint32_t& known = known_[id];
    if (known == kUnknown) known = Count(reader_.FoldedText(id, &scratch_));
    return Outcome{known, 0};
  }

 private:
  static constexpr uint32_t kUnknown = UINT32_MAX;

  uint32_t Count(std::string_view text) const {
    const auto equal = texts_.find(std::string(text));
    const uint32_t equal_count = equal != texts_.end() ? equal->second : 0;
    if (op_ == txpl_crit_op_str_eq) return equal_count;
    if (op_ == txpl_crit_op_str_neq) return found_ - equal_count;
    uint32_t count = CompareText(op_, text, nullptr) ? found_ - with_text_ : 0;
    for (const auto& [selected, n] : texts_) {
      const std::string_view p = selected;
      if (CompareText(op_, text, &p)) count += n;
    }
    return count;
  }

  FieldReader reader_;
  int32_t op_;
  std::unordered_map<std::string, uint32_t> texts_;  // folded selected texts, with how many tracks have each
  uint32_t found_ = 0;
  uint32_t with_text_ = 0;
  std::vector<uint32_t> known_;
  std::string scratch_;
};

// Numeric criteria against each selected track's number.
class SelectionNumberTest final : public CriterionTest {
 public:
  SelectionNumberTest(EvalContext& context, const CriterionRecord& c, bool date_typed, const Operands& o)
      : reader_(*context.view, c.field(), date_typed), op_(c.op), p2_(o.p2), today_(context.today) {
    std::unordered_map<int64_t, uint32_t> values;
    for (uint32_t slot : context.selection) {
      if (slot == kNoSlot) continue;
      if (std::optional<int64_t> v = reader_.Number(slot)) {
        ++values[*v];
        ++with_value_;
      }
    }
    for (const auto& [p1, n] : values) {
      counts_.emplace(p1, n);
      Selected& s = operands_.emplace_back(Selected{p1, n, EnumEquality(c.field(), p1, *context.lists), nullptr});
      if (op_ == txpl_crit_op_enum_sim && p1 != 0 && p1 >= std::numeric_limits<int32_t>::min() &&
          p1 <= std::numeric_limits<int32_t>::max()) {
        // "Similar to" the selected track's genre: the criterion's target and window.
        s.similarity = std::make_unique<GenreSimilarity>(c.field(), static_cast<int32_t>(p1), c.int_param(1),
                                                         c.int_param(2), context.ScaleOf(c.field()),
                                                         *context.lists, context.correlates);
        s.similarity->Prepare(context.DistinctValues(c.field(), date_typed));
      }
    }
  }
  Outcome Test(uint32_t slot) override {
    const std::optional<int64_t> v = reader_.Number(slot);
    if (!v) return {};
    auto [it, added] = known_.try_emplace(*v);
    if (added) it->second = Compute(*v);
    return it->second;
  }

 private:
  struct Selected {
    int64_t p1;
    uint32_t n;
    EnumEquality equality;
    std::unique_ptr<GenreSimilarity> similarity;  // operator 18 only
  };

  Outcome CompareOne(int64_t v, Selected& s) {
    if (op_ != txpl_crit_op_enum_sim) return CompareNumber(op_, v, s.p1, p2_, today_, s.equality);
    if (!s.similarity || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
      return {};
    }
    const int64_t similarity = s.similarity->Of(static_cast<int32_t>(v));
    return Match(similarity != 0, similarity);
  }

  Outcome Compute(int64_t v) {
    const auto equal = counts_.find(v);
    const uint32_t equal_count = equal != counts_.end() ? equal->second : 0;
    if (op_ == txpl_crit_op_num_eq || op_ == txpl_crit_op_date_eq) return Outcome{equal_count, 0};
    if (op_ == txpl_crit_op_date_neq) return Outcome{with_value_ - equal_count, 0};
    Outcome total;
    for (Selected& s : operands_) {
      const Outcome o = CompareOne(v, s);
      if (!o.matched()) continue;
      total.count += s.n;
      total.score = LeastScore(total.score, o.score);
    }
    return total;
  }

  FieldReader reader_;
  int32_t op_;
  int64_t p2_;
  std::optional<int64_t> today_;
  std::unordered_map<int64_t, uint32_t> counts_;
  std::vector<Selected> operands_;
  uint32_t with_value_ = 0;
  std::unordered_map<int64_t, Outcome> known_;
};

// A criterion tested through its sub-criteria: all must match.
class AllOfTest final : public CriterionTest {
 public:
  explicit AllOfTest(std::vector<CriterionTestPtr> parts) : parts_(std::move(parts)) {}
  Outcome Test(uint32_t slot) override {
    int64_t score = 0;
    for (const CriterionTestPtr& part : parts_) {
      const Outcome o = part->Test(slot);
      if (!o.matched()) return {};
      score = LeastScore(score, o.score);
    }
    return Outcome{1, score};
  }

 private:
  std::vector<CriterionTestPtr> parts_;
};

}  // namespace

const std::vector<int32_t>& EvalContext::DistinctValues(int32_t field, bool day_numbers) {
  auto [it, added] = distinct_.try_emplace(std::pair(field, day_numbers));
  if (!added) return it->second;
  const FieldReader reader(*view, field, day_numbers);
  std::vector<int32_t>& values = it->second;
  for (uint32_t slot : view->LiveSlots()) {
    const std::optional<int64_t> v = reader.Number(slot);
    if (v && *v >= std::numeric_limits<int32_t>::min() && *v <= std::numeric_limits<int32_t>::max()) {
      values.push_back(static_cast<int32_t>(*v));
    }
  }
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  return values;
}

FieldRange EvalContext::ScaleOf(int32_t field) const {
  if (field == txpl_crit_field_track_genre || field == txpl_crit_field_track_genrev2) return genre_scale;
  return generator != nullptr ? generator->RangeOf(field) : FieldRange{field, 0, 0};
}

bool IsScoringOperator(int32_t op) noexcept {
  return op == txpl_crit_op_enum_sim || op == txpl_crit_op_date_inlast || op == txpl_crit_op_date_notinlast;
}

CriterionTestPtr CompileCriterion(const CriterionRecord& c, EvalContext& context) {
  if (!c.sub_criteria().empty()) {
    std::vector<CriterionTestPtr> parts;
    for (const CriterionRecord& sub : c.sub_criteria()) parts.push_back(CompileCriterion(sub, context));
    return std::make_unique<AllOfTest>(std::move(parts));
  }
  const int32_t type = Criterion_EffectiveType(c.field(), c.op);
  if (c.selection_based != 0 && !context.has_selection) return std::make_unique<NeverTest>();
  if (type == txpl_crit_field_type_unknown) return std::make_unique<NeverTest>();
  if (type == txpl_crit_field_type_string) {
    if (c.op < txpl_crit_op_str_eq || c.op > txpl_crit_op_str_end) return std::make_unique<NeverTest>();
    if (c.selection_based != 0) return std::make_unique<SelectionTextTest>(context, c);
    return std::make_unique<TextTest>(*context.view, c.field(), c.op, c.str_param(0));
  }
  const bool date_typed = type == txpl_crit_field_type_date;
  if (c.op == txpl_crit_op_enum_sim && c.selection_based == 0) {
    if (c.int_param(0) == 0) return std::make_unique<NeverTest>();
    return std::make_unique<SimilarityTest>(context, c, date_typed);
  }
  const Operands operands = OperandsOf(c, date_typed);
  if (!operands.valid) return std::make_unique<NeverTest>();
  if (c.selection_based != 0) return std::make_unique<SelectionNumberTest>(context, c, date_typed, operands);
  return std::make_unique<NumberTest>(context, c, date_typed, operands);
}

}  // namespace tavo
