#include "data/descriptions/user_language.h"

#include <array>
#include <cstdlib>
#include <string>

namespace tavo {
namespace {

constexpr uint16_t kUsEnglish = 0x0409;

struct PrimaryLanguage {
  std::string_view iso;  // ISO 639-1
  uint16_t primary;
};

// Languages with a Windows primary language id, in ISO order.
constexpr std::array<PrimaryLanguage, 69> kPrimaryLanguages = {{
    {"af", 0x36}, {"ar", 0x01}, {"as", 0x4D}, {"az", 0x2C}, {"be", 0x23}, {"bg", 0x02}, {"bn", 0x45},
    {"ca", 0x03}, {"cs", 0x05}, {"cy", 0x52}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08}, {"en", 0x09},
    {"es", 0x0A}, {"et", 0x25}, {"eu", 0x2D}, {"fa", 0x29}, {"fi", 0x0B}, {"fo", 0x38}, {"fr", 0x0C},
    {"ga", 0x3C}, {"gl", 0x56}, {"gu", 0x47}, {"he", 0x0D}, {"hi", 0x39}, {"hr", 0x1A}, {"hu", 0x0E},
    {"hy", 0x2B}, {"id", 0x21}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ka", 0x37}, {"kk", 0x3F},
    {"kn", 0x4B}, {"ko", 0x12}, {"lt", 0x27}, {"lv", 0x26}, {"mk", 0x2F}, {"ml", 0x4C}, {"mr", 0x4E},
    {"ms", 0x3E}, {"nb", 0x14}, {"ne", 0x61}, {"nl", 0x13}, {"nn", 0x14}, {"no", 0x14}, {"or", 0x48},
    {"pa", 0x46}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"sa", 0x4F}, {"sk", 0x1B},
    {"sl", 0x24}, {"sq", 0x1C}, {"sr", 0x1A}, {"sv", 0x1D}, {"sw", 0x41}, {"ta", 0x49}, {"te", 0x4A},
    {"th", 0x1E}, {"tr", 0x1F}, {"uk", 0x22}, {"ur", 0x20}, {"vi", 0x2A}, {"zh", 0x04},
}};

struct RegionalVariant {
  std::string_view iso;      // language
  std::string_view country;  // ISO 3166-1 alpha-2
  uint16_t language_id;
};

// Variants whose sublanguage is not the default one (1), and those where the
// default depends on the country: Chinese without a country is Simplified.
constexpr std::array<RegionalVariant, 53> kRegionalVariants = {{
    {"de", "AT", 0x0C07}, {"de", "CH", 0x0807}, {"de", "LI", 0x1407}, {"de", "LU", 0x1007},
    {"en", "AU", 0x0C09}, {"en", "BZ", 0x2809}, {"en", "CA", 0x1009}, {"en", "GB", 0x0809},
    {"en", "IE", 0x1809}, {"en", "IN", 0x4009}, {"en", "JM", 0x2009}, {"en", "MY", 0x4409},
    {"en", "NZ", 0x1409}, {"en", "PH", 0x3409}, {"en", "SG", 0x4809}, {"en", "TT", 0x2C09},
    {"en", "ZA", 0x1C09}, {"en", "ZW", 0x3009}, {"es", "AR", 0x2C0A}, {"es", "BO", 0x400A},
    {"es", "CL", 0x340A}, {"es", "CO", 0x240A}, {"es", "CR", 0x140A}, {"es", "DO", 0x1C0A},
    {"es", "EC", 0x300A}, {"es", "ES", 0x0C0A}, {"es", "GT", 0x100A}, {"es", "HN", 0x480A},
    {"es", "MX", 0x080A}, {"es", "NI", 0x4C0A}, {"es", "PA", 0x180A}, {"es", "PE", 0x280A},
    {"es", "PR", 0x500A}, {"es", "PY", 0x3C0A}, {"es", "SV", 0x440A}, {"es", "UY", 0x380A},
    {"es", "VE", 0x200A}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C}, {"nl", "BE", 0x0813}, {"nn", "", 0x0814},
    {"pt", "PT", 0x0816}, {"sr", "", 0x081A}, {"sv", "FI", 0x081D}, {"zh", "", 0x0804},
    {"zh", "CN", 0x0804}, {"zh", "HK", 0x0C04}, {"zh", "MO", 0x1404}, {"zh", "SG", 0x1004},
    {"zh", "TW", 0x0404},
}};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

uint16_t LanguageIdFromLocaleName(std::string_view locale) {
  // language[_COUNTRY][.codeset][@modifier]; case is not reliable in the wild.
  locale = locale.substr(0, locale.find_first_of(".@"));
  const size_t separator = locale.find_first_of("_-");
  std::string iso, country;
  for (char c : locale.substr(0, separator)) iso += Lower(c);
  if (separator != std::string_view::npos)
    for (char c : locale.substr(separator + 1)) country += Upper(c);

  const PrimaryLanguage* primary = nullptr;
  for (const PrimaryLanguage& p : kPrimaryLanguages)
    if (p.iso == iso) primary = &p;
  if (primary == nullptr) return kUsEnglish;
  // A listed country first, then the language's own entry without a country.
  for (std::string_view wanted : {std::string_view(country), std::string_view()}) {
    for (const RegionalVariant& v : kRegionalVariants)
      if (v.iso == iso && v.country == wanted) return v.language_id;
  }
  return static_cast<uint16_t>(0x0400 | primary->primary);
}

uint16_t UserDefaultLanguageId() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return LanguageIdFromLocaleName(value);
  }
  return kUsEnglish;
}

}  // namespace tavo
