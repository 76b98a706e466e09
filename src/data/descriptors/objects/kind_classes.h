// Which classes stand for a list of each kind, in one table (kind_classes.cc):
//
//   KIND                    LIST CLASS                ITEM CLASS
//   0 eras                  TavoEraDisplayList        TavoEra
//   1 origins               TavoOriginsList           TavoPLDataListItem
//   2 artist types,         TavoArtistTypeList        TavoPLDataListItem
//     named lists
//   3 genres                TavoGenreDisplayList      TavoPLDataListItem
//   4 popularity ranges     TavoPopularityRangeList   TavoPopularityRange
//   5 genre families        TavoPLDataList            TavoPLDataListItem
//
// MakeDescriptorListObject (descriptor_objects.h) makes the list class.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_KIND_CLASSES_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_KIND_CLASSES_H_

#include <cstddef>

#include "data/descriptors/descriptor_list.h"
#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

namespace tavo {

// A new object of the item class for `list`'s kind, viewing the item at
// `position` (which must lie inside the list); null when out of memory.
ComPtr<ITavoPLDataListItem> MakeItemObject(const DescriptorListPtr& list, size_t position);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_KIND_CLASSES_H_
