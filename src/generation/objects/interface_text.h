// Text at the generator interfaces: automation strings (UTF-16) outside,
// UTF-8 in the records. At most kMaxInterfaceText bytes of UTF-8 cross in
// either direction, cut at a character boundary.
#ifndef TAVO_GENERATION_OBJECTS_INTERFACE_TEXT_H_
#define TAVO_GENERATION_OBJECTS_INTERFACE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "tavo/automation.h"

namespace tavo {

inline constexpr size_t kMaxInterfaceText = 2048;

std::string TextFromBstr(BSTR text);
// StoreText (platform/com/out_values.h) of the text cut to the limit.
HRESULT StoreInterfaceText(BSTR* out, std::string_view text);

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_INTERFACE_TEXT_H_
