// TavoPLInfo through its interfaces: the vtable and IDispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "data/descriptions/pl_info.h"
#include "platform/automation/utf.h"
#include "scoped_locale.h"
#include "support/dispatch_call.h"

namespace tavo {
namespace {

constexpr LONG kAsc = txpl_rank_order_ascending;
constexpr LONG kDsc = txpl_rank_order_descending;

using TextGetter = HRESULT (STDMETHODCALLTYPE ITavoPLInfo::*)(LONG, BSTR*);

class PLInfoTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, TavoPLInfo::Create(nullptr, IID_ITavoPLInfo, info_.ReleaseAndGetVoidAddressOf()));
  }

  void SetLanguage(const char* language) {
    BSTR text = BstrFromUtf8(language);
    ASSERT_EQ(S_OK, info_->put_Language(text));
    SysFreeString(text);
  }

  // The text of a successful call, freed again; "<failed>" otherwise.
  static std::string Take(HRESULT status, BSTR text) {
    std::string utf8 = status == S_OK && text != nullptr ? BstrToUtf8(text) : "<failed>";
    SysFreeString(text);
    return utf8;
  }
  std::string Text(TextGetter getter, LONG value) {
    BSTR text = nullptr;
    const HRESULT status = (info_.Get()->*getter)(value, &text);
    return Take(status, text);
  }
  std::string Field(LONG field) { return Text(&ITavoPLInfo::GetCriteriaFieldDescription, field); }
  std::string Op(LONG op) { return Text(&ITavoPLInfo::GetCriteriaOpDescription, op); }
  std::string Cutoff(LONG field, LONG order) {
    BSTR text = nullptr;
    const HRESULT status = info_->GetCutoffFieldDescription(field, order, &text);
    return Take(status, text);
  }
  LONG FieldType(LONG field) {
    LONG type = -99;
    EXPECT_EQ(S_OK, info_->GetCriteriaFieldType(field, &type));
    return type;
  }

  ComPtr<ITavoPLInfo> info_;
};

struct TextCase {
  TextGetter getter;
  LONG value;
  const char* text;
};

TEST_F(PLInfoTest, EnglishTextsAndValuesWithoutOne) {
  const TextCase cases[] = {
      {&ITavoPLInfo::GetCriteriaFieldDescription, 12, "Artist"},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 1, "Filename"},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 13, "Artist sort name"},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 21, "Tempo"},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 52, "Timbre"},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 0, ""},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 48, ""},
      {&ITavoPLInfo::GetCriteriaFieldDescription, 53, ""},
      {&ITavoPLInfo::GetCriteriaFieldDescription, -1, ""},
      {&ITavoPLInfo::GetCriteriaFieldDescription, INT32_MIN, ""},
      {&ITavoPLInfo::GetCriteriaOpDescription, 26, "is in the last"},
      {&ITavoPLInfo::GetCriteriaOpDescription, 21, "is equal to"},
      {&ITavoPLInfo::GetCriteriaOpDescription, 25, "is between"},
      {&ITavoPLInfo::GetCriteriaOpDescription, 27, "is not in the last"},
      {&ITavoPLInfo::GetCriteriaOpDescription, 7, ""},
      {&ITavoPLInfo::GetCriteriaOpDescription, 28, ""},
      {&ITavoPLInfo::GetCriteriaOpDescription, 29, ""},
      {&ITavoPLInfo::GetCriteriaOpDescription, -3, ""},
      {&ITavoPLInfo::GetCriteriaFieldUnits, 2, "MB"},
      {&ITavoPLInfo::GetCriteriaFieldUnits, 3, "minutes"},
      {&ITavoPLInfo::GetCriteriaFieldUnits, 7, "kbps"},
      {&ITavoPLInfo::GetCriteriaFieldUnits, 16, "bpm"},
      {&ITavoPLInfo::GetCriteriaFieldUnits, 12, ""},
      {&ITavoPLInfo::GetCriteriaFieldUnits, -2, ""},
      {&ITavoPLInfo::GetCriteriaOpUnits, 26, "days"},
      {&ITavoPLInfo::GetCriteriaOpUnits, 27, "days"},
      {&ITavoPLInfo::GetCriteriaOpUnits, 13, ""},
      {&ITavoPLInfo::GetUserInfoDescription, 1, "Highest"},
      {&ITavoPLInfo::GetUserInfoDescription, 9, "Played Within Last Day"},
      {&ITavoPLInfo::GetUserInfoDescription, 0, ""},
      {&ITavoPLInfo::GetUserInfoDescription, 10, ""},
      {&ITavoPLInfo::GetUserInfoDescription, -1, ""},
  };
  for (const char* language : {"", "1"}) {
    SetLanguage(language);
    for (const TextCase& c : cases) EXPECT_EQ(c.text, Text(c.getter, c.value)) << c.value;
  }
}

