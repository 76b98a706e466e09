// The user's default language as a Windows language id (primary language in
// the low ten bits, sublanguage above), taken from the locale environment.
#ifndef TAVO_DATA_DESCRIPTIONS_USER_LANGUAGE_H_
#define TAVO_DATA_DESCRIPTIONS_USER_LANGUAGE_H_

#include <cstdint>
#include <string_view>

namespace tavo {

// The language of a POSIX locale name ("de_AT.UTF-8@euro", "pt_BR", "ja").
// A known language in an unlisted country gets its default sublanguage;
// "C", "POSIX", empty and unknown names give US English (0x0409).
uint16_t LanguageIdFromLocaleName(std::string_view locale);

// LanguageIdFromLocaleName of the first non-empty of LC_ALL, LC_MESSAGES and
// LANG, the order in which they decide the language of messages. Read on
// every call, as the platform's own query is.
uint16_t UserDefaultLanguageId();

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_USER_LANGUAGE_H_
