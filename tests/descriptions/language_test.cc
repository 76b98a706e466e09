// Language codes, locale names and the Language property's number.
#include <gtest/gtest.h>

#include "data/descriptions/language_codes.h"
#include "data/descriptions/localized_text.h"
#include "data/descriptions/user_language.h"
#include "scoped_locale.h"

namespace tavo {
namespace {

TEST(LanguageCodesTest, CodeGivesTheLowestLanguageIdCarryingIt) {
  struct Case {
    int32_t code;
    uint16_t language_id;
  };
  const Case cases[] = {
      {1, 0x0400},   // neutral comes before every English variant
      {2, 0x0436},  {13, 0x0804},  // before 0x0C04, 0x1004, 0x1404
      {19, 0x0413}, {23, 0x0816}, {26, 0x040C}, {30, 0x0407}, {43, 0x0410}, {44, 0x0411},
      {48, 0x0412}, {54, 0x043E},  // before 0x044C
      {55, 0x0404}, {61, 0x0416}, {64, 0x0419}, {71, 0x040A}, {73, 0x041D}, {76, 0x041E},
      {81, 0x042A},
      // Codes no language carries.
      {0, 0}, {-30, 0}, {11, 0}, {82, 0}, {256, 0}, {INT32_MIN, 0}, {INT32_MAX, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.language_id, LanguageIdForCode(c.code)) << c.code;
}

TEST(LanguageCodesTest, LanguageTextReadsLikeTheOldAtoi) {
  struct Case {
    const char16_t* text;
    int32_t code;
  };
  const Case cases[] = {
      {u"30", 30},  {u" 30", 30}, {u"30de", 30}, {u"+7", 7},  {u"-30", -30}, {u"de", 0},
      {u"", 0},     {u"-", 0},    {u"99999999999999", INT32_MAX},  {u"-99999999999999", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(c.code, LanguageCodeFromText(c.text));
}

TEST(UserLanguageTest, LocaleNamesMapToLanguageIds) {
  struct Case {
    const char* locale;
    uint16_t language_id;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", 0x0407}, {"de_AT.UTF-8@euro", 0x0C07}, {"DE_de", 0x0407}, {"fr_CA", 0x0C0C},
      {"fr", 0x040C},          {"ja_JP.eucJP", 0x0411},      {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
      {"es_ES", 0x0C0A},       {"es_MX", 0x080A},            {"zh", 0x0804},    {"zh_CN.GB18030", 0x0804},
      {"zh_TW.UTF-8", 0x0404}, {"zh_HK", 0x0C04},            {"zh_SG", 0x1004}, {"th_TH", 0x041E},
      {"sv-SE", 0x041D},       {"en_GB", 0x0809},            {"C", 0x0409},     {"POSIX", 0x0409},
      {"C.UTF-8", 0x0409},     {"", 0x0409},                 {"xx_YY", 0x0409}, {"_", 0x0409},
  };
  for (const Case& c : cases) EXPECT_EQ(c.language_id, LanguageIdFromLocaleName(c.locale)) << c.locale;
}

TEST(UserLanguageTest, LcAllWinsOverLcMessagesOverLang) {
  ScopedLocale locale("");  // all three cleared, LC_ALL empty
  EXPECT_EQ(0x0409, UserDefaultLanguageId());
  setenv("LANG", "ko_KR.UTF-8", 1);
  EXPECT_EQ(0x0412, UserDefaultLanguageId());
  setenv("LC_MESSAGES", "it_IT", 1);
  EXPECT_EQ(0x0410, UserDefaultLanguageId());
  setenv("LC_ALL", "ru_RU", 1);
  EXPECT_EQ(0x0419, UserDefaultLanguageId());
}

}  // namespace
}  // namespace tavo
