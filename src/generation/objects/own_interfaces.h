// Private interfaces that only this folder's classes answer.
//
// A host may pass its own implementation of ITavoPLGenerator (or of the
// criteria and list interfaces) where one of ours is expected. Asking for the
// class's private interface tells ours apart: only then is the pointer known
// to be the class, and only then may its record be reached.
#ifndef TAVO_GENERATION_OBJECTS_OWN_INTERFACES_H_
#define TAVO_GENERATION_OBJECTS_OWN_INTERFACES_H_

#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

#define TAVO_BASE_ITavoOwnGenerator IUnknown
#define TAVO_OWN_ITavoOwnGenerator(X, T)
TAVO_INTERFACE(ITavoOwnGenerator, 0x0b7f3a52, 0x6c1e, 0x4d7a, 0x9e, 0x21, 0x5a, 0x3c, 0x84, 0x17, 0xd2, 0x60)

#define TAVO_BASE_ITavoOwnGenCriteria IUnknown
#define TAVO_OWN_ITavoOwnGenCriteria(X, T)
TAVO_INTERFACE(ITavoOwnGenCriteria, 0x0b7f3a52, 0x6c1e, 0x4d7a, 0x9e, 0x21, 0x5a, 0x3c, 0x84, 0x17, 0xd2,
               0x61)

#define TAVO_BASE_ITavoOwnGenCriteriaList IUnknown
#define TAVO_OWN_ITavoOwnGenCriteriaList(X, T)
TAVO_INTERFACE(ITavoOwnGenCriteriaList, 0x0b7f3a52, 0x6c1e, 0x4d7a, 0x9e, 0x21, 0x5a, 0x3c, 0x84, 0x17,
               0xd2, 0x62)

#define TAVO_BASE_ITavoOwnGenLimitList IUnknown
#define TAVO_OWN_ITavoOwnGenLimitList(X, T)
TAVO_INTERFACE(ITavoOwnGenLimitList, 0x0b7f3a52, 0x6c1e, 0x4d7a, 0x9e, 0x21, 0x5a, 0x3c, 0x84, 0x17, 0xd2,
               0x63)

namespace tavo {

// The object behind `p` when it is an instance of Class (which answers
// Class::OwnInterface), with a reference; null for null, foreign or other objects.
template <class Class>
ComPtr<Class> AsOwn(IUnknown* p) {
  if (p == nullptr) return nullptr;
  void* own = nullptr;
  if (FAILED(p->QueryInterface(IID_OF(typename Class::OwnInterface), &own)) || own == nullptr) return nullptr;
  return ComPtr<Class>::Adopt(static_cast<Class*>(static_cast<typename Class::OwnInterface*>(own)));
}

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_OWN_INTERFACES_H_
