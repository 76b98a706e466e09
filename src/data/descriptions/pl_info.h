// TavoPLInfo: the texts a host shows for playlist criteria (field, operator,
// unit, user-info and rank cutoff descriptions) in the language set through
// Language, with built-in English behind every localized text, and the types
// a host declares for the three developer fields.
//
// Every text comes back as a new BSTR the caller frees; a value without any
// text gives an empty string, never a failure. Language and the developer
// field types are guarded, so one object may be shared between threads.
#ifndef TAVO_DATA_DESCRIPTIONS_PL_INFO_H_
#define TAVO_DATA_DESCRIPTIONS_PL_INFO_H_

#include <array>
#include <atomic>
#include <mutex>
#include <string>

#include "data/descriptions/description_sources.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPLInfo : public ComObject<TavoPLInfo, ITavoPLInfo> {
 public:
  HRESULT STDMETHODCALLTYPE GetCriteriaFieldType(LONG field, LONG* fieldType) override;
  HRESULT STDMETHODCALLTYPE GetCriteriaFieldDescription(LONG field, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetCriteriaFieldUnits(LONG field, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetCriteriaOpDescription(LONG op, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetCriteriaOpUnits(LONG op, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetUserInfoDescription(LONG info, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) override;
  HRESULT STDMETHODCALLTYPE put_Language(BSTR language) override;
  HRESULT STDMETHODCALLTYPE GetCutoffFieldDescription(LONG field, LONG order, BSTR* text) override;
  // fieldnum 1..3 declares the type of field 44 + fieldnum (xdev1..xdev3).
  HRESULT STDMETHODCALLTYPE SetDevFieldInfo(LONG fieldnum, LONG fieldType) override;

 private:
  HRESULT ReturnText(const DescriptionSource& source, std::string_view placeholder, BSTR* text);

  std::mutex language_mutex_;
  std::u16string language_;  // as the host set it; empty means English
  std::array<std::atomic<LONG>, 3> dev_field_types_{};  // txpl_crit_field_type_t, 0 until declared
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_PL_INFO_H_
