// TavoPLIDList: a list of descriptor ids (an item's children or parents, the
// descendants of an item), 1-based. It holds its own copy of the ids, so it
// stays valid whatever becomes of the list they came from. An object made by
// the class factory is empty.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_PL_ID_LIST_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_PL_ID_LIST_H_

#include <cstdint>
#include <span>
#include <vector>

#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPLIDList : public ComObject<TavoPLIDList, ITavoPLIDList> {
 public:
  TavoPLIDList() = default;
  explicit TavoPLIDList(std::vector<int32_t> ids) : ids_(std::move(ids)) {}

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
  // E_INVALIDARG for an index below 1 or above Count.
  HRESULT STDMETHODCALLTYPE GetID(LONG index, LONG* id) override;

 private:
  std::vector<int32_t> ids_;
};

// A new TavoPLIDList of `ids` in *out, following out_values.h.
HRESULT StoreIdList(ITavoPLIDList** out, std::span<const int32_t> ids);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_PL_ID_LIST_H_
