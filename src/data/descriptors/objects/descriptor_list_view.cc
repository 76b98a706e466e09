#include "data/descriptors/objects/descriptor_list_view.h"

#include <vector>

#include "data/descriptors/hierarchy.h"
#include "data/descriptors/objects/descriptor_hresult.h"
#include "data/descriptors/objects/kind_classes.h"
#include "data/descriptors/objects/pl_id_list.h"

namespace tavo {
namespace {

using Walk = DescStatus (*)(const DescriptorList&, int32_t, std::vector<int32_t>*) noexcept;

HRESULT StoreWalk(const DescriptorListPtr& list, Walk walk, LONG id, ITavoPLIDList** ids) {
  if (ids == nullptr) return E_POINTER;
  *ids = nullptr;
  if (list == nullptr) return E_FAIL;
  std::vector<int32_t> found;
  if (const DescStatus status = walk(*list, id, &found); status != kDescOk) return DescriptorHresult(status);
  return StoreIdList(ids, found);
}

}  // namespace

HRESULT DescriptorListView::MakeItem(size_t position, ComPtr<ITavoPLDataListItem>* out) const {
  if (list_ == nullptr || position >= list_->size()) return E_FAIL;
  *out = MakeItemObject(list_, position);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DescriptorListView::Count(LONG* count) const {
  if (count == nullptr) return E_POINTER;
  if (list_ == nullptr) return E_FAIL;
  return StoreCount(count);
}

HRESULT DescriptorListView::ItemAt(LONG index, ITavoPLDataListItem** item) const {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  if (list_ == nullptr) return E_FAIL;
  if (index < 1 || static_cast<size_t>(index) > list_->size()) return E_INVALIDARG;
  return StoreItem(static_cast<size_t>(index) - 1, item);
}

HRESULT DescriptorListView::ItemById(LONG id, ITavoPLDataListItem** item) const {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  if (list_ == nullptr) return E_FAIL;
  const int32_t position = list_->IndexOf(id);
  if (position < 0) return DescriptorHresult(kDescIdNotFound);
  return StoreItem(static_cast<size_t>(position), item);
}

HRESULT DescriptorListView::Descendants(LONG id, ITavoPLIDList** ids) const {
  return StoreWalk(list_, &tavo::Descendants, id, ids);
}

HRESULT DescriptorListView::LeafDescendants(LONG id, ITavoPLIDList** ids) const {
  return StoreWalk(list_, &tavo::LeafDescendants, id, ids);
}

}  // namespace tavo
