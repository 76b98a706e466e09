// Reading chosen keys of a track's property set straight from its stored
// text, without building the set's tree.
//
// The property-set writer produces one plain shape (no line breaks, no
// indentation, no attributes):
//
//   <?xml version="1.0" encoding="UTF-8" ?><REC><TIT>text</TIT><GEN><DESC>text</DESC></GEN>...</REC>
//
// The scan reads exactly that shape in one pass and gives the same values the
// parser would: a key's value is the text of the first child of the root
// with the key's name; leading whitespace of a text run is dropped,
// entities are decoded, a decoded zero byte ends the text, and an empty text
// is no value. Any other text (another or no declaration, attributes,
// empty-element tags, blanks inside tags, nesting deeper than 32, input that
// ends early) is handed to the property-set parser, so damaged or unusual
// texts are judged exactly as a decoded walk judges them.
#ifndef TAVO_GENERATION_ENGINE_PROPERTY_TEXT_SCAN_H_
#define TAVO_GENERATION_ENGINE_PROPERTY_TEXT_SCAN_H_

#include <array>
#include <string_view>

#include "generation/engine/key_texts.h"
#include "vocabulary/property_set.h"

namespace tavo {

// The element names of a set of keys, for lookups during a scan.
class KeyNames {
 public:
  explicit KeyNames(const KeySet& keys);
  const KeySet& keys() const { return keys_; }
  // The key named `name`, or -1.
  int Find(std::string_view name) const noexcept;

 private:
  static constexpr size_t kSlots = 128;
  struct Slot {
    std::string_view name;
    int key = -1;
  };
  static size_t Hash(std::string_view name) noexcept;

  KeySet keys_;
  std::array<Slot, kSlots> slots_{};
};

enum class PropertyTextRead {
  kPlain,     // read by the scan
  kParsed,    // read through the property-set parser (*parsed holds the set)
  kDamaged,   // not a property set: the parser refused it
};

// Adds the values of `names`' keys found in `text` to *out (an empty text
// adds nothing). Views point into `text`, into out->decoded or into
// *parsed, which the caller keeps while it uses them.
PropertyTextRead ReadPropertyText(std::string_view text, const KeyNames& names, KeyTexts* out,
                                  PropertySetPtr* parsed);

// The plain scan alone: false when the text is not of the plain shape (then
// *out may hold part of the values).
bool ScanPlainPropertyText(std::string_view text, const KeyNames& names, KeyTexts* out);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_PROPERTY_TEXT_SCAN_H_
