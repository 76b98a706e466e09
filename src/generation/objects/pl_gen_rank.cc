#include "generation/objects/pl_gen_rank.h"

#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoPLGenRank::get_Field(LONG* field) { return StoreOut(field, field_); }

HRESULT TavoPLGenRank::put_Field(LONG field) {
  field_ = field;
  return S_OK;
}

HRESULT TavoPLGenRank::get_RankOrder(LONG* order) { return StoreOut(order, order_); }

HRESULT TavoPLGenRank::put_RankOrder(LONG order) {
  order_ = order;
  return S_OK;
}

HRESULT ReadGenRank(ITavoPLGenRank* rank, LONG* field, LONG* order) {
  if (rank == nullptr) return E_INVALIDARG;
  if (rank->get_Field(field) != S_OK || rank->get_RankOrder(order) != S_OK) return E_FAIL;
  return S_OK;
}

}  // namespace tavo
