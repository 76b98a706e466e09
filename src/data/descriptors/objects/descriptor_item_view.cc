#include "data/descriptors/objects/descriptor_item_view.h"

#include <cassert>
#include <iterator>

#include "data/descriptors/objects/descriptor_text.h"
#include "data/descriptors/objects/pl_id_list.h"
#include "platform/com/out_values.h"

namespace tavo {

DescriptorItemView::DescriptorItemView(DescriptorListPtr list, size_t position)
    : list_(std::move(list)), position_(position) {
  assert(list_ != nullptr && position_ < list_->size());
  const DescriptorItem& copied = list_->items()[position_];
  extension_[0] = copied.extension[0];
  extension_[1] = copied.extension[1];
}

const DescriptorItem* DescriptorItemView::item() const {
  return list_ ? &list_->items()[position_] : nullptr;
}

HRESULT DescriptorItemView::Id(LONG* id) const {
  if (id == nullptr) return E_POINTER;
  if (item() == nullptr) return E_FAIL;
  return StoreOut(id, item()->id);
}

HRESULT DescriptorItemView::Name(BSTR* name) const {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  if (item() == nullptr) return E_FAIL;
  return StoreDescriptorText(name, item()->display_name);
}

HRESULT DescriptorItemView::Description(BSTR* description) const {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  if (item() == nullptr) return E_FAIL;
  return StoreDescriptorText(description, item()->description);
}

HRESULT DescriptorItemView::Children(ITavoPLIDList** children) const {
  if (children == nullptr) return E_POINTER;
  *children = nullptr;
  if (item() == nullptr) return E_FAIL;
  return StoreIdList(children, item()->children);
}

HRESULT DescriptorItemView::Parents(ITavoPLIDList** parents) const {
  if (parents == nullptr) return E_POINTER;
  *parents = nullptr;
  if (item() == nullptr) return E_FAIL;
  return StoreIdList(parents, item()->parents);
}

HRESULT DescriptorItemView::CopiedExtension(size_t slot, LONG* value) const {
  assert(slot < std::size(extension_));
  if (value == nullptr) return E_POINTER;
  if (list_ == nullptr) return E_FAIL;
  return StoreOut(value, extension_[slot]);
}

}  // namespace tavo
