// How the descriptor list classes answer the status codes of the list layer:
// running out of memory is E_OUTOFMEMORY; every other failure (no list, an
// unknown id, an item without children, a walk past 65,535 ids) is E_FAIL.
// The classes' own index checks give E_INVALIDARG and do not come here.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_HRESULT_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_HRESULT_H_

#include "data/descriptors/descriptor_status.h"
#include "platform/com/status_map.h"

namespace tavo {

inline constexpr StatusMapping kDescriptorStatusMapping[] = {
    {kDescOk, S_OK},
    {kDescNoMemory, E_OUTOFMEMORY},
};

constexpr HRESULT DescriptorHresult(DescStatus status) { return MapStatus(kDescriptorStatusMapping, status); }

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_HRESULT_H_
