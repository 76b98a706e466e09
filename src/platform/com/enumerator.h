// Enumerators over a snapshot: IEnumVARIANT (for _NewEnum), IEnumConnections
// and IEnumConnectionPoints share one implementation. The snapshot is taken
// when the enumerator is made, so changes to the collection afterwards do
// not disturb a walk in progress.
#ifndef TAVO_PLATFORM_COM_ENUMERATOR_H_
#define TAVO_PLATFORM_COM_ENUMERATOR_H_

#include <memory>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/out_values.h"

namespace tavo {

// How an item is copied out to the caller and released.
template <class Item>
struct EnumItemTraits;

template <>
struct EnumItemTraits<VARIANT> {
  static HRESULT CopyOut(VARIANT* dest, const VARIANT& src) {
    VariantInit(dest);
    return VariantCopy(dest, &src);
  }
  static void Release(VARIANT& item) { VariantClear(&item); }
};

template <>
struct EnumItemTraits<CONNECTDATA> {
  static HRESULT CopyOut(CONNECTDATA* dest, const CONNECTDATA& src) {
    *dest = src;
    if (dest->pUnk) dest->pUnk->AddRef();
    return S_OK;
  }
  static void Release(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
  }
};

template <>
struct EnumItemTraits<IConnectionPoint*> {
  static HRESULT CopyOut(IConnectionPoint** dest, IConnectionPoint* src) {
    *dest = src;
    if (src) src->AddRef();
    return S_OK;
  }
  static void Release(IConnectionPoint*& item) {
    if (item) item->Release();
  }
};

// The items, owned (one reference or copy each) and shared between clones.
template <class Item>
class EnumSnapshot {
 public:
  explicit EnumSnapshot(std::vector<Item> items) : items_(std::move(items)) {}
  ~EnumSnapshot() {
    for (Item& item : items_) EnumItemTraits<Item>::Release(item);
  }
  const std::vector<Item>& items() const { return items_; }

 private:
  std::vector<Item> items_;
};

template <class IEnum, class Item>
class Enumerator : public ComObject<Enumerator<IEnum, Item>, IEnum> {
 public:
  using Snapshot = std::shared_ptr<const EnumSnapshot<Item>>;

  Enumerator() = default;
  Enumerator(Snapshot snapshot, size_t position) : snapshot_(std::move(snapshot)), position_(position) {}

  // Takes over `items` (their references or copies move into the snapshot);
  // null when memory runs out, and then `items` are released.
  static ComPtr<Enumerator> Over(std::vector<Item> items) noexcept {
    std::shared_ptr<const EnumSnapshot<Item>> snapshot;
    try {
      snapshot = std::make_shared<const EnumSnapshot<Item>>(std::move(items));
    } catch (...) {
      for (Item& item : items) EnumItemTraits<Item>::Release(item);
      return nullptr;
    }
    return Enumerator::Make(std::move(snapshot), 0);
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
    if (out == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG n = 0;
    const auto& items = snapshot_->items();
    while (n < count && position_ < items.size()) {
      const HRESULT hr = EnumItemTraits<Item>::CopyOut(&out[n], items[position_]);
      if (FAILED(hr)) {
        for (ULONG i = 0; i < n; ++i) EnumItemTraits<Item>::Release(out[i]);
        if (fetched) *fetched = 0;
        return hr;
      }
      ++n;
      ++position_;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = snapshot_->items().size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override { return StoreObject(out, Enumerator::Make(snapshot_, position_)); }

 private:
  Snapshot snapshot_;
  size_t position_ = 0;
};

using VariantEnumerator = Enumerator<IEnumVARIANT, VARIANT>;
using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA>;
using ConnectionPointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*>;

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_ENUMERATOR_H_
