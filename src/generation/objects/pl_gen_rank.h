// TavoPLGenRank: a rank entry's field and txpl_rank_order_t as a plain value
// object; nothing is checked.
#ifndef TAVO_GENERATION_OBJECTS_PL_GEN_RANK_H_
#define TAVO_GENERATION_OBJECTS_PL_GEN_RANK_H_

#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPLGenRank : public ComObject<TavoPLGenRank, ITavoPLGenRank> {
 public:
  TavoPLGenRank() = default;
  TavoPLGenRank(LONG field, LONG order) : field_(field), order_(order) {}

  HRESULT STDMETHODCALLTYPE get_Field(LONG* field) override;
  HRESULT STDMETHODCALLTYPE put_Field(LONG field) override;
  HRESULT STDMETHODCALLTYPE get_RankOrder(LONG* order) override;
  HRESULT STDMETHODCALLTYPE put_RankOrder(LONG order) override;

 private:
  LONG field_ = 0;
  LONG order_ = 0;
};

// Field and order of any ITavoPLGenRank, ours or a host's. E_INVALIDARG for
// a null object, E_FAIL when a getter fails.
HRESULT ReadGenRank(ITavoPLGenRank* rank, LONG* field, LONG* order);

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GEN_RANK_H_
