// DescriptorItemObject<Derived, I>: the members of ITavoPLDataListItem for
// every item class (I is ITavoPLDataListItem or an interface derived from
// it), answered by a DescriptorItemView.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_OBJECT_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_OBJECT_H_

#include "data/descriptors/objects/descriptor_item_view.h"
#include "platform/com/object.h"

namespace tavo {

template <class Derived, class I>
class DescriptorItemObject : public ComObject<Derived, I> {
 public:
  DescriptorItemObject() = default;
  DescriptorItemObject(DescriptorListPtr list, size_t position) : view_(std::move(list), position) {}

  HRESULT STDMETHODCALLTYPE get_Id(LONG* id) override { return view_.Id(id); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return view_.Name(name); }
  HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override { return view_.Description(description); }
  HRESULT STDMETHODCALLTYPE get_Children(ITavoPLIDList** children) override { return view_.Children(children); }
  HRESULT STDMETHODCALLTYPE get_Parents(ITavoPLIDList** parents) override { return view_.Parents(parents); }

 protected:
  const DescriptorItemView& view() const { return view_; }

 private:
  DescriptorItemView view_;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_ITEM_OBJECT_H_
