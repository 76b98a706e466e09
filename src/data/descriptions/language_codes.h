// The component's own language codes (the decimal numbers a host writes into
// TavoPLInfo's Language) and the Windows language ids they stand for.
#ifndef TAVO_DATA_DESCRIPTIONS_LANGUAGE_CODES_H_
#define TAVO_DATA_DESCRIPTIONS_LANGUAGE_CODES_H_

#include <cstdint>

namespace tavo {

// Code 1 is English in every variant and, as a Language value, means "the
// built-in texts".
inline constexpr int32_t kLanguageCodeEnglish = 1;

// The language id of a code: of all ids carrying the code, the one with the
// lowest primary language id, then the lowest sublanguage id. 0 when no id
// carries the code (0 itself, negative numbers, numbers not in the table).
uint16_t LanguageIdForCode(int32_t code);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_LANGUAGE_CODES_H_
