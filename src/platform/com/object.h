// ComObject<Derived, Interfaces...>: the one base implementation of objects.
//
// It gives Derived reference counting, QueryInterface over the listed
// interfaces and every base of each, aggregation (an outer object's
// IUnknown receives all IUnknown calls of the interfaces; the inner
// non-delegating IUnknown owns the count), the module lock count, and the
// IDispatch members of the first listed interface that derives from
// IDispatch, answered from that interface's description.
//
// Invariants:
//  - com_refs_ counts references to the object itself; the object is deleted
//    when it reaches 0. Aggregated, the outer object holds the only
//    reference to the inner IUnknown and callers' references go to it.
//  - Every live object adds 1 to ModuleLockCount() unless Derived declares
//    `static constexpr bool kCountsModuleLock = false` (class objects, which
//    the class table keeps for the life of the module).
#ifndef TAVO_PLATFORM_COM_OBJECT_H_
#define TAVO_PLATFORM_COM_OBJECT_H_

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/com/dispatch.h"
#include "platform/com/module_lock.h"

namespace tavo {

template <class I>
bool InterfaceChainHas(REFIID iid) noexcept {
  if (iid == InterfaceTraits<I>::iid) return true;
  using Base = typename InterfaceTraits<I>::Base;
  if constexpr (std::is_void_v<Base>) {
    return false;
  } else {
    return InterfaceChainHas<Base>(iid);
  }
}

template <class... I>
struct FirstDispatchOf {
  using type = void;
};
template <class I, class... Rest>
struct FirstDispatchOf<I, Rest...> {
  using type = std::conditional_t<std::is_base_of_v<IDispatch, I>, I, typename FirstDispatchOf<Rest...>::type>;
};

struct CountsModuleLock {
  static constexpr bool kCountsModuleLock = true;
};

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest..., public CountsModuleLock {
 public:
  using DispatchInterface = typename FirstDispatchOf<First, Rest...>::type;

  // The factory entry: a new object, aggregated when `outer` is given (then
  // only IID_IUnknown may be asked for, which yields the inner IUnknown).
  static HRESULT Create(IUnknown* outer, REFIID iid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Derived* object = new (std::nothrow) Derived();
    if (object == nullptr) return E_OUTOFMEMORY;
    ComObject* base = object;
    base->com_outer_ = outer;
    base->com_inner_.self = object;
    base->InnerAddRef();
    HRESULT hr = object->FinalConstruct();
    if (SUCCEEDED(hr)) hr = base->com_inner_.QueryInterface(iid, ppv);
    base->InnerRelease();
    return hr;
  }

  // A new, non-aggregated object for the component's own use, with one reference.
  template <class... Args>
  static ComPtr<Derived> Make(Args&&... args) {
    Derived* object = new (std::nothrow) Derived(std::forward<Args>(args)...);
    if (object == nullptr) return nullptr;
    ComObject* base = object;
    base->com_inner_.self = object;
    base->InnerAddRef();
    return ComPtr<Derived>::Adopt(object);
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    return com_outer_ ? com_outer_->QueryInterface(iid, ppv) : InnerQueryInterface(iid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return com_outer_ ? com_outer_->AddRef() : InnerAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return com_outer_ ? com_outer_->Release() : InnerRelease(); }

  // IDispatch, for the first dual interface in the list. Dispatch goes by
  // names and identifiers; there is no type information object.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if constexpr (std::is_void_v<DispatchInterface>) {
      return E_NOTIMPL;
    } else {
      return DispatchGetIDsOfNames(DispatchTableOf<DispatchInterface>(), names, count, ids);
    }
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* arg_err) {
    if constexpr (std::is_void_v<DispatchInterface>) {
      return E_NOTIMPL;
    } else {
      return DispatchInvoke(DispatchTableOf<DispatchInterface>(), static_cast<DispatchInterface*>(this), id,
                            flags, params, result, excep, arg_err);
    }
  }

  IUnknown* ControllingUnknown() noexcept {
    return com_outer_ ? com_outer_ : static_cast<IUnknown*>(static_cast<First*>(this));
  }

 protected:
  ComObject() noexcept {
    if constexpr (Derived::kCountsModuleLock) ++ModuleLockCount();
  }
  ~ComObject() {
    if constexpr (Derived::kCountsModuleLock) --ModuleLockCount();
  }
  // Runs once after construction, before the first interface is handed out;
  // a failure destroys the object and becomes the creation's status.
  HRESULT FinalConstruct() { return S_OK; }

 private:
  // The non-delegating IUnknown of an aggregated object.
  struct InnerUnknown final : IUnknown {
    Derived* self = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
      if (ppv == nullptr) return E_POINTER;
      if (iid == IID_IUnknown && static_cast<ComObject*>(self)->com_outer_ != nullptr) {
        *ppv = this;
        AddRef();
        return S_OK;
      }
      return static_cast<ComObject*>(self)->InnerQueryInterface(iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ComObject*>(self)->InnerAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ComObject*>(self)->InnerRelease(); }
  };

  HRESULT InnerQueryInterface(REFIID iid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    // The first interface whose chain holds iid wins, so IUnknown and
    // IDispatch always come back as the same pointer.
    const bool found = Match<First>(iid, ppv) || (Match<Rest>(iid, ppv) || ...);
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  template <class I>
  bool Match(REFIID iid, void** ppv) {
    if (!InterfaceChainHas<I>(iid)) return false;
    *ppv = static_cast<I*>(static_cast<Derived*>(this));
    return true;
  }

  ULONG InnerAddRef() { return ++com_refs_; }
  ULONG InnerRelease() {
    const ULONG left = --com_refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

  std::atomic<ULONG> com_refs_{0};
  IUnknown* com_outer_ = nullptr;  // not a reference: the outer object owns us
  InnerUnknown com_inner_;
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_OBJECT_H_