TEST_F(PLInfoTest, CutoffsPairAnOrderWithAField) {
  EXPECT_EQ("Bitrate, Lower Quality", Cutoff(7, kDsc));
  EXPECT_EQ("Bitrate, Highest Quality", Cutoff(7, kAsc));
  EXPECT_EQ("Date Played, Most Recent", Cutoff(6, kAsc));
  EXPECT_EQ("Least Popular, Worldwide", Cutoff(23, kDsc));
  EXPECT_EQ("User's Least Played", Cutoff(39, kDsc));
  EXPECT_EQ("User's Ratings, Highest", Cutoff(40, kAsc));
  EXPECT_EQ("", Cutoff(19, kAsc));  // genre order exists in translations only
  EXPECT_EQ("", Cutoff(19, kDsc));
  EXPECT_EQ("", Cutoff(7, 0));
  EXPECT_EQ("", Cutoff(12, kAsc));
  EXPECT_EQ("", Cutoff(7, -1));
  EXPECT_EQ("", Cutoff(-7, kAsc));
  SetLanguage("30");
  EXPECT_EQ("Genre, A bis Z", Cutoff(19, kAsc));
  EXPECT_EQ("Bitrate, niedrigere Qualität", Cutoff(7, kDsc));
}

TEST_F(PLInfoTest, GermanByCodeWithEnglishBehindPlaceholders) {
  SetLanguage("30");
  EXPECT_EQ("Interpret", Field(12));
  EXPECT_EQ("liegt in den letzten", Op(26));
  EXPECT_EQ("kbit/s", Text(&ITavoPLInfo::GetCriteriaFieldUnits, 7));
  EXPECT_EQ("Tagen", Text(&ITavoPLInfo::GetCriteriaOpUnits, 27));
  EXPECT_EQ("Nie gespielt", Text(&ITavoPLInfo::GetUserInfoDescription, 5));
  // The table holds the placeholder for field 48, so English shows: nothing.
  EXPECT_EQ("", Field(48));
  // Values without a resource id stay as in English.
  EXPECT_EQ("", Op(7));
  EXPECT_EQ("", Field(-1));
}

TEST_F(PLInfoTest, EveryTranslatedLanguageIsReachedByItsCode) {
  ScopedLocale locale("C");
  struct Case {
    const char* code;
    const char* artist;
  };
  const Case cases[] = {
      {"55", "演出者"},      {"30", "Interpret"},  {"71", "Artista"},  {"26", "Artiste"},
      {"43", "Artista"},     {"44", "アーティスト"}, {"48", "아티스트"},   {"19", "Artiest"},
      {"61", "Artista"},     {"64", "Исполнитель"}, {"73", "Artist"},   {"76", "ศิลปิน"},
      {"13", "艺术家"},
  };
  for (const Case& c : cases) {
    SetLanguage(c.code);
    EXPECT_EQ(c.artist, Field(12)) << c.code;
  }
  SetLanguage("76");
  EXPECT_EQ("อยู่ในช่วง", Op(26));
  SetLanguage("13");
  EXPECT_EQ("流派，按字母倒序", Cutoff(19, kDsc));
}

TEST_F(PLInfoTest, UnknownCodesFallBackToTheUserLanguageThenEnglish) {
  const char* unknown[] = {"999", "0", "-30", "abc", " ", "11"};
  {
    ScopedLocale locale("fr_FR.UTF-8");
    for (const char* code : unknown) {
      SetLanguage(code);
      EXPECT_EQ("Artiste", Field(12)) << code;
    }
    // A known code of a language without tables: the platform's loading,
    // which also speaks the user's language.
    SetLanguage("2");
    EXPECT_EQ("est dans les derniers", Op(26));
    // Empty still means English.
    SetLanguage("");
    EXPECT_EQ("Artist", Field(12));
  }
  {
    ScopedLocale locale("de_CH.UTF-8");  // no Swiss German table: German it is
    SetLanguage("999");
    EXPECT_EQ("Interpret", Field(12));
  }
  {
    ScopedLocale locale("C");
    for (const char* code : {"999", "abc", "2", "23"}) {
      SetLanguage(code);
      EXPECT_EQ("Artist", Field(12)) << code;
      EXPECT_EQ("is in the last", Op(26)) << code;
      EXPECT_EQ("", Cutoff(19, kAsc)) << code;
    }
  }
}

