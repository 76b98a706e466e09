// TavoPLGenCriteria: a view of one criterion record.
//
// A new object makes its own record (defaults of CriterionRecord); objects
// handed out by a criteria list share the record in the generator's chain, so
// a change through any of them is seen by all. The record is shared, so the
// view stays valid when the criterion leaves its chain or the generator goes.
#ifndef TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_H_
#define TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_H_

#include <memory>

#include "generation/records/criterion_record.h"
#include "generation/objects/own_interfaces.h"
#include "platform/com/object.h"

namespace tavo {

class TavoPLGenCriteria : public ComObject<TavoPLGenCriteria, ITavoPLGenCriteria, ITavoOwnGenCriteria> {
 public:
  using OwnInterface = ITavoOwnGenCriteria;

  TavoPLGenCriteria() : record_(std::make_shared<CriterionRecord>()) {}
  explicit TavoPLGenCriteria(std::shared_ptr<CriterionRecord> record) : record_(std::move(record)) {}

  const std::shared_ptr<CriterionRecord>& record() const { return record_; }

  HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE put_Description(BSTR description) override;
  HRESULT STDMETHODCALLTYPE get_Field(LONG* field) override;
  HRESULT STDMETHODCALLTYPE put_Field(LONG field) override;
  HRESULT STDMETHODCALLTYPE get_FieldType(LONG* field_type) override;
  HRESULT STDMETHODCALLTYPE put_FieldType(LONG field_type) override;
  HRESULT STDMETHODCALLTYPE get_Operation(LONG* op) override;
  HRESULT STDMETHODCALLTYPE put_Operation(LONG op) override;
  HRESULT STDMETHODCALLTYPE get_IntParam1(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_IntParam1(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_IntParam2(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_IntParam2(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_IntParam3(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_IntParam3(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_StrParam1(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_StrParam1(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_StrParam2(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_StrParam2(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Weight(SHORT* weight) override;
  HRESULT STDMETHODCALLTYPE put_Weight(SHORT weight) override;
  HRESULT STDMETHODCALLTYPE get_SelectionBased(LONG* selection_based) override;
  HRESULT STDMETHODCALLTYPE put_SelectionBased(LONG selection_based) override;
  HRESULT STDMETHODCALLTYPE get_Order(LONG* order) override;
  // Accepted and ignored: the generator's chain gives the order.
  HRESULT STDMETHODCALLTYPE put_Order(LONG order) override;
  // Integer parameter 1 or 2 read as a generator date.
  HRESULT STDMETHODCALLTYPE get_DateParam1(ITavoPL2Timestamp** date) override;
  HRESULT STDMETHODCALLTYPE put_DateParam1(ITavoPL2Timestamp* date) override;
  HRESULT STDMETHODCALLTYPE get_DateParam2(ITavoPL2Timestamp** date) override;
  HRESULT STDMETHODCALLTYPE put_DateParam2(ITavoPL2Timestamp* date) override;

 private:
  HRESULT GetInt(int index, LONG* value) const;
  HRESULT PutInt(int index, LONG value);
  HRESULT GetStr(int index, BSTR* value) const;
  HRESULT PutStr(int index, BSTR value);
  HRESULT GetDate(int index, ITavoPL2Timestamp** date) const;
  HRESULT PutDate(int index, ITavoPL2Timestamp* date);

  const std::shared_ptr<CriterionRecord> record_;  // never null
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GEN_CRITERIA_H_
