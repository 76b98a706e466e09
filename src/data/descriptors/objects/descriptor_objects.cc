#include "data/descriptors/objects/descriptor_objects.h"

#include "data/descriptors/objects/own_descriptor_list.h"

namespace tavo {

DescriptorListPtr DescriptorListOf(IUnknown* object) {
  if (object == nullptr) return nullptr;
  ComPtr<ITavoOwnDescriptorList> own;
  if (FAILED(object->QueryInterface(IID_ITavoOwnDescriptorList, own.ReleaseAndGetVoidAddressOf())) || !own) {
    return nullptr;
  }
  DescriptorListPtr list;
  if (FAILED(own->HeldList(&list))) return nullptr;
  return list;
}

}  // namespace tavo
