#include <cstdio>
#include <cstring>

#include "platform/automation/guid_text.h"
#include "platform/automation/utf.h"

namespace tavo {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseGuid(std::string_view text, GUID* out) {
  if (text.size() == 38) {
    if (text.front() != '{' || text.back() != '}') return false;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  // 8-4-4-4-12 hex digits; the dashes stand at 8, 13, 18, 23.
  uint8_t bytes[16];
  size_t b = 0;
  for (size_t i = 0; i < 36;) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return false;
      ++i;
      continue;
    }
    const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[b++] = static_cast<uint8_t>(hi << 4 | lo);
    i += 2;
  }
  out->Data1 = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
  out->Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  out->Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  std::memcpy(out->Data4, bytes + 8, 8);
  return true;
}

std::string FormatGuid(const GUID& g, bool lower) {
  char buf[40];
  std::snprintf(buf, sizeof buf,
                lower ? "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}"
                      : "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

}  // namespace tavo

TAVO_AUTO_API int IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }

TAVO_AUTO_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int capacity) {
  if (out == nullptr || capacity < 39) return 0;
  const std::string text = tavo::FormatGuid(guid);
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<OLECHAR>(text[i]);
  out[text.size()] = 0;
  return static_cast<int>(text.size()) + 1;
}

TAVO_AUTO_API HRESULT IIDFromString(LPCOLESTR text, IID* out) {
  if (out == nullptr) return E_INVALIDARG;
  if (text == nullptr) return *out = GUID{}, S_OK;  // a null string is the null GUID
  std::u16string_view view(text);
  if (view.size() != 38 || view.front() != u'{') return CO_E_CLASSSTRING;
  return tavo::ParseGuid(tavo::Utf16ToUtf8(view), out) ? S_OK : CO_E_CLASSSTRING;
}

TAVO_AUTO_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out) {
  if (out == nullptr) return E_INVALIDARG;
  const HRESULT hr = IIDFromString(text, out);
  if (hr == S_OK || text == nullptr || text[0] == u'{') return hr;
  return CLSIDFromProgID(text, out) == S_OK ? S_OK : CO_E_CLASSSTRING;
}
