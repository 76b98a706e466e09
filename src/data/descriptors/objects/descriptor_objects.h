// The seam between plain descriptor lists and their automation objects.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_OBJECTS_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_OBJECTS_H_

#include "data/descriptors/descriptor_list.h"
#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

namespace tavo {

// A new object of the list class for `list`'s kind (kind_classes.h), with
// one reference; ask it for the kind's interface (ITavoGenreDisplayList for
// genres, and so on). Null for a null list or when out of memory.
ComPtr<ITavoPLDataList> MakeDescriptorListObject(DescriptorListPtr list);

// The list held by `object` when it is one of our list objects; null for
// null, a host's object, or one of ours that holds no list.
DescriptorListPtr DescriptorListOf(IUnknown* object);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_OBJECTS_H_
