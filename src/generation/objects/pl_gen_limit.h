// TavoPLGenLimit: a per-field limit (at most Limit tracks per value of Field)
// as a plain value object; nothing is checked.
#ifndef TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_H_
#define TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_H_

#include "generation/records/generator_record.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPLGenLimit : public ComObject<TavoPLGenLimit, ITavoPLGenLimit> {
 public:
  TavoPLGenLimit() = default;
  explicit TavoPLGenLimit(const FieldLimit& value) : value_(value) {}

  HRESULT STDMETHODCALLTYPE get_Field(LONG* field) override;
  HRESULT STDMETHODCALLTYPE put_Field(LONG field) override;
  HRESULT STDMETHODCALLTYPE get_Limit(LONG* limit) override;
  HRESULT STDMETHODCALLTYPE put_Limit(LONG limit) override;

 private:
  FieldLimit value_;
};

// A new limit object holding `value`, with one reference for `*out`.
HRESULT NewGenLimit(const FieldLimit& value, ITavoPLGenLimit** out);
// Field and limit of any ITavoPLGenLimit, ours or a host's. E_INVALIDARG for
// a null object, E_FAIL when a getter fails.
HRESULT ReadGenLimit(ITavoPLGenLimit* limit, FieldLimit* value);

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GEN_LIMIT_H_
