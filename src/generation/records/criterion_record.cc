#include "generation/records/criterion_record.h"

#include <algorithm>
#include <array>
#include <utility>

#include "tavo/enums.h"

namespace tavo {
namespace {

constexpr std::array<int32_t, 5> kPopularityFields = {
    txpl_crit_field_track_album_pop, txpl_crit_field_track_global_pop, txpl_crit_field_album_pop,
    txpl_crit_field_track_local_pop, txpl_crit_field_artist_local_pop};

}  // namespace

bool IsPopularityField(int32_t field) {
  return std::find(kPopularityFields.begin(), kPopularityFields.end(), field) != kPopularityFields.end();
}

void CriterionRecord::DropSubCriteriaOfPopularityField() {
  if (IsPopularityField(field_)) sub_criteria_.clear();
}

void CriterionRecord::set_field(int32_t field) {
  // Either side of the change invalidates sub-criteria derived for a
  // popularity field.
  DropSubCriteriaOfPopularityField();
  field_ = field;
  DropSubCriteriaOfPopularityField();
}

void CriterionRecord::set_int_param(int index, int32_t value) {
  int_params_[index] = value;
  DropSubCriteriaOfPopularityField();
}

void CriterionRecord::set_str_param(int index, std::string value) {
  str_params_[index] = std::move(value);
  DropSubCriteriaOfPopularityField();
}

CriterionRecord CriterionRecord::CopyForClone() const {
  CriterionRecord copy;
  copy.description = description;
  copy.field_ = field_;
  copy.field_type = field_type;
  copy.op = op;
  std::copy(std::begin(int_params_), std::end(int_params_), copy.int_params_);
  copy.str_params_[0] = str_params_[0];
  copy.str_params_[1] = str_params_[1];
  copy.weight = weight;
  copy.order = order;
  copy.selection_based = selection_based;
  return copy;
}

}  // namespace tavo
