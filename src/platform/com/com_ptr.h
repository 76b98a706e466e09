// ComPtr<T>: owns one reference to an interface.
//
// Adopting a reference (Attach, or the out-pointer from GetAddressOf) is kept
// apart from adding one (the constructor from a raw pointer, Copy), so each
// site shows whose reference it is.
#ifndef TAVO_PLATFORM_COM_COM_PTR_H_
#define TAVO_PLATFORM_COM_COM_PTR_H_

#include <utility>

#include "tavo/automation.h"

// The IID of a declared interface type.
#define IID_OF(I) (::tavo::InterfaceTraits<I>::iid)

namespace tavo {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Adds a reference.
  explicit ComPtr(T* p) noexcept : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already owns.
  static ComPtr Adopt(T* p) noexcept {
    ComPtr result;
    result.p_ = p;
    return result;
  }
  void Attach(T* p) noexcept {
    Reset();
    p_ = p;
  }
  // Gives the reference away.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(p_, nullptr); }
  // Hands out a new reference, e.g. into an [out] parameter.
  T* Copy() const noexcept {
    if (p_) p_->AddRef();
    return p_;
  }

  void Reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // Releases what is held and returns the slot for an [out] parameter.
  T** ReleaseAndGetAddressOf() noexcept {
    Reset();
    return &p_;
  }
  void** ReleaseAndGetVoidAddressOf() noexcept { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

  template <class U>
  HRESULT As(ComPtr<U>* out) const noexcept {
    if (p_ == nullptr) return E_POINTER;
    return p_->QueryInterface(IID_OF(U), out->ReleaseAndGetVoidAddressOf());
  }

  void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }
  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_COM_PTR_H_
