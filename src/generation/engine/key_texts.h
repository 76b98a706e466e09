// KeyTexts: the values of chosen REC keys of one track, as views, whether
// they come from a record's parsed property sets or straight from the
// property-set text of its stored image (property_text_scan.h).
#ifndef TAVO_GENERATION_ENGINE_KEY_TEXTS_H_
#define TAVO_GENERATION_ENGINE_KEY_TEXTS_H_

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vocabulary/property_keys.h"

namespace tavo {

// REC keys are below this index (kKeyDevFieldPattern is the last).
inline constexpr uint32_t kRecKeyLimit = kKeyDevFieldPattern + 1;

using KeySet = std::bitset<kRecKeyLimit>;

struct KeyTexts {
  // value[k] is meaningful when found[k]; a found value is never empty.
  std::array<std::string_view, kRecKeyLimit> value{};
  KeySet found;
  // Texts that had to be decoded live here, each in a place of its own.
  std::vector<std::unique_ptr<std::string>> decoded;

  void Set(uint32_t key, std::string_view text) {
    value[key] = text;
    found.set(key);
  }
  const std::string_view* Find(uint32_t key) const { return found.test(key) ? &value[key] : nullptr; }
  // Keeps `text` and gives a view of the kept copy.
  std::string_view Keep(std::string text) {
    decoded.push_back(std::make_unique<std::string>(std::move(text)));
    return *decoded.back();
  }
  void Clear() {
    found.reset();
    decoded.clear();
  }
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_KEY_TEXTS_H_
