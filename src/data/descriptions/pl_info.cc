#include "data/descriptions/pl_info.h"

#include "data/descriptions/localized_text.h"
#include "platform/automation/utf.h"
#include "platform/com/out_values.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

constexpr LONG kFirstDevField = txpl_crit_field_xdev1;
constexpr LONG kDevFieldCount = txpl_crit_field_xdev3 - txpl_crit_field_xdev1 + 1;

}  // namespace

HRESULT TavoPLInfo::ReturnText(const DescriptionSource& source, std::string_view placeholder, BSTR* text) {
  if (text == nullptr) return E_POINTER;
  std::u16string language;
  {
    std::lock_guard<std::mutex> lock(language_mutex_);
    language = language_;
  }
  return StoreText(text, LocalizedText(language, source, placeholder));
}

HRESULT TavoPLInfo::GetCriteriaFieldType(LONG field, LONG* fieldType) {
  if (fieldType == nullptr) return E_POINTER;
  const LONG dev = field - kFirstDevField;
  return StoreOut(fieldType, dev >= 0 && dev < kDevFieldCount ? dev_field_types_[dev].load() : FieldCatalog_Type(field));
}

HRESULT TavoPLInfo::GetCriteriaFieldDescription(LONG field, BSTR* text) {
  return ReturnText(FieldDescriptionSource(field), kFieldDescriptionPlaceholder, text);
}

HRESULT TavoPLInfo::GetCriteriaFieldUnits(LONG field, BSTR* text) {
  return ReturnText(FieldUnitsSource(field), kUnitsPlaceholder, text);
}

HRESULT TavoPLInfo::GetCriteriaOpDescription(LONG op, BSTR* text) {
  return ReturnText(OperatorDescriptionSource(op), kOperatorPlaceholder, text);
}

HRESULT TavoPLInfo::GetCriteriaOpUnits(LONG op, BSTR* text) {
  return ReturnText(OperatorUnitsSource(op), kUnitsPlaceholder, text);
}

HRESULT TavoPLInfo::GetUserInfoDescription(LONG info, BSTR* text) {
  return ReturnText(UserInfoDescriptionSource(info), kUserInfoPlaceholder, text);
}

HRESULT TavoPLInfo::get_Language(BSTR* language) {
  std::lock_guard<std::mutex> lock(language_mutex_);
  return StoreText(language, std::u16string_view(language_));
}

HRESULT TavoPLInfo::put_Language(BSTR language) {
  std::u16string copy(BstrView(language));
  std::lock_guard<std::mutex> lock(language_mutex_);
  language_.swap(copy);
  return S_OK;
}

HRESULT TavoPLInfo::GetCutoffFieldDescription(LONG field, LONG order, BSTR* text) {
  return ReturnText(CutoffDescriptionSource(order | field), kUnitsPlaceholder, text);
}

HRESULT TavoPLInfo::SetDevFieldInfo(LONG fieldnum, LONG fieldType) {
  if (fieldnum < 1 || fieldnum > kDevFieldCount) return E_INVALIDARG;
  dev_field_types_[fieldnum - 1].store(fieldType);
  return S_OK;
}

}  // namespace tavo
