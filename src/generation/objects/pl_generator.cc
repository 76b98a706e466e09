#include "generation/objects/pl_generator.h"

#include "generation/objects/interface_text.h"
#include "generation/objects/pl_gen_criteria_list.h"
#include "generation/objects/pl_gen_limit_list.h"
#include "generation/objects/pl_gen_rank.h"
#include "platform/com/out_values.h"

namespace tavo {
namespace {

// The 1-based rank position as the record keeps it: 0-based, 16 bits.
uint16_t StoredRankPosition(LONG position) { return static_cast<uint16_t>(position - 1); }

}  // namespace

GeneratorRecord& TavoPLGenerator::EnsureRecord() {
  if (record_ == nullptr) record_ = GeneratorRecord::MakeNamed();
  return *record_;
}

HRESULT TavoPLGenerator::GetNumber(LONG* out, LONG (*read)(const GeneratorRecord&)) {
  if (out == nullptr) return E_POINTER;
  if (record_ == nullptr) return E_FAIL;
  *out = read(*record_);
  return S_OK;
}

HRESULT TavoPLGenerator::get_Name(BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  if (record_ == nullptr || record_->name.empty()) return E_FAIL;
  return StoreInterfaceText(name, record_->name);
}

HRESULT TavoPLGenerator::put_Name(BSTR name) {
  if (record_ == nullptr) return E_FAIL;
  record_->name = TextFromBstr(name);
  return S_OK;
}

HRESULT TavoPLGenerator::get_Description(BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  if (record_ == nullptr) return E_FAIL;
  return record_->description.empty() ? S_OK : StoreInterfaceText(description, record_->description);
}

HRESULT TavoPLGenerator::put_Description(BSTR description) {
  if (record_ == nullptr) return E_FAIL;
  record_->description = TextFromBstr(description);
  return S_OK;
}

HRESULT TavoPLGenerator::get_CriteriaList(ITavoPLGenCriteriaList** list) {
  return StoreObject(list, TavoPLGenCriteriaList::Make(ComPtr<TavoPLGenerator>(this)));
}

HRESULT TavoPLGenerator::put_CriteriaList(ITavoPLGenCriteriaList* list) {
  ComPtr<TavoPLGenCriteriaList> own = AsOwn<TavoPLGenCriteriaList>(list);
  if (!own) return E_INVALIDARG;
  own->View(ComPtr<TavoPLGenerator>(this));
  return S_OK;
}

HRESULT TavoPLGenerator::get_MatchMode(LONG* mode) {
  return GetNumber(mode, [](const GeneratorRecord& r) -> LONG { return r.match_mode; });
}

HRESULT TavoPLGenerator::put_MatchMode(LONG mode) {
  if (record_) record_->match_mode = mode;
  return S_OK;
}

HRESULT TavoPLGenerator::get_LimitKilobytes(LONG* kilobytes) {
  return GetNumber(kilobytes, [](const GeneratorRecord& r) { return static_cast<LONG>(r.size_limit_kb); });
}

HRESULT TavoPLGenerator::put_LimitKilobytes(LONG kilobytes) {
  if (record_) record_->size_limit_kb = static_cast<uint32_t>(kilobytes);
  return S_OK;
}

HRESULT TavoPLGenerator::get_LimitMinutes(LONG* minutes) {
  return GetNumber(minutes, [](const GeneratorRecord& r) { return static_cast<LONG>(r.time_limit_minutes); });
}

HRESULT TavoPLGenerator::put_LimitMinutes(LONG minutes) {
  if (record_) record_->time_limit_minutes = static_cast<uint32_t>(minutes) & 0xFFFF;
  return S_OK;
}

HRESULT TavoPLGenerator::get_LimitSongs(LONG* songs) {
  return GetNumber(songs, [](const GeneratorRecord& r) { return static_cast<LONG>(r.song_limit); });
}

HRESULT TavoPLGenerator::put_LimitSongs(LONG songs) {
  if (record_) record_->song_limit = static_cast<uint32_t>(songs) & 0xFFFF;
  return S_OK;
}

HRESULT TavoPLGenerator::get_Seed(LONG* seed) {
  return GetNumber(seed, [](const GeneratorRecord& r) -> LONG { return r.seed; });
}

HRESULT TavoPLGenerator::put_Seed(LONG seed) {
  if (record_) record_->seed = seed;
  return S_OK;
}

HRESULT TavoPLGenerator::get_LimitList(ITavoPLGenLimitList** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  if (record_ == nullptr) return E_FAIL;
  return StoreObject(list, TavoPLGenLimitList::Make(record_->field_limits(), ComPtr<TavoPLGenerator>(this)));
}

HRESULT TavoPLGenerator::put_LimitList(ITavoPLGenLimitList* list) {
  ComPtr<TavoPLGenLimitList> own = AsOwn<TavoPLGenLimitList>(list);
  if (!own) return E_INVALIDARG;
  if (record_) {
    record_->ClearFieldLimits();
    // Last to first, so that pairs of one field keep their order; fields
    // outside 1..52 are refused by the record and so dropped.
    const std::vector<FieldLimit>& pairs = own->pairs();
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) record_->AddFieldLimit(*it);
  }
  own->Attach(ComPtr<TavoPLGenerator>(this));
  return S_OK;
}

HRESULT TavoPLGenerator::get_Rank(LONG position, ITavoPLGenRank** rank) {
  if (rank == nullptr) return E_POINTER;
  *rank = nullptr;
  if (record_ == nullptr) return E_FAIL;
  // A position without an entry gives a rank of field 0 and order 0.
  const RankEntry* entry = record_->RankAt(StoredRankPosition(position));
  return StoreObject(rank, entry ? TavoPLGenRank::Make(entry->field, entry->order) : TavoPLGenRank::Make());
}

HRESULT TavoPLGenerator::put_Rank(LONG position, ITavoPLGenRank* rank) {
  if (position == 0) return E_INVALIDARG;
  if (record_ == nullptr) return S_OK;
  const uint16_t stored = StoredRankPosition(position);
  if (rank == nullptr) {
    record_->RemoveRank(stored);
    return S_OK;
  }
  LONG field = 0, order = 0;
  const HRESULT hr = ReadGenRank(rank, &field, &order);
  if (FAILED(hr)) return hr;
  record_->SetRank(RankEntry{field, order, stored});
  return S_OK;
}

HRESULT TavoPLGenerator::get_AutoUpdate(LONG* auto_update) {
  return GetNumber(auto_update, [](const GeneratorRecord& r) -> LONG { return r.auto_update == 1 ? 1 : 0; });
}

HRESULT TavoPLGenerator::put_AutoUpdate(LONG auto_update) {
  if (record_) record_->auto_update = static_cast<uint8_t>(auto_update);
  return S_OK;
}

HRESULT TavoPLGenerator::get_IsSelectionBased(LONG* selection_based) {
  return GetNumber(selection_based, [](const GeneratorRecord& r) -> LONG { return r.IsSelectionBased() ? 1 : 0; });
}

HRESULT TavoPLGenerator::put_IsSelectionBased(LONG) { return S_OK; }

HRESULT TavoPLGenerator::Clone(ITavoPLGenerator** clone) {
  if (clone == nullptr) return E_POINTER;
  *clone = nullptr;
  return StoreObject(clone, TavoPLGenerator::Make(record_ ? record_->Clone() : GeneratorRecord::MakeNamed()));
}

}  // namespace tavo
