// Values read from the component's XML documents (descriptor lists, preset
// files): element and attribute names compared ignoring ASCII case, and
// numbers written as decimal text.
//
// Numbers convert the way the C library's strtol and strtoul do with a
// 32-bit long: leading whitespace, an optional sign, then digits up to the
// first other byte; no digits gives 0.
//  - signed: values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX;
//  - unsigned: values beyond 2^32 - 1 saturate at UINT32_MAX, and a leading
//    "-" negates modulo 2^32 ("-1" gives 4294967295).
// A 32-bit signed value written as its unsigned decimal ("4294967295" for -1)
// comes back with Int32FromUnsignedText, the unsigned conversion and a cast.
#ifndef TAVO_DATA_DESCRIPTORS_DOCUMENT_VALUES_H_
#define TAVO_DATA_DESCRIPTORS_DOCUMENT_VALUES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/xml/xml.h"

namespace tavo {

// Parses a document handed over as text: kDescNoText (8193) for missing or
// empty text, else the XML layer's parse status; *root is set on success.
int ParseDocumentText(const char* text, size_t length, XmlNodePtr* root) noexcept;

// A missing text is read as empty.
int32_t SignedFromText(const char* text) noexcept;
uint32_t UnsignedFromText(const char* text) noexcept;
inline int32_t Int32FromUnsignedText(const char* text) noexcept {
  return static_cast<int32_t>(UnsignedFromText(text));
}

bool NamesEqual(std::string_view a, std::string_view b) noexcept;
// Whether the node's name equals `name` ignoring ASCII case.
bool IsNamed(const XmlNode* node, std::string_view name) noexcept;
// The value of the first attribute whose name equals `name` ignoring ASCII
// case; none when absent.
const char* AttributeNamed(const XmlNode* node, std::string_view name) noexcept;
// The text of the node, or "" when it has none.
const char* TextOrEmpty(const XmlNode* node) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_DOCUMENT_VALUES_H_
