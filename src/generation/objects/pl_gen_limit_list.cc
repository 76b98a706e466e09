#include "generation/objects/pl_gen_limit_list.h"

#include <algorithm>
#include <limits>

#include "generation/objects/pl_gen_limit.h"
#include "platform/com/out_values.h"

namespace tavo {

HRESULT TavoPLGenLimitList::get_Count(LONG* count) { return StoreOut(count, static_cast<LONG>(pairs_.size())); }

HRESULT TavoPLGenLimitList::GetLimit(LONG index, ITavoPLGenLimit** limit) {
  if (limit == nullptr) return E_POINTER;
  *limit = nullptr;
  if (index < 1 || static_cast<size_t>(index) > pairs_.size()) return E_FAIL;
  return NewGenLimit(pairs_[index - 1], limit);
}

HRESULT TavoPLGenLimitList::AddLimit(LONG, ITavoPLGenLimit* limit) {
  FieldLimit pair;
  const HRESULT hr = ReadGenLimit(limit, &pair);
  if (FAILED(hr)) return hr;
  bool known = false;
  for (FieldLimit& p : pairs_) {
    if (p.field == pair.field) p.limit = pair.limit, known = true;
  }
  if (!known) {
    if (pairs_.size() >= std::numeric_limits<uint16_t>::max()) return E_FAIL;
    pairs_.push_back(pair);
  }
  // The record refuses fields outside 1..52; the list keeps them.
  if (generator_ && generator_->record()) generator_->record()->AddFieldLimit(pair);
  return S_OK;
}

HRESULT TavoPLGenLimitList::DeleteLimit(LONG, ITavoPLGenLimit*) { return S_OK; }

HRESULT TavoPLGenLimitList::GetLimitForField(LONG field, ITavoPLGenLimit** limit) {
  if (limit == nullptr) return E_POINTER;
  *limit = nullptr;
  auto it = std::find_if(pairs_.begin(), pairs_.end(), [field](const FieldLimit& p) { return p.field == field; });
  if (it == pairs_.end()) return E_FAIL;
  return NewGenLimit(*it, limit);
}

}  // namespace tavo
