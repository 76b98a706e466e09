// The text shown for one description in the language a host asked for.
#ifndef TAVO_DATA_DESCRIPTIONS_LOCALIZED_TEXT_H_
#define TAVO_DATA_DESCRIPTIONS_LOCALIZED_TEXT_H_

#include <cstdint>
#include <string_view>

#include "data/descriptions/description_sources.h"

namespace tavo {

// Translators leave these in a table for texts they have not translated; a
// localized text equal to the operation's placeholder counts as missing.
inline constexpr std::string_view kFieldDescriptionPlaceholder = "xxx";
inline constexpr std::string_view kUnitsPlaceholder = "uuu";  // field and operator units, cutoffs
inline constexpr std::string_view kOperatorPlaceholder = "ooo";
inline constexpr std::string_view kUserInfoPlaceholder = "iii";

// The decimal value at the start of a Language string, as the component has
// always read it: leading blanks and one sign allowed, digits up to the first
// non-digit, saturating. Text without digits reads as 0, a code no language
// carries.
int32_t LanguageCodeFromText(std::u16string_view language);

// The localized text of `source` for `language` (a Language property value),
// or its built-in English text when Language is empty or "1", when the
// language's tables give nothing, an empty text or `placeholder`. A code no
// language carries means the user's default language; a language without the
// text's block leaves the choice to the platform's string loading.
std::string_view LocalizedText(std::u16string_view language, const DescriptionSource& source,
                               std::string_view placeholder);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_LOCALIZED_TEXT_H_
