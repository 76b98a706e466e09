#include "generation/objects/pl_gen_criteria.h"

#include "generation/objects/interface_text.h"
#include "platform/com/out_values.h"
#include "vocabulary/dates.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {

HRESULT TavoPLGenCriteria::get_Description(BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  // No description reads as a null string.
  return record_->description.empty() ? S_OK : StoreInterfaceText(description, record_->description);
}

HRESULT TavoPLGenCriteria::put_Description(BSTR description) {
  record_->description = TextFromBstr(description);
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_Field(LONG* field) { return StoreOut(field, record_->field()); }

HRESULT TavoPLGenCriteria::put_Field(LONG field) {
  record_->set_field(field);
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_FieldType(LONG* field_type) { return StoreOut(field_type, record_->field_type); }

HRESULT TavoPLGenCriteria::put_FieldType(LONG field_type) {
  record_->field_type = field_type;
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_Operation(LONG* op) { return StoreOut(op, record_->op); }

HRESULT TavoPLGenCriteria::put_Operation(LONG op) {
  record_->op = op;
  return S_OK;
}

HRESULT TavoPLGenCriteria::GetInt(int index, LONG* value) const { return StoreOut(value, record_->int_param(index)); }

HRESULT TavoPLGenCriteria::PutInt(int index, LONG value) {
  record_->set_int_param(index, value);
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_IntParam1(LONG* value) { return GetInt(0, value); }
HRESULT TavoPLGenCriteria::put_IntParam1(LONG value) { return PutInt(0, value); }
HRESULT TavoPLGenCriteria::get_IntParam2(LONG* value) { return GetInt(1, value); }
HRESULT TavoPLGenCriteria::put_IntParam2(LONG value) { return PutInt(1, value); }
HRESULT TavoPLGenCriteria::get_IntParam3(LONG* value) { return GetInt(2, value); }
HRESULT TavoPLGenCriteria::put_IntParam3(LONG value) { return PutInt(2, value); }

HRESULT TavoPLGenCriteria::GetStr(int index, BSTR* value) const {
  if (value == nullptr) return E_POINTER;
  // A missing parameter reads as an empty string, not a null one.
  return StoreInterfaceText(value, record_->str_param(index));
}

HRESULT TavoPLGenCriteria::PutStr(int index, BSTR value) {
  record_->set_str_param(index, TextFromBstr(value));
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_StrParam1(BSTR* value) { return GetStr(0, value); }
HRESULT TavoPLGenCriteria::put_StrParam1(BSTR value) { return PutStr(0, value); }
HRESULT TavoPLGenCriteria::get_StrParam2(BSTR* value) { return GetStr(1, value); }
HRESULT TavoPLGenCriteria::put_StrParam2(BSTR value) { return PutStr(1, value); }

HRESULT TavoPLGenCriteria::get_Weight(SHORT* weight) { return StoreOut(weight, static_cast<SHORT>(record_->weight)); }

HRESULT TavoPLGenCriteria::put_Weight(SHORT weight) {
  record_->weight = static_cast<uint16_t>(weight);
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_SelectionBased(LONG* selection_based) {
  return StoreOut(selection_based, record_->selection_based ? 1 : 0);
}

HRESULT TavoPLGenCriteria::put_SelectionBased(LONG selection_based) {
  record_->selection_based = selection_based == 1 ? 1 : 0;
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_Order(LONG* order) { return StoreOut(order, record_->order); }

HRESULT TavoPLGenCriteria::put_Order(LONG) { return S_OK; }

HRESULT TavoPLGenCriteria::GetDate(int index, ITavoPL2Timestamp** date) const {
  if (date == nullptr) return E_POINTER;
  *date = nullptr;
  return NewTimestamp(UnpackGeneratorDate(static_cast<uint32_t>(record_->int_param(index))), date);
}

HRESULT TavoPLGenCriteria::PutDate(int index, ITavoPL2Timestamp* date) {
  if (date == nullptr) return E_INVALIDARG;
  DateTime value;
  if (ReadTimestamp(date, &value) != S_OK) return E_FAIL;
  record_->set_int_param(index, static_cast<int32_t>(PackGeneratorDate(value)));
  return S_OK;
}

HRESULT TavoPLGenCriteria::get_DateParam1(ITavoPL2Timestamp** date) { return GetDate(0, date); }
HRESULT TavoPLGenCriteria::put_DateParam1(ITavoPL2Timestamp* date) { return PutDate(0, date); }
HRESULT TavoPLGenCriteria::get_DateParam2(ITavoPL2Timestamp** date) { return GetDate(1, date); }
HRESULT TavoPLGenCriteria::put_DateParam2(ITavoPL2Timestamp* date) { return PutDate(1, date); }

}  // namespace tavo
