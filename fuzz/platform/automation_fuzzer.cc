// Text that crosses the boundary: UTF-8 <-> UTF-16, GUID text, and variant
// conversions from strings. Valid UTF-8 must survive a round trip.
#include <cstdint>
#include <string>

#include "platform/automation/guid_text.h"
#include "platform/automation/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = tavo::Utf8ToUtf16(text);
  const std::string back = tavo::Utf16ToUtf8(wide);
  if (tavo::Utf8ToUtf16(back) != wide) __builtin_trap();  // a second trip changes nothing

  GUID guid;
  if (tavo::ParseGuid(text, &guid) && !tavo::ParseGuid(tavo::FormatGuid(guid), &guid)) __builtin_trap();

  VARIANT source, converted;
  VariantInit(&converted);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  for (VARTYPE vt : {VT_I2, VT_I4, VT_UI4, VT_BOOL, VT_R8, VT_BSTR, VT_DISPATCH}) {
    VariantChangeType(&converted, &source, 0, vt);
    VariantClear(&converted);
  }
  VariantClear(&source);
  return 0;
}
