// DescriptorListView: the members of ITavoPLDataList over a counted
// reference to a list, shared by every list class.
//
// Each member follows out_values.h: E_POINTER for a null out pointer first,
// then E_FAIL when the view holds no list (an object made by the class
// factory). Items are 1-based at the interface; their objects are of the
// item class of the list's kind (item_classes.h) and keep the list alive.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_VIEW_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_VIEW_H_

#include "data/descriptors/descriptor_list.h"
#include "platform/com/collection.h"
#include "tavo/tavo.h"

namespace tavo {

class DescriptorListView : public CollectionOf<DescriptorListView, ITavoPLDataListItem> {
 public:
  DescriptorListView() = default;
  explicit DescriptorListView(DescriptorListPtr list) : list_(std::move(list)) {}

  // Null for a view of no list.
  const DescriptorListPtr& list() const { return list_; }

  // The collection, 0-based.
  size_t ItemCount() const { return list_ ? list_->size() : 0; }
  HRESULT MakeItem(size_t position, ComPtr<ITavoPLDataListItem>* out) const;

  HRESULT Count(LONG* count) const;
  // E_INVALIDARG for an index below 1 or above Count.
  HRESULT ItemAt(LONG index, ITavoPLDataListItem** item) const;
  // E_FAIL when no item has the id.
  HRESULT ItemById(LONG id, ITavoPLDataListItem** item) const;
  // E_FAIL for an unknown id, an item without children, or a walk past
  // 65,535 ids (hierarchy.h).
  HRESULT Descendants(LONG id, ITavoPLIDList** ids) const;
  HRESULT LeafDescendants(LONG id, ITavoPLIDList** ids) const;

 private:
  DescriptorListPtr list_;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_VIEW_H_
