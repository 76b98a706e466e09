// TavoPLGenLimitList: per-field limits, 1-based.
//
// The list keeps its own (field, limit) pairs, one per field. Attached to a
// generator (by the generator's LimitList get or put), it also adds every
// pair given to AddLimit to the generator record, where a field may then
// appear twice.
#ifndef TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_LIST_H_
#define TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_LIST_H_

#include <vector>

#include "generation/records/generator_record.h"
#include "generation/objects/own_interfaces.h"
#include "generation/objects/pl_generator.h"
#include "platform/com/object.h"

namespace tavo {

class TavoPLGenLimitList : public ComObject<TavoPLGenLimitList, ITavoPLGenLimitList, ITavoOwnGenLimitList> {
 public:
  using OwnInterface = ITavoOwnGenLimitList;

  TavoPLGenLimitList() = default;
  TavoPLGenLimitList(std::vector<FieldLimit> pairs, ComPtr<TavoPLGenerator> generator)
      : pairs_(std::move(pairs)), generator_(std::move(generator)) {}

  const std::vector<FieldLimit>& pairs() const { return pairs_; }
  void Attach(ComPtr<TavoPLGenerator> generator) { generator_ = std::move(generator); }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetLimit(LONG index, ITavoPLGenLimit** limit) override;
  // `where` is not used.
  HRESULT STDMETHODCALLTYPE AddLimit(LONG where, ITavoPLGenLimit* limit) override;
  // Accepted and ignored.
  HRESULT STDMETHODCALLTYPE DeleteLimit(LONG index, ITavoPLGenLimit* limit) override;
  HRESULT STDMETHODCALLTYPE GetLimitForField(LONG field, ITavoPLGenLimit** limit) override;

 private:
  std::vector<FieldLimit> pairs_;  // at most 65535, the count being 16 bits
  ComPtr<TavoPLGenerator> generator_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_LIST_H_