TEST_F(PLInfoTest, FieldTypesWithDeveloperFields) {
  EXPECT_EQ(txpl_crit_field_type_unknown, FieldType(46));
  EXPECT_EQ(txpl_crit_field_type_num, FieldType(2));
  EXPECT_EQ(txpl_crit_field_type_enum, FieldType(29));
  EXPECT_EQ(txpl_crit_field_type_unknown, FieldType(48));
  EXPECT_EQ(txpl_crit_field_type_unknown, FieldType(53));
  EXPECT_EQ(txpl_crit_field_type_unknown, FieldType(-1));

  EXPECT_EQ(S_OK, info_->SetDevFieldInfo(2, txpl_crit_field_type_string));
  EXPECT_EQ(S_OK, info_->SetDevFieldInfo(3, txpl_crit_field_type_date));
  EXPECT_EQ(txpl_crit_field_type_unknown, FieldType(45));
  EXPECT_EQ(txpl_crit_field_type_string, FieldType(46));
  EXPECT_EQ(txpl_crit_field_type_date, FieldType(47));
  for (LONG bad : {4, 0, -1, 44, 45}) EXPECT_EQ(E_INVALIDARG, info_->SetDevFieldInfo(bad, 1)) << bad;
  EXPECT_EQ(txpl_crit_field_type_num, FieldType(44));  // keeps its catalogue type

  // The declarations belong to the object that received them.
  ComPtr<ITavoPLInfo> other;
  ASSERT_EQ(S_OK, TavoPLInfo::Create(nullptr, IID_ITavoPLInfo, other.ReleaseAndGetVoidAddressOf()));
  LONG type = -1;
  ASSERT_EQ(S_OK, other->GetCriteriaFieldType(46, &type));
  EXPECT_EQ(txpl_crit_field_type_unknown, type);
}

TEST_F(PLInfoTest, LanguagePropertyAndMissingPointers) {
  BSTR language = nullptr;
  ASSERT_EQ(S_OK, info_->get_Language(&language));
  ASSERT_NE(nullptr, language);
  EXPECT_EQ(0u, SysStringLen(language));
  SysFreeString(language);

  SetLanguage("30");
  ASSERT_EQ(S_OK, info_->get_Language(&language));
  EXPECT_EQ("30", BstrToUtf8(language));
  SysFreeString(language);
  EXPECT_EQ(S_OK, info_->put_Language(nullptr));  // a null string is the empty one
  EXPECT_EQ("Artist", Field(12));

  for (TextGetter getter : {&ITavoPLInfo::GetCriteriaFieldDescription, &ITavoPLInfo::GetCriteriaFieldUnits,
                            &ITavoPLInfo::GetCriteriaOpDescription, &ITavoPLInfo::GetCriteriaOpUnits,
                            &ITavoPLInfo::GetUserInfoDescription}) {
    EXPECT_EQ(E_POINTER, (info_.Get()->*getter)(12, nullptr));
  }
  EXPECT_EQ(E_POINTER, info_->GetCutoffFieldDescription(7, kDsc, nullptr));
  EXPECT_EQ(E_POINTER, info_->GetCriteriaFieldType(2, nullptr));
  EXPECT_EQ(E_POINTER, info_->get_Language(nullptr));
}

TEST_F(PLInfoTest, ThroughIDispatch) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, info_->QueryInterface(IID_IDispatch, dispatch.ReleaseAndGetVoidAddressOf()));
  VARIANT result;
  VariantInit(&result);

  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"GetCriteriaFieldDescription", DISPATCH_METHOD, {host_calls::LongArg(12)}, &result));
  ASSERT_EQ(VT_BSTR, result.vt);
  EXPECT_EQ("Artist", BstrToUtf8(result.bstrVal));
  VariantClear(&result);

  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"GetCutoffFieldDescription", DISPATCH_METHOD,
                         {host_calls::LongArg(7), host_calls::LongArg(kDsc)}, &result));
  EXPECT_EQ("Bitrate, Lower Quality", BstrToUtf8(result.bstrVal));
  VariantClear(&result);

  VARIANT language;
  VariantInit(&language);
  language.vt = VT_BSTR;
  language.bstrVal = SysAllocString(u"30");
  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"Language", DISPATCH_PROPERTYPUT, {language}, nullptr));
  VariantClear(&language);
  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"GetCriteriaOpDescription", DISPATCH_METHOD, {host_calls::LongArg(26)}, &result));
  EXPECT_EQ("liegt in den letzten", BstrToUtf8(result.bstrVal));
  VariantClear(&result);

  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"SetDevFieldInfo", DISPATCH_METHOD, {host_calls::LongArg(2), host_calls::LongArg(1)}, nullptr));
  EXPECT_EQ(E_INVALIDARG, host_calls::CallByName(dispatch.Get(), u"SetDevFieldInfo", DISPATCH_METHOD, {host_calls::LongArg(4), host_calls::LongArg(1)}, nullptr));
  ASSERT_EQ(S_OK, host_calls::CallByName(dispatch.Get(), u"GetCriteriaFieldType", DISPATCH_METHOD, {host_calls::LongArg(46)}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(1, result.lVal);
}

TEST_F(PLInfoTest, LanguageMayChangeWhileAnotherThreadReadsTexts) {
  ScopedLocale locale("C");
  std::thread writer([&] {
    for (int i = 0; i < 500; ++i) SetLanguage(i % 2 ? "30" : "a rather long language value that lives on the heap");
  });
  for (int i = 0; i < 500; ++i) {
    const std::string artist = Field(12);
    EXPECT_TRUE(artist == "Interpret" || artist == "Artist") << artist;
  }
  writer.join();
}

}  // namespace
}  // namespace tavo
