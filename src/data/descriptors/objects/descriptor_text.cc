#include "data/descriptors/objects/descriptor_text.h"

#include <algorithm>
#include <string>

#include "platform/automation/utf.h"
#include "platform/com/out_values.h"

namespace tavo {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

HRESULT StoreDescriptorText(BSTR* out, std::string_view utf8) {
  if (out == nullptr) return E_POINTER;
  const std::u16string text = Utf8ToUtf16(utf8);
  size_t length = std::min(text.size(), kMaxDescriptorText);
  if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) --length;
  return StoreText(out, std::u16string_view(text).substr(0, length));
}

}  // namespace tavo
