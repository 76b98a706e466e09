// TavoPLGenerator: a view of one generator record.
//
// A generator made by the host has no record until a criterion is added
// through its criteria list; until then its getters fail with E_FAIL, its
// Name and Description puts fail with E_FAIL and its numeric puts are
// ignored. Objects handed out by a generator list share the list's record,
// and the record stays alive for as long as any view holds it, also after it
// has been removed from the list.
#ifndef TAVO_GENERATION_OBJECTS_PL_GENERATOR_H_
#define TAVO_GENERATION_OBJECTS_PL_GENERATOR_H_

#include <memory>

#include "generation/records/generator_record.h"
#include "generation/objects/own_interfaces.h"
#include "platform/com/object.h"

namespace tavo {

class TavoPLGenerator : public ComObject<TavoPLGenerator, ITavoPLGenerator, ITavoOwnGenerator> {
 public:
  using OwnInterface = ITavoOwnGenerator;

  TavoPLGenerator() = default;
  explicit TavoPLGenerator(std::shared_ptr<GeneratorRecord> record) : record_(std::move(record)) {}

  // Null for a generator the host made and has not filled yet.
  const std::shared_ptr<GeneratorRecord>& record() const { return record_; }
  // The record, made on demand as "New playlist generator".
  GeneratorRecord& EnsureRecord();

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE put_Description(BSTR description) override;
  HRESULT STDMETHODCALLTYPE get_CriteriaList(ITavoPLGenCriteriaList** list) override;
  HRESULT STDMETHODCALLTYPE put_CriteriaList(ITavoPLGenCriteriaList* list) override;
  HRESULT STDMETHODCALLTYPE get_MatchMode(LONG* mode) override;
  HRESULT STDMETHODCALLTYPE put_MatchMode(LONG mode) override;
  HRESULT STDMETHODCALLTYPE get_LimitKilobytes(LONG* kilobytes) override;
  HRESULT STDMETHODCALLTYPE put_LimitKilobytes(LONG kilobytes) override;
  // The minute and song limits keep the low 16 bits of what is put.
  HRESULT STDMETHODCALLTYPE get_LimitMinutes(LONG* minutes) override;
  HRESULT STDMETHODCALLTYPE put_LimitMinutes(LONG minutes) override;
  HRESULT STDMETHODCALLTYPE get_LimitSongs(LONG* songs) override;
  HRESULT STDMETHODCALLTYPE put_LimitSongs(LONG songs) override;
  HRESULT STDMETHODCALLTYPE get_Seed(LONG* seed) override;
  HRESULT STDMETHODCALLTYPE put_Seed(LONG seed) override;
  HRESULT STDMETHODCALLTYPE get_LimitList(ITavoPLGenLimitList** list) override;
  HRESULT STDMETHODCALLTYPE put_LimitList(ITavoPLGenLimitList* list) override;
  // `position` is the 1-based rank position, not a txpl_rank_order_t.
  HRESULT STDMETHODCALLTYPE get_Rank(LONG position, ITavoPLGenRank** rank) override;
  HRESULT STDMETHODCALLTYPE put_Rank(LONG position, ITavoPLGenRank* rank) override;
  HRESULT STDMETHODCALLTYPE get_AutoUpdate(LONG* auto_update) override;
  HRESULT STDMETHODCALLTYPE put_AutoUpdate(LONG auto_update) override;
  HRESULT STDMETHODCALLTYPE get_IsSelectionBased(LONG* selection_based) override;
  // Accepted and ignored: the criteria decide.
  HRESULT STDMETHODCALLTYPE put_IsSelectionBased(LONG selection_based) override;
  HRESULT STDMETHODCALLTYPE Clone(ITavoPLGenerator** clone) override;

 private:
  HRESULT GetNumber(LONG* out, LONG (*read)(const GeneratorRecord&));

  std::shared_ptr<GeneratorRecord> record_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GENERATOR_H_
