// UTF-8 <-> UTF-16 conversion for automation strings.
//
// Four-byte UTF-8 sequences become surrogate pairs and back, so text outside
// the Basic Multilingual Plane (emoji in titles) survives a round trip.
// Malformed input never fails: each bad byte or lone surrogate becomes U+FFFD.
#ifndef TAVO_PLATFORM_AUTOMATION_UTF_H_
#define TAVO_PLATFORM_AUTOMATION_UTF_H_

#include <string>
#include <string_view>

#include "platform/automation/runtime_api.h"
#include "tavo/automation.h"

namespace tavo {

TAVO_RUNTIME_API std::u16string Utf8ToUtf16(std::string_view utf8);
TAVO_RUNTIME_API std::string Utf16ToUtf8(std::u16string_view utf16);

// A new BSTR holding the UTF-8 text; nullptr only when memory runs out.
TAVO_RUNTIME_API BSTR BstrFromUtf8(std::string_view utf8);
// The text of a BSTR as UTF-8; a null BSTR is the empty string.
TAVO_RUNTIME_API std::string BstrToUtf8(BSTR s);
inline std::u16string_view BstrView(BSTR s) {
  return s ? std::u16string_view(s, SysStringLen(s)) : std::u16string_view();
}

}  // namespace tavo

#endif  // TAVO_PLATFORM_AUTOMATION_UTF_H_
