// The class object of one class: creates instances through the class's
// creation function and counts server locks in the module lock count.
#ifndef TAVO_PLATFORM_COM_CLASS_FACTORY_H_
#define TAVO_PLATFORM_COM_CLASS_FACTORY_H_

#include "platform/com/object.h"

namespace tavo {

// Creates an instance, aggregated when `outer` is given; ComObject::Create
// has this shape. A null function makes CreateInstance fail with E_NOTIMPL.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** ppv);

class ClassFactory : public ComObject<ClassFactory, IClassFactory> {
 public:
  // Kept by a class table for the module's whole life, so it does not hold
  // the module loaded.
  static constexpr bool kCountsModuleLock = false;

  explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    return create_ ? create_(outer, iid, ppv) : E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE LockServer(int lock) override {
    if (lock) {
      ++ModuleLockCount();
    } else {
      --ModuleLockCount();
    }
    return S_OK;
  }

 private:
  const CreateFunction create_;
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_CLASS_FACTORY_H_
