// DescriptorListObject<Derived, I>: the members of ITavoPLDataList for every
// list class (I is ITavoPLDataList or an interface derived from it),
// answered by a DescriptorListView, and the private interface that tells
// our lists apart from a host's (own_descriptor_list.h).
//
// Invariant: the list an object holds is fixed when the object is made and
// never changes (lists are immutable, descriptor_list.h); a refresh makes a
// new object over the new list.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_OBJECT_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_OBJECT_H_

#include "data/descriptors/objects/descriptor_list_view.h"
#include "data/descriptors/objects/own_descriptor_list.h"
#include "platform/com/object.h"

namespace tavo {

template <class Derived, class I>
class DescriptorListObject : public ComObject<Derived, I, ITavoOwnDescriptorList> {
 public:
  DescriptorListObject() = default;
  explicit DescriptorListObject(DescriptorListPtr list) : view_(std::move(list)) {}

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override { return view_.Count(count); }
  HRESULT STDMETHODCALLTYPE GetItem(LONG index, ITavoPLDataListItem** item) override {
    return view_.ItemAt(index, item);
  }
  HRESULT STDMETHODCALLTYPE GetItemById(LONG id, ITavoPLDataListItem** item) override {
    return view_.ItemById(id, item);
  }
  HRESULT STDMETHODCALLTYPE get_DescendantsById(LONG id, ITavoPLIDList** ids) override {
    return view_.Descendants(id, ids);
  }
  HRESULT STDMETHODCALLTYPE get_LeafDescendantsById(LONG id, ITavoPLIDList** ids) override {
    return view_.LeafDescendants(id, ids);
  }

  HRESULT STDMETHODCALLTYPE HeldList(DescriptorListPtr* list) override {
    if (list == nullptr) return E_POINTER;
    *list = view_.list();
    return S_OK;
  }

 protected:
  const DescriptorListView& view() const { return view_; }

 private:
  DescriptorListView view_;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_LIST_OBJECT_H_
