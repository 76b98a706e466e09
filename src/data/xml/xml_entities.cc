// Entity decoding of the XML layer: the five predefined entities and numeric
// character references, used for every text run and attribute value read.
// Decoding never lengthens a text, so it may work in place.
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo {
namespace xml_internal {
namespace {

struct NamedEntity {
  const char* text;
  size_t length;
  char value;
};
constexpr NamedEntity kNamedEntities[] = {
    {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
};

}  // namespace

size_t DecodeInto(const char* src, size_t n, char* dst) {
  size_t i = 0;
  size_t o = 0;
  while (i < n) {
    const char* amp = static_cast<const char*>(std::memchr(src + i, '&', n - i));
    if (amp == nullptr) {
      if (dst + o != src + i) std::memmove(dst + o, src + i, n - i);
      o += n - i;
      break;
    }
    const size_t k = static_cast<size_t>(amp - src);
    if (k > i) {
      if (dst + o != src + i) std::memmove(dst + o, src + i, k - i);
      o += k - i;
    }
    i = k;
    const char* p = src + i;
    const size_t rem = n - i;
    // The five predefined entities, each only when it lies wholly inside the input.
    bool named = false;
    for (const NamedEntity& e : kNamedEntities) {
      if (rem >= e.length && std::memcmp(p, e.text, e.length) == 0) {
        dst[o++] = e.value;
        i += e.length;
        named = true;
        break;
      }
    }
    if (named) continue;
    // A numeric reference: "&#", an optional lower-case "x", digits, ";".
    if (rem >= 4 && p[1] == '#') {
      size_t j = 2;
      const bool hex = p[2] == 'x';
      if (hex) j = 3;
      uint32_t cp = 0;  // accumulated in 32 bits, wrapping
      bool complete = false;
      for (; j < rem; ++j) {
        const unsigned char c = static_cast<unsigned char>(p[j]);
        if (c == ';') {
          complete = true;
          break;
        }
        unsigned digit;
        if (c >= '0' && c <= '9') {
          digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
          digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
          digit = c - 'A' + 10;
        } else {
          break;
        }
        cp = cp * (hex ? 16u : 10u) + digit;
      }
      if (complete) {
        // The encoding is never longer than the reference (j + 1 bytes).
        o += static_cast<size_t>(Utf8_Encode(cp, dst + o));
        i += j + 1;
        continue;
      }
    }
    dst[o++] = '&';
    ++i;
  }
  return o;
}

}  // namespace xml_internal

int XmlText_Decode(const char* bytes, size_t length, char** text, size_t* out_length) noexcept {
  if (text == nullptr || out_length == nullptr) return kXmlInvalidArgument;
  *text = nullptr;
  *out_length = 0;
  if (length == 0) return kXmlOk;
  if (bytes == nullptr) return kXmlInvalidArgument;
  if (length == SIZE_MAX) return kXmlOutOfMemory;
  char* block = static_cast<char*>(xml_internal::Malloc(length + 1));
  if (block == nullptr) return kXmlOutOfMemory;
  const size_t n = xml_internal::DecodeInto(bytes, length, block);
  block[n] = '\0';
  *text = block;
  *out_length = n;
  return kXmlOk;
}

void XmlText_Free(void* text) noexcept { std::free(text); }

}  // namespace tavo
