// The six list classes. Each holds one immutable list (or none, when the
// class factory made it: then every member of ITavoPLDataList and of the
// derived interface answers E_FAIL after its E_POINTER check).
//
//   CLASS                     INTERFACE                  LIST KIND
//   TavoPLDataList            ITavoPLDataList            the genre families
//   TavoArtistTypeList        ITavoArtistTypeList        artist types, named lists
//   TavoOriginsList           ITavoOriginsList           origins
//   TavoGenreDisplayList      ITavoGenreDisplayList      genres
//   TavoEraDisplayList        ITavoEraDisplayList        eras
//   TavoPopularityRangeList   ITavoPopularityRangeList   popularity ranges
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_LIST_CLASSES_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_LIST_CLASSES_H_

#include "data/descriptors/objects/descriptor_list_object.h"

namespace tavo {

class TavoPLDataList : public DescriptorListObject<TavoPLDataList, ITavoPLDataList> {
 public:
  using DescriptorListObject::DescriptorListObject;
};

class TavoArtistTypeList : public DescriptorListObject<TavoArtistTypeList, ITavoArtistTypeList> {
 public:
  using DescriptorListObject::DescriptorListObject;
};

class TavoOriginsList : public DescriptorListObject<TavoOriginsList, ITavoOriginsList> {
 public:
  using DescriptorListObject::DescriptorListObject;
};

class TavoPopularityRangeList : public DescriptorListObject<TavoPopularityRangeList, ITavoPopularityRangeList> {
 public:
  using DescriptorListObject::DescriptorListObject;
};

class TavoGenreDisplayList : public DescriptorListObject<TavoGenreDisplayList, ITavoGenreDisplayList> {
 public:
  using DescriptorListObject::DescriptorListObject;

  // The item that displays a genre id (data/descriptors/genre_display.h):
  // ids below 300 and from 10000 up as they are; another id as it is when
  // the list holds it, else the last item naming it as a child. E_FAIL when
  // no item has the id so found.
  HRESULT STDMETHODCALLTYPE GetDisplayItemByID(LONG id, ITavoPLDataListItem** item) override;
};

class TavoEraDisplayList : public DescriptorListObject<TavoEraDisplayList, ITavoEraDisplayList> {
 public:
  using DescriptorListObject::DescriptorListObject;

  // The era that best describes `year` (taken as unsigned 16-bit) among eras
  // spanning at least `min_spread` years (data/descriptors/era_choice.h);
  // E_INVALIDARG when no era qualifies.
  HRESULT STDMETHODCALLTYPE GetEraByYear(LONG year, LONG min_spread, ITavoEra** era) override;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_LIST_CLASSES_H_
