// UTF-8 encoding of code points for numeric character references: the
// six-byte form of RFC 2279, so every 31-bit value has an encoding. Each
// continuation byte is 0x80 | six bits, most significant first; the lead byte
// carries the bits left over.
#include "data/xml/xml.h"

namespace tavo {
namespace {

struct Utf8Form {
  uint32_t below;  // code points below this (and above the previous form's)
  int bytes;
  unsigned lead;   // marker bits of the lead byte
};
constexpr Utf8Form kForms[] = {
    {0x80u, 1, 0x00u},      {0x800u, 2, 0xC0u},     {0x10000u, 3, 0xE0u},
    {0x200000u, 4, 0xF0u},  {0x4000000u, 5, 0xF8u}, {0x80000000u, 6, 0xFCu},
};

}  // namespace

int Utf8_Encode(uint32_t cp, char* out) noexcept {
  for (const Utf8Form& form : kForms) {
    if (cp >= form.below) continue;
    if (out != nullptr) {
      for (int i = form.bytes - 1; i >= 1; --i) {
        out[i] = static_cast<char>(0x80u | (cp & 0x3Fu));
        cp >>= 6;
      }
      out[0] = static_cast<char>(form.lead | cp);
    }
    return form.bytes;
  }
  return 0;  // 0x80000000 and above have no encoding
}

}  // namespace tavo
