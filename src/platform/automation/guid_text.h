// Text form of GUIDs: "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
#ifndef TAVO_PLATFORM_AUTOMATION_GUID_TEXT_H_
#define TAVO_PLATFORM_AUTOMATION_GUID_TEXT_H_

#include <string>
#include <string_view>

#include "platform/automation/runtime_api.h"
#include "tavo/automation.h"

namespace tavo {

// Accepts either case, with or without the braces; false for anything else.
TAVO_RUNTIME_API bool ParseGuid(std::string_view text, GUID* out);
// Braces included; upper case unless `lower`.
TAVO_RUNTIME_API std::string FormatGuid(const GUID& guid, bool lower = false);

}  // namespace tavo

#endif  // TAVO_PLATFORM_AUTOMATION_GUID_TEXT_H_
