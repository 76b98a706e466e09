#include "generation/objects/pl_gen_limit.h"

#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoPLGenLimit::get_Field(LONG* field) { return StoreOut(field, value_.field); }

HRESULT TavoPLGenLimit::put_Field(LONG field) {
  value_.field = field;
  return S_OK;
}

HRESULT TavoPLGenLimit::get_Limit(LONG* limit) { return StoreOut(limit, value_.limit); }

HRESULT TavoPLGenLimit::put_Limit(LONG limit) {
  value_.limit = limit;
  return S_OK;
}

HRESULT NewGenLimit(const FieldLimit& value, ITavoPLGenLimit** out) {
  return StoreObject(out, TavoPLGenLimit::Make(value));
}

HRESULT ReadGenLimit(ITavoPLGenLimit* limit, FieldLimit* value) {
  if (limit == nullptr) return E_INVALIDARG;
  LONG field = 0, count = 0;
  if (limit->get_Field(&field) != S_OK || limit->get_Limit(&count) != S_OK) return E_FAIL;
  *value = FieldLimit{field, count};
  return S_OK;
}

}  // namespace tavo
