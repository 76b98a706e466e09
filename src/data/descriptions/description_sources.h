// Where each description comes from: the resource id of its localized text
// and the built-in English text that stands in when no localized text is
// found. Values outside a table (negative ones included) have neither.
#ifndef TAVO_DATA_DESCRIPTIONS_DESCRIPTION_SOURCES_H_
#define TAVO_DATA_DESCRIPTIONS_DESCRIPTION_SOURCES_H_

#include <cstdint>
#include <string_view>

namespace tavo {

struct DescriptionSource {
  uint16_t resource_id = 0;  // 0: no localized text
  std::string_view english;  // UTF-8; may be empty
};

DescriptionSource FieldDescriptionSource(int32_t field);  // txpl_crit_field_t
DescriptionSource FieldUnitsSource(int32_t field);
DescriptionSource OperatorDescriptionSource(int32_t op);  // txpl_crit_op_t
DescriptionSource OperatorUnitsSource(int32_t op);
DescriptionSource UserInfoDescriptionSource(int32_t info);  // txpl_user_info_t
// `key` is a rank order ORed with a field (txpl_rank_order_ascending | 7).
DescriptionSource CutoffDescriptionSource(int32_t key);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_DESCRIPTION_SOURCES_H_
