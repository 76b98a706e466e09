// TavoPL2Criteria: the classic fixed-form playlist criteria. The form exists
// at the interface only: every property answers E_NOTIMPL and keeps nothing.
// The members are generated from the interface's description.
#ifndef TAVO_GENERATION_OBJECTS_PL2_CRITERIA_H_
#define TAVO_GENERATION_OBJECTS_PL2_CRITERIA_H_

#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

#define TAVO_PL2_CRITERIA_NOT_IMPLEMENTED(T, id, kind, Method, rv, ...) \
  HRESULT STDMETHODCALLTYPE Method(TAVO_PARAMS(__VA_ARGS__)) override { return E_NOTIMPL; }

class TavoPL2Criteria : public ComObject<TavoPL2Criteria, ITavoPL2Criteria> {
 public:
  TAVO_OWN_ITavoPL2Criteria(TAVO_PL2_CRITERIA_NOT_IMPLEMENTED, ITavoPL2Criteria)
};

#undef TAVO_PL2_CRITERIA_NOT_IMPLEMENTED

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL2_CRITERIA_H_
