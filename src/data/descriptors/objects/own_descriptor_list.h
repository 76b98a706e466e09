// The private interface that only this folder's list classes answer.
//
// A host may hand any ITavoGenreDisplayList of its own to a generator list.
// Asking for this interface tells our list objects apart from a host's, and
// its one member hands out the list an object holds, so that no pointer is
// ever cast blindly to one of our classes.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_OWN_DESCRIPTOR_LIST_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_OWN_DESCRIPTOR_LIST_H_

#include "data/descriptors/descriptor_list.h"
#include "tavo/tavo.h"

// HeldList: a counted reference to the list the object holds; null (and
// S_OK) for an object that holds none. E_POINTER for a null `list`.
#define TAVO_BASE_ITavoOwnDescriptorList IUnknown
#define TAVO_OWN_ITavoOwnDescriptorList(X, T) X(T, 0, VTBL, HeldList, NORV, (::tavo::DescriptorListPtr*, list))
TAVO_INTERFACE(ITavoOwnDescriptorList, 0x5d2c81e4, 0x3a7b, 0x4f19, 0x8c, 0x06, 0x1e, 0x94, 0x7b, 0x2d, 0xa3,
               0x50)

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_OWN_DESCRIPTOR_LIST_H_
