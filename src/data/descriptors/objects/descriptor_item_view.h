// DescriptorItemView: what every item object shares, an item of a list
// reached through a counted reference to the list and the item's position.
//
// Invariants: a view holds its list alive, so it stays valid after the list
// object it came from is released or the manager replaces that list on a
// refresh (lists never change once made, descriptor_list.h). A view of no
// list (an object made by the class factory) answers E_FAIL.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_VIEW_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_VIEW_H_

#include <cstddef>

#include "data/descriptors/descriptor_list.h"
#include "tavo/tavo.h"

namespace tavo {

class DescriptorItemView {
 public:
  DescriptorItemView() = default;
  // `position` must lie inside `list`.
  DescriptorItemView(DescriptorListPtr list, size_t position);

  // Each follows out_values.h: E_POINTER for a null out pointer first, then
  // E_FAIL without a list.
  HRESULT Id(LONG* id) const;
  HRESULT Name(BSTR* name) const;
  HRESULT Description(BSTR* description) const;
  HRESULT Children(ITavoPLIDList** children) const;
  HRESULT Parents(ITavoPLIDList** parents) const;
  // The kind's extension number in `slot` (0 or 1: start and end of an era
  // or a popularity range), as it was when the view was made.
  HRESULT CopiedExtension(size_t slot, LONG* value) const;

 private:
  const DescriptorItem* item() const;

  DescriptorListPtr list_;
  size_t position_ = 0;
  LONG extension_[2] = {0, 0};
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_VIEW_H_
