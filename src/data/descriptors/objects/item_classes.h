// The three item classes. Every item object holds a counted reference to its
// list (descriptor_item_view.h); Name, Description, Children and Parents are
// read from the item on each call, while the bounds of an era or a
// popularity range are copied when the object is made.
//
//   CLASS                 INTERFACE              ITEMS OF (kind_classes.h)
//   TavoPLDataListItem    ITavoPLDataListItem    origins, artist types, genres,
//                                                named lists, genre families
//   TavoEra               ITavoEra               eras
//   TavoPopularityRange   ITavoPopularityRange   popularity ranges
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_ITEM_CLASSES_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_ITEM_CLASSES_H_

#include "data/descriptors/objects/descriptor_item_object.h"

namespace tavo {

class TavoPLDataListItem : public DescriptorItemObject<TavoPLDataListItem, ITavoPLDataListItem> {
 public:
  using DescriptorItemObject::DescriptorItemObject;
};

class TavoEra : public DescriptorItemObject<TavoEra, ITavoEra> {
 public:
  using DescriptorItemObject::DescriptorItemObject;

  HRESULT STDMETHODCALLTYPE get_StartYear(LONG* year) override { return view().CopiedExtension(0, year); }
  HRESULT STDMETHODCALLTYPE get_EndYear(LONG* year) override { return view().CopiedExtension(1, year); }
};

class TavoPopularityRange : public DescriptorItemObject<TavoPopularityRange, ITavoPopularityRange> {
 public:
  using DescriptorItemObject::DescriptorItemObject;

  HRESULT STDMETHODCALLTYPE get_StartRange(LONG* start) override { return view().CopiedExtension(0, start); }
  HRESULT STDMETHODCALLTYPE get_EndRange(LONG* end) override { return view().CopiedExtension(1, end); }
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_ITEM_CLASSES_H_
