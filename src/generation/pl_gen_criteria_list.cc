#include "generation/pl_gen_criteria_list.h"

#include "generation/out_value.h"
#include "generation/pl_gen_criteria.h"

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
  *criteria = TavoPLGenCriteria::Make(std::move(found)).Detach();
  return *criteria ? S_OK : E_OUTOFMEMORY;
}

HRESULT TavoPLGenCriteriaList::AddCriteria(LONG where, ITavoPLGenCriteria* criteria) {
  ComPtr<TavoPLGenCriteria> own = AsOwn<TavoPLGenCriteria>(criteria);
  if (!own) return E_INVALIDARG;
  if (!generator_) return S_OK;
  // Checked first so that a refused criterion does not give the generator its record.
  if (own->record()->linked()) return E_FAIL;
  return generator_->EnsureRecord().AddCriterion(where, own->record()) == kGenOk ? S_OK : E_FAIL;
}

HRESULT TavoPLGenCriteriaList::DeleteCriteria(LONG, ITavoPLGenCriteria* criteria) {
  ComPtr<TavoPLGenCriteria> own = AsOwn<TavoPLGenCriteria>(criteria);
  if (!own) return E_INVALIDARG;
  if (record() == nullptr) return E_FAIL;
  return record()->RemoveCriterion(own->record().get()) == kGenOk ? S_OK : E_FAIL;
}

HRESULT TavoPLGenCriteriaList::ClearCriteria() {
  if (record()) record()->ClearCriteria();
  return S_OK;
}

}  // namespace tavo
