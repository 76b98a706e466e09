#include "generation/objects/pl2_result_list.h"

#include "generation/objects/pl2_result.h"

namespace tavo {

HRESULT TavoPL2ResultList::MakeItem(size_t position, ComPtr<ITavoPL2Result>* out) const {
  if (position >= ItemCount()) return E_INVALIDARG;
  ComPtr<TavoPL2Result> result = TavoPL2Result::Make((*entries_)[position]);
  if (!result) return E_OUTOFMEMORY;
  *out = ComPtr<ITavoPL2Result>(result.Get());
  return S_OK;
}

HRESULT TavoPL2ResultList::get_Count(LONG* count) {
  if (count == nullptr) return E_POINTER;
  if (!entries_) return E_FAIL;
  return StoreCount(count);
}

HRESULT TavoPL2ResultList::GetResult(LONG index, ITavoPL2Result** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  if (index < 1 || static_cast<size_t>(index) > ItemCount()) return E_INVALIDARG;
  return StoreItem(static_cast<size_t>(index) - 1, result);
}

HRESULT TavoPL2ResultList::get_Item(LONG index, ITavoPL2Result** result) { return GetResult(index, result); }

HRESULT TavoPL2ResultList::get__NewEnum(IUnknown** enumerator) { return StoreEnumerator(enumerator); }

HRESULT MakeResultList(std::vector<PlaylistEntry> entries, ITavoPL2ResultList** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  ComPtr<TavoPL2ResultList> list = TavoPL2ResultList::Make(std::move(entries));
  return StoreObject(out, list);
}

}  // namespace tavo
