#include "data/descriptors/objects/pl_id_list.h"

#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoPLIDList::get_Count(LONG* count) { return StoreOut(count, ids_.size()); }

HRESULT TavoPLIDList::GetID(LONG index, LONG* id) {
  if (id == nullptr) return E_POINTER;
  if (index < 1 || static_cast<size_t>(index) > ids_.size()) return E_INVALIDARG;
  *id = ids_[static_cast<size_t>(index) - 1];
  return S_OK;
}

HRESULT StoreIdList(ITavoPLIDList** out, std::span<const int32_t> ids) {
  if (out == nullptr) return E_POINTER;
  return StoreObject(out, TavoPLIDList::Make(std::vector<int32_t>(ids.begin(), ids.end())));
}

}  // namespace tavo
