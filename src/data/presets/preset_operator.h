// Operator names in preset files. One name stands for several operators
// ("eq" is 1, 9, 16 or 21), so a name is resolved within the range of the
// criterion's field type:
//
//   FIELD TYPE        SEARCHED   NO MATCH GIVES
//   1 string          0..6       7
//   2 number          8..13      14
//   3 enumeration     15..18     19
//   4 date            20..27     28
//   any other         0..29      30
//
// The first operator of the range whose name matches (ignoring ASCII case)
// wins; so for a field of unknown type "eq" is 1 and "enumrang" is 29.
#ifndef TAVO_DATA_PRESETS_PRESET_OPERATOR_H_
#define TAVO_DATA_PRESETS_PRESET_OPERATOR_H_

#include <cstdint>
#include <string_view>

namespace tavo {

int32_t ResolvePresetOperator(std::string_view name, int32_t field_type) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_PRESET_OPERATOR_H_
