#include "generation/engine/property_text_scan.h"

#include <cstring>

#include "data/xml/xml.h"

namespace tavo {
namespace {

// The XML layer's name characters (ASCII letters, digits, "_") and blanks
// (space, tab, line feed, vertical tab, form feed, carriage return). Text
// runs drop leading blanks exactly as the layer's tokenizer does.
constexpr bool IsNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
constexpr bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr size_t kMaxPlainDepth = 32;

// Names are short: compared in place rather than through a library call.
inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// One open element of the scan.
struct Open {
  std::string_view name;
  int key = -1;         // the wanted key whose value this element gives, or -1
  bool has_text = false;
};

// A text run's value as the parser keeps it: entities decoded, cut at a
// zero byte; empty is none.
std::string_view RunValue(std::string_view run, KeyTexts* out) {
  if (std::memchr(run.data(), '&', run.size()) != nullptr) {
    char* decoded = nullptr;
    size_t length = 0;
    if (XmlText_Decode(run.data(), run.size(), &decoded, &length) != kXmlOk) return {};
    std::string kept(decoded, length);
    XmlText_Free(decoded);
    run = out->Keep(std::move(kept));
  }
  if (const void* zero = std::memchr(run.data(), '\0', run.size())) {
    run = run.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - run.data()));
  }
  return run;
}

}  // namespace

size_t KeyNames::Hash(std::string_view name) noexcept {
  const auto first = static_cast<unsigned char>(name.front());
  const auto last = static_cast<unsigned char>(name.back());
  return (name.size() * 131 + first * 7 + last) % kSlots;
}

KeyNames::KeyNames(const KeySet& keys) : keys_(keys) {
  for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
    const std::string_view name = PropertyKey(key);
    if (!keys.test(key) || name.empty()) continue;
    size_t at = Hash(name);
    while (slots_[at].key >= 0) at = (at + 1) % kSlots;
    slots_[at] = Slot{name, static_cast<int>(key)};
  }
}

int KeyNames::Find(std::string_view name) const noexcept {
  for (size_t at = Hash(name);; at = (at + 1) % kSlots) {
    const Slot& slot = slots_[at];
    if (slot.key < 0) return -1;
    if (SameName(slot.name, name)) return slot.key;
  }
}

bool ScanPlainPropertyText(std::string_view text, const KeyNames& names, KeyTexts* out) {
  constexpr std::string_view kDeclaration = kXmlDeclaration;
  if (text.substr(0, kDeclaration.size()) != kDeclaration) return false;
  const char* p = text.data() + kDeclaration.size();
  const char* const end = text.data() + text.size();
  KeySet seen;
  std::array<Open, kMaxPlainDepth> open;
  size_t depth = 0;
  // A tag's name after its "<" or "</", which must be followed by ">" at once.
  const auto tag_name = [&](std::string_view* name) {
    const char* start = p;
    while (p < end && IsNameByte(static_cast<unsigned char>(*p))) ++p;
    if (p == start || p >= end || *p != '>') return false;
    *name = std::string_view(start, static_cast<size_t>(p - start));
    ++p;
    return true;
  };
  if (p >= end || *p++ != '<') return false;
  if (!tag_name(&open[0].name)) return false;
  depth = 1;
  for (;;) {
    // Content follows a ">": blanks first are dropped.
    while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p >= end) return false;
    if (*p != '<') {
      const char* lt = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
      if (lt == nullptr) return false;
      Open& element = open[depth - 1];
      if (element.has_text) return false;  // a second run: the parser refuses the text
      element.has_text = true;
      if (element.key >= 0) {
        const std::string_view value = RunValue(std::string_view(p, static_cast<size_t>(lt - p)), out);
        if (!value.empty()) out->Set(static_cast<uint32_t>(element.key), value);
      }
      p = lt;
    }
    ++p;  // the "<"
    if (p < end && *p == '/') {
      ++p;
      std::string_view name;
      if (!tag_name(&name) || !SameName(name, open[depth - 1].name)) return false;
      if (--depth == 0) return true;  // the root's end: what follows does not count
      continue;
    }
    if (depth == kMaxPlainDepth) return false;
    Open& element = open[depth];
    element = Open{};
    if (!tag_name(&element.name)) return false;
    if (depth == 1) {
      // A child of the root: the first of its name gives the key's value.
      const int key = names.Find(element.name);
      if (key >= 0 && !seen.test(static_cast<size_t>(key))) {
        seen.set(static_cast<size_t>(key));
        element.key = key;
      }
    }
    ++depth;
  }
}

PropertyTextRead ReadPropertyText(std::string_view text, const KeyNames& names, KeyTexts* out,
                                  PropertySetPtr* parsed) {
  if (text.empty()) return PropertyTextRead::kPlain;
  if (ScanPlainPropertyText(text, names, out)) return PropertyTextRead::kPlain;
  out->found &= ~names.keys();  // what the scan found before it gave up
  PropertySet* set = nullptr;
  if (PropertySet_Parse(&set, kPropertySetRec, text.data(), text.size()) != kPropertySetOk) {
    return PropertyTextRead::kDamaged;
  }
  parsed->reset(set);
  for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
    if (!names.keys().test(key)) continue;
    if (const char* value = PropertySet_PeekValue(set, key, 0)) out->Set(key, value);
  }
  return PropertyTextRead::kParsed;
}

}  // namespace tavo
