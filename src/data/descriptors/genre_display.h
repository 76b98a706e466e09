// The genre display list's own lookups: which item stands for a genre id when
// the id is not an item of the list, and the child-id mapping built from that
// rule.
#ifndef TAVO_DATA_DESCRIPTORS_GENRE_DISPLAY_H_
#define TAVO_DATA_DESCRIPTORS_GENRE_DISPLAY_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"

namespace tavo {

// The id to look up for a genre id: ids below 300 and from 10000 up as they
// are; an id from 300 to 9999 as it is when the list holds it, else the id of
// the last item (in list order) that names it as a child, else as it is.
int32_t GenreDisplayId(const DescriptorList& genres, int32_t id) noexcept;

// For every item and every child id that is not itself an item of the list,
// the pair (child id, item id), items in list order and children in order;
// looked up, a child id gives the last item that names it.
DescStatus BuildChildIdMapping(const DescriptorList& genres, IdMapping* out) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_GENRE_DISPLAY_H_
