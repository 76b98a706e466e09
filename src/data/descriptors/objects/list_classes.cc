#include "data/descriptors/objects/list_classes.h"

#include "data/descriptors/era_choice.h"
#include "data/descriptors/genre_display.h"
#include "data/descriptors/objects/item_classes.h"
#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoGenreDisplayList::GetDisplayItemByID(LONG id, ITavoPLDataListItem** item) {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  if (view().list() == nullptr) return E_FAIL;
  return view().ItemById(GenreDisplayId(*view().list(), id), item);
}

HRESULT TavoEraDisplayList::GetEraByYear(LONG year, LONG min_spread, ITavoEra** era) {
  if (era == nullptr) return E_POINTER;
  *era = nullptr;
  const DescriptorListPtr& eras = view().list();
  if (eras == nullptr) return E_FAIL;
  const DescriptorItem* chosen = ChooseEra(*eras, static_cast<uint16_t>(year), min_spread);
  if (chosen == nullptr) return E_INVALIDARG;
  return StoreObject(era, TavoEra::Make(eras, static_cast<size_t>(chosen - eras->items().data())));
}

}  // namespace tavo
