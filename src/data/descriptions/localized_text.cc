#include "data/descriptions/localized_text.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "data/descriptions/language_codes.h"
#include "data/descriptions/string_resources.h"
#include "data/descriptions/user_language.h"

namespace tavo {

int32_t LanguageCodeFromText(std::u16string_view language) {
  size_t i = 0;
  while (i < language.size() && (language[i] == u' ' || language[i] == u'\t')) ++i;
  bool negative = false;
  if (i < language.size() && (language[i] == u'-' || language[i] == u'+')) negative = language[i++] == u'-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < language.size() && language[i] >= u'0' && language[i] <= u'9'; ++i)
    value = std::min(kLimit, value * 10 + (language[i] - u'0'));
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

std::string_view LocalizedText(std::u16string_view language, const DescriptionSource& source,
                               std::string_view placeholder) {
  if (source.resource_id == 0 || language.empty() || language == u"1") return source.english;
  uint16_t language_id = LanguageIdForCode(LanguageCodeFromText(language));
  if (language_id == 0) language_id = UserDefaultLanguageId();
  std::optional<std::string_view> text = FindResourceString(language_id, source.resource_id);
  if (!text) text = LoadSystemString(source.resource_id);
  if (!text || text->empty() || *text == placeholder) return source.english;
  return *text;
}

}  // namespace tavo
