// Choosing the era that best describes a year, over an era list.
#ifndef TAVO_DATA_DESCRIPTORS_ERA_CHOICE_H_
#define TAVO_DATA_DESCRIPTORS_ERA_CHOICE_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"

namespace tavo {

// With span = end year - start year + 1 (16-bit), an era qualifies when
// min_spread <= span <= 9999 and start year <= year <= end year. Among the
// qualifying eras the narrowest wins; among equally narrow ones the one in
// which the year lies farthest from the nearer boundary; then the earlier in
// list order. The search starts from a best span of 9999 and a best distance
// of 0, so an era of span 9999 is taken only when the year is not on its
// boundary. None when no era qualifies.
const DescriptorItem* ChooseEra(const DescriptorList& eras, uint16_t year, int32_t min_spread) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_ERA_CHOICE_H_
