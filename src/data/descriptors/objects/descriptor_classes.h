// The ten automation classes of descriptor lists, for the class table.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_CLASSES_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_CLASSES_H_

#include "data/descriptors/objects/item_classes.h"
#include "data/descriptors/objects/list_classes.h"
#include "data/descriptors/objects/pl_id_list.h"

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_CLASSES_H_
