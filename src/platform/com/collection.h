// CollectionOf<Derived, Item>: what every automation collection shares
// (Count, Item, _NewEnum), written once for the generator list, the result
// list and the descriptor lists.
//
// Derived (a ComObject) derives from it as well and provides
//   size_t ItemCount() const;
//   HRESULT MakeItem(size_t position, ComPtr<Item>* out) const;  // 0-based, < ItemCount()
// MakeItem hands out a view of the item (a new object each time). Derived's
// members check their own interface's index base and range, then call:
//   StoreCount(out)         the count, converted to the interface's count type
//   StoreItem(position, out) the item at a 0-based position, one reference
//   StoreEnumerator(out)    an IEnumVARIANT over a snapshot of every item,
//                           each as VT_DISPATCH (Item is a dual interface)
// All three follow out_values.h: E_POINTER for a null `out`, E_OUTOFMEMORY
// when an object cannot be made, and *out null on failure.
#ifndef TAVO_PLATFORM_COM_COLLECTION_H_
#define TAVO_PLATFORM_COM_COLLECTION_H_

#include <vector>

#include "platform/com/enumerator.h"
#include "platform/com/out_values.h"

namespace tavo {

template <class Derived, class Item>
class CollectionOf {
 protected:
  template <class Count>
  HRESULT StoreCount(Count* out) const {
    return StoreOut(out, self().ItemCount());
  }

  HRESULT StoreItem(size_t position, Item** out) const {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    ComPtr<Item> item;
    if (HRESULT hr = self().MakeItem(position, &item); FAILED(hr)) return hr;
    *out = item.Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT StoreEnumerator(IUnknown** out) const {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    std::vector<VARIANT> items;
    const size_t count = self().ItemCount();
    items.reserve(count);
    for (size_t i = 0; i < count; ++i) {
      ComPtr<Item> item;
      HRESULT hr = self().MakeItem(i, &item);
      if (SUCCEEDED(hr) && !item) hr = E_OUTOFMEMORY;
      if (FAILED(hr)) {
        for (VARIANT& made : items) VariantClear(&made);
        return hr;
      }
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_DISPATCH;
      v.pdispVal = item.Detach();
      items.push_back(v);
    }
    ComPtr<VariantEnumerator> walker = VariantEnumerator::Over(std::move(items));
    if (!walker) return E_OUTOFMEMORY;
    *out = static_cast<IEnumVARIANT*>(walker.Detach());
    return S_OK;
  }

 private:
  const Derived& self() const { return static_cast<const Derived&>(*this); }
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_COLLECTION_H_
