#include "data/descriptors/document_values.h"

#include <limits>

#include "data/descriptors/descriptor_status.h"

namespace tavo {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Magnitudes are capped just above the 32-bit unsigned range, which is all
// the callers need to tell an overflow.
constexpr uint64_t kMagnitudeCap = uint64_t{1} << 33;

struct Decimal {
  bool negative = false;
  uint64_t magnitude = 0;
};

Decimal Scan(const char* p) {
  Decimal d;
  if (p == nullptr) return d;
  while (IsSpace(*p)) ++p;
  if (*p == '+' || *p == '-') d.negative = *p++ == '-';
  for (; *p >= '0' && *p <= '9'; ++p) {
    d.magnitude = d.magnitude * 10 + static_cast<uint64_t>(*p - '0');
    if (d.magnitude > kMagnitudeCap) d.magnitude = kMagnitudeCap;
  }
  return d;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int ParseDocumentText(const char* text, size_t length, XmlNodePtr* root) noexcept {
  if (text == nullptr || length == 0) return kDescNoText;
  XmlNode* parsed = nullptr;
  const int status = XmlDocument_Parse(text, length, &parsed);
  if (status == kXmlOk) root->reset(parsed);
  return status;
}

int32_t SignedFromText(const char* text) noexcept {
  const Decimal d = Scan(text);
  constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
  if (d.negative) return d.magnitude > kMax + 1 ? std::numeric_limits<int32_t>::min()
                                                : static_cast<int32_t>(-static_cast<int64_t>(d.magnitude));
  return d.magnitude > kMax ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(d.magnitude);
}

uint32_t UnsignedFromText(const char* text) noexcept {
  const Decimal d = Scan(text);
  if (d.magnitude > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  const uint32_t value = static_cast<uint32_t>(d.magnitude);
  return d.negative ? 0u - value : value;
}

bool NamesEqual(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsNamed(const XmlNode* node, std::string_view name) noexcept {
  const char* own = XmlNode_GetName(node);
  return own != nullptr && NamesEqual(own, name);
}

const char* AttributeNamed(const XmlNode* node, std::string_view name) noexcept {
  for (const XmlAttribute* a = XmlNode_FirstAttribute(node); a != nullptr; a = XmlAttribute_Next(a)) {
    if (NamesEqual(XmlAttribute_Name(a), name)) return XmlAttribute_Value(a);
  }
  return nullptr;
}

const char* TextOrEmpty(const XmlNode* node) noexcept {
  const char* text = XmlNode_GetText(node);
  return text != nullptr ? text : "";
}

}  // namespace tavo
