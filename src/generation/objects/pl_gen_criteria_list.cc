#include "generation/objects/pl_gen_criteria_list.h"

#include "generation/objects/gen_status.h"
#include "generation/objects/pl_gen_criteria.h"
#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoPLGenCriteriaList::get_Count(LONG* count) {
  return StoreOut(count, record() ? record()->criteria_count() : 0);
}

HRESULT TavoPLGenCriteriaList::GetCriteria(LONG index, ITavoPLGenCriteria** criteria) {
  if (criteria == nullptr) return E_POINTER;
  *criteria = nullptr;
  const LONG count = record() ? record()->criteria_count() : 0;
  if (index < 1 || index > count) return E_INVALIDARG;
  // By order number, not by chain position (the chain is sorted by field).
  CriterionPtr found = record()->CriterionWithOrder(index);
  if (found == nullptr) return E_FAIL;
  return StoreObject(criteria, TavoPLGenCriteria::Make(std::move(found)));
}

HRESULT TavoPLGenCriteriaList::AddCriteria(LONG where, ITavoPLGenCriteria* criteria) {
  ComPtr<TavoPLGenCriteria> own = AsOwn<TavoPLGenCriteria>(criteria);
  if (!own) return E_INVALIDARG;
  if (!generator_) return S_OK;
  // Checked first so that a refused criterion does not give the generator its record.
  if (own->record()->linked()) return E_FAIL;
  return GenHresult(generator_->EnsureRecord().AddCriterion(where, own->record()));
}

HRESULT TavoPLGenCriteriaList::DeleteCriteria(LONG, ITavoPLGenCriteria* criteria) {
  ComPtr<TavoPLGenCriteria> own = AsOwn<TavoPLGenCriteria>(criteria);
  if (!own) return E_INVALIDARG;
  if (record() == nullptr) return E_FAIL;
  return GenHresult(record()->RemoveCriterion(own->record().get()));
}

HRESULT TavoPLGenCriteriaList::ClearCriteria() {
  if (record()) record()->ClearCriteria();
  return S_OK;
}

}  // namespace tavo
