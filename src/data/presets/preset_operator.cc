#include "data/presets/preset_operator.h"

#include "data/descriptors/document_values.h"
#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

struct OperatorRange {
  int32_t field_type;
  int32_t first;
  int32_t end;  // one past the last searched; also the answer when nothing matches
};

constexpr OperatorRange kRanges[] = {
    {txpl_crit_field_type_string, txpl_crit_op_str_first, txpl_crit_op_str_last},
    {txpl_crit_field_type_num, txpl_crit_op_num_first, txpl_crit_op_num_last},
    {txpl_crit_field_type_enum, txpl_crit_op_enum_first, txpl_crit_op_enum_last},
    {txpl_crit_field_type_date, txpl_crit_op_date_first, txpl_crit_op_date_last},
};
constexpr OperatorRange kAnyType{-1, txpl_crit_op_str_first, txpl_crit_op_last};

}  // namespace

int32_t ResolvePresetOperator(std::string_view name, int32_t field_type) noexcept {
  OperatorRange range = kAnyType;
  for (const OperatorRange& r : kRanges) {
    if (r.field_type == field_type) range = r;
  }
  for (int32_t op = range.first; op < range.end; ++op) {
    const std::string_view op_name = Operator_Name(op);
    if (!op_name.empty() && NamesEqual(op_name, name)) return op;
  }
  return range.end;
}

}  // namespace tavo
