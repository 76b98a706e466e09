// The order a descriptor list takes when its items are inserted one at a time,
// in document order, by their ordinals:
//  - an item with ordinal 0 goes to the end;
//  - into an empty list, an item becomes the head;
//  - an item whose ordinal is smaller than the head's becomes the new head;
//  - otherwise it goes in front of the first item after the head whose
//    ordinal is greater than or equal to its own, or to the end when there is
//    none.
// So ordinals 3, 1, 2 come out as 1, 2, 3, and items without ordinal keep
// document order at the end. Of equal ordinals after the head, the later
// item goes in front of the earlier ones.
#ifndef TAVO_DATA_DESCRIPTORS_ORDINAL_ORDER_H_
#define TAVO_DATA_DESCRIPTORS_ORDINAL_ORDER_H_

#include <cstdint>
#include <span>
#include <vector>

namespace tavo {

// The document indexes of the items (0-based), in list order. Runs in
// O(n * sqrt(n)) however the ordinals are arranged; throws std::bad_alloc.
std::vector<uint32_t> OrderByOrdinal(std::span<const int32_t> ordinals);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_ORDINAL_ORDER_H_
