#include "generation/objects/interface_text.h"

#include "platform/automation/utf.h"
#include "platform/com/out_values.h"

namespace tavo {
namespace {

std::string_view Capped(std::string_view utf8) {
  if (utf8.size() <= kMaxInterfaceText) return utf8;
  size_t end = kMaxInterfaceText;
  // Never end inside a multi-byte sequence: back off its continuation bytes
  // and its lead byte.
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

}  // namespace

std::string TextFromBstr(BSTR text) { return std::string(Capped(BstrToUtf8(text))); }

HRESULT StoreInterfaceText(BSTR* out, std::string_view text) { return StoreText(out, Capped(text)); }

}  // namespace tavo
