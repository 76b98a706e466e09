// ComObject<Derived, Interfaces...>: the one base implementation of objects.
//
// It gives Derived reference counting, QueryInterface over the listed
// interfaces and every base of each, aggregation (an outer object's
// IUnknown receives all IUnknown calls of the interfaces; the inner
// non-delegating IUnknown owns the count), the module lock count, IDispatch
// for every listed dual interface, and the exception boundary.
//
// How an object is built: Create (the class factory's entry) and Make
// (creation inside the component) both construct Guarded<Derived>, the most
// derived class, generated from the interface descriptions. Guarded
// overrides every member of every listed interface and of their bases
// (IUnknown's and a dual interface's IDispatch members excepted, see below)
// and calls Derived's own member inside RunGuarded (guard.h). Derived writes
// ordinary `override` members and cannot leave one unguarded; Derived itself
// is abstract (DeleteThis), so no object is made any other way.
//
// IDispatch: each listed dual interface I derives from ListedInterface<I>,
// whose GetIDsOfNames and Invoke answer from I's own description on I's own
// IDispatch subobject, so an object with two dual interfaces dispatches each
// interface's members on that interface's pointer. Invoke runs through the
// guard and reaches members through the vtable, hence through Guarded.
// A class that lists IDispatch itself (an event sink) implements Invoke as
// an ordinary member, and that is guarded.
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
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/com/dispatch.h"
#include "platform/com/guard.h"
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

// One listed interface. An interface that derives from IDispatch answers its
// IDispatch members from its own description (IDispatch listed by itself, as
// an event sink does, has no members to dispatch; Derived overrides Invoke).
template <class I>
class ListedInterface : public I {};

template <class I>
  requires std::is_base_of_v<IDispatch, I>
class ListedInterface<I> : public I {
 public:
  // Dispatch goes by names and identifiers; there is no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  // The table is built on first use, inside the guard as well.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return RunGuarded(InterfaceTraits<I>::iid, "GetIDsOfNames",
                      [&] { return DispatchGetIDsOfNames(DispatchTableOf<I>(), names, count, ids); });
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* arg_err) override {
    return RunGuarded(InterfaceTraits<I>::iid, "Invoke", [&] {
      return DispatchInvoke(DispatchTableOf<I>(), static_cast<I*>(this), id, flags, params, result, excep, arg_err);
    });
  }
};

struct CountsModuleLock {
  static constexpr bool kCountsModuleLock = true;
};

template <class Derived>
class Guarded;

template <class Derived, class First, class... Rest>
class ComObject : public ListedInterface<First>, public ListedInterface<Rest>..., public CountsModuleLock {
 public:
  using Interfaces = std::tuple<First, Rest...>;

  // The factory entry: a new object, aggregated when `outer` is given (then
  // only IID_IUnknown may be asked for, which yields the inner IUnknown).
  static HRESULT Create(IUnknown* outer, REFIID iid, void** ppv) noexcept {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Derived* object = nullptr;
    const HRESULT hr = Construct(outer, &object);
    if (FAILED(hr)) return hr;
    ComObject* base = object;
    const HRESULT query = base->com_inner_.QueryInterface(iid, ppv);
    base->InnerRelease();
    return query;
  }

  // A new, non-aggregated object for the component's own use, with one
  // reference; null when it could not be made (the guard's status is lost,
  // error information for anything but a lack of memory is set).
  template <class... Args>
  static ComPtr<Derived> Make(Args&&... args) noexcept {
    Derived* object = nullptr;
    if (FAILED(Construct(nullptr, &object, std::forward<Args>(args)...))) return nullptr;
    return ComPtr<Derived>::Adopt(object);
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    return com_outer_ ? com_outer_->QueryInterface(iid, ppv) : InnerQueryInterface(iid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return com_outer_ ? com_outer_->AddRef() : InnerAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return com_outer_ ? com_outer_->Release() : InnerRelease(); }

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
  // Only Guarded<Derived> implements it: Derived alone cannot be made.
  virtual void DeleteThis() noexcept = 0;

  // The one construction path of Create and Make: a Guarded<Derived> from
  // `args`, FinalConstruct run, one inner reference in *out. Constructor and
  // FinalConstruct run inside the guard.
  template <class... Args>
  static HRESULT Construct(IUnknown* outer, Derived** out, Args&&... args) noexcept {
    *out = nullptr;
    Derived* object = nullptr;
    HRESULT hr = RunGuarded(IID_IClassFactory, "CreateInstance", [&]() -> HRESULT {
      object = new Guarded<Derived>(std::forward<Args>(args)...);
      return S_OK;
    });
    if (FAILED(hr)) return hr;
    ComObject* base = object;
    base->com_outer_ = outer;
    base->com_inner_.self = object;
    base->InnerAddRef();
    hr = RunGuarded(IID_IClassFactory, "CreateInstance", [&] { return object->FinalConstruct(); });
    if (FAILED(hr)) {
      base->InnerRelease();
      return hr;
    }
    *out = object;
    return S_OK;
  }

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
    if (left == 0) DeleteThis();
    return left;
  }

  std::atomic<ULONG> com_refs_{0};
  IUnknown* com_outer_ = nullptr;  // not a reference: the outer object owns us
  InnerUnknown com_inner_;
};

namespace object_detail {

// The bottom of the generated layers: Derived, with the guard the layers call.
template <class Derived>
struct GuardBase : Derived {
  using Derived::Derived;
  using Implementation = Derived;

  template <class I, class Body>
  static HRESULT Guard(const char* where, Body&& body) noexcept {
    return RunGuarded(InterfaceTraits<I>::iid, where, std::forward<Body>(body));
  }
};

// The forwarding layers of I's chain, root first, over Below. IUnknown's
// members are the object's own; a dual interface's IDispatch members are
// ListedInterface's, guarded inside the dispatch engine.
template <class I, class Below>
struct ChainLayers {
  using type = typename InterfaceTraits<I>::template Forwarders<
      typename ChainLayers<typename InterfaceTraits<I>::Base, Below>::type>;
};
template <class Below>
struct ChainLayers<IUnknown, Below> {
  using type = Below;
};
template <class Below>
struct ChainLayers<IDispatch, Below> {
  using type = Below;
};

// A listed interface's layers; IDispatch listed by itself is guarded too.
template <class I, class Below>
struct ListedLayers : ChainLayers<I, Below> {};
template <class Below>
struct ListedLayers<IDispatch, Below> {
  using type = InterfaceTraits<IDispatch>::Forwarders<Below>;
};

template <class Derived, class Interfaces>
struct AllLayers;
template <class Derived>
struct AllLayers<Derived, std::tuple<>> {
  using type = GuardBase<Derived>;
};
template <class Derived, class I, class... Rest>
struct AllLayers<Derived, std::tuple<I, Rest...>> {
  using type = typename ListedLayers<I, typename AllLayers<Derived, std::tuple<Rest...>>::type>::type;
};

}  // namespace object_detail

// The most derived class of every object (see the top of this file).
template <class Derived>
class Guarded final : public object_detail::AllLayers<Derived, typename Derived::Interfaces>::type {
  using Layers = typename object_detail::AllLayers<Derived, typename Derived::Interfaces>::type;

 public:
  using Layers::Layers;

 private:
  void DeleteThis() noexcept override { delete this; }
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_OBJECT_H_
