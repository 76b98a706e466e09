// TavoPLGenCriteriaList: the criteria of one generator, addressed by order
// number (1-based).
//
// The list views a generator object, not a copy of its criteria: it always
// answers with the generator's current criteria, and adding the first
// criterion gives a generator without a record its record. A list the host
// made views nothing until a generator's CriteriaList put attaches it; until
// then it is empty and AddCriteria does nothing.
#ifndef TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_LIST_H_
#define TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_LIST_H_

#include "generation/objects/own_interfaces.h"
#include "generation/objects/pl_generator.h"
#include "platform/com/object.h"

namespace tavo {

class TavoPLGenCriteriaList
    : public ComObject<TavoPLGenCriteriaList, ITavoPLGenCriteriaList, ITavoOwnGenCriteriaList> {
 public:
  using OwnInterface = ITavoOwnGenCriteriaList;

  TavoPLGenCriteriaList() = default;
  explicit TavoPLGenCriteriaList(ComPtr<TavoPLGenerator> generator) : generator_(std::move(generator)) {}

  void View(ComPtr<TavoPLGenerator> generator) { generator_ = std::move(generator); }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetCriteria(LONG index, ITavoPLGenCriteria** criteria) override;
  HRESULT STDMETHODCALLTYPE AddCriteria(LONG where, ITavoPLGenCriteria* criteria) override;
  // `index` is not used: the criterion given is the one removed.
  HRESULT STDMETHODCALLTYPE DeleteCriteria(LONG index, ITavoPLGenCriteria* criteria) override;
  HRESULT STDMETHODCALLTYPE ClearCriteria() override;

 private:
  GeneratorRecord* record() const { return generator_ ? generator_->record().get() : nullptr; }

  ComPtr<TavoPLGenerator> generator_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_LIST_H_
