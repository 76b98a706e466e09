// The stored form of a descriptor list: the database copy the manager keeps
// of every list it got from the service. One header record, then one record
// per item in list order. Every number is big-endian.
//
// Header record:
//
//   OFFSET  SIZE  DESCRIPTION
//   0       4     layout version, 1
//   4       4     kind (descriptor_kind.h)
//   8       4     storing time: packed record date (vocabulary/dates.h), 0 = none
//   12      4     format version
//   16      4     language id
//   20      4     item count
//   24      ...   name, NUL; revision level as decimal text, NUL; revision tag, NUL
//
// Item record:
//
//   OFFSET  SIZE  DESCRIPTION
//   0       4     id
//   4       4     ordinal
//   8       e     the kind's extension (descriptor_kind.h): eras start and end
//                 year, 2 bytes each; genres master id and system level, 4
//                 each; popularity ranges start and end, 2 each (bounds above
//                 65535 do not survive); nothing for the other kinds
//   8+e     4     child count c
//   12+e    4     parent count p
//   16+e    4c    child ids
//   ...     4p    parent ids
//   ...     ...   display name, NUL (a lone NUL when empty); description, NUL
//
// Parents are stored with the derived links, so a list read back from its
// copy is the list that was stored: nothing is reordered or derived again.
#ifndef TAVO_DATA_DESCRIPTORS_STORED_LIST_H_
#define TAVO_DATA_DESCRIPTORS_STORED_LIST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/descriptors/descriptor_list.h"

namespace tavo {

struct StoredList {
  std::string header;
  std::vector<std::string> items;  // in list order
};

// Throw std::bad_alloc.
std::string EncodeListHeader(const DescriptorListHeader& header, uint32_t stored_time, uint32_t item_count);
std::string EncodeItem(DescriptorKind kind, const DescriptorItem& item);
StoredList EncodeList(const DescriptorList& list, uint32_t stored_time);

// kDescDamaged for bytes that are not a stored header or item (short, a count
// beyond the bytes, trailing bytes, a missing NUL, an unknown kind or layout).
DescStatus DecodeListHeader(std::string_view bytes, DescriptorListHeader* header, uint32_t* stored_time,
                            uint32_t* item_count) noexcept;
DescStatus DecodeItem(DescriptorKind kind, std::string_view bytes, DescriptorItem* item) noexcept;
// The whole list; kDescDamaged also when the item count disagrees.
DescStatus DecodeList(const StoredList& stored, DescriptorListPtr* list, uint32_t* stored_time) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_STORED_LIST_H_
