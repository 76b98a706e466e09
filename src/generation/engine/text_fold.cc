#include "generation/engine/text_fold.h"

#include <algorithm>
#include <cstring>

namespace tavo {
namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t h, uint64_t word) noexcept {
  h ^= word;
  h *= kMultiplier;
  return h ^ (h >> 29);
}

// A-Z to a-z in each byte of a word, other bytes unchanged: a byte gets
// 0x20 added when it is below 0x80, at least 'A' and at most 'Z'.
uint64_t FoldWord(uint64_t w) noexcept {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  const uint64_t low7 = w & (0x7F * kOnes);
  const uint64_t above_z = low7 + (0x80 - 'Z' - 1) * kOnes;  // high bit set: byte > 'Z'
  const uint64_t from_a = low7 + (0x80 - 'A') * kOnes;       // high bit set: byte >= 'A'
  const uint64_t upper = from_a & ~above_z & ~w & (0x80 * kOnes);
  return w | (upper >> 2);
}

// 8 bytes at a time; `Fold` folds each word before it is hashed.
template <bool Fold>
uint32_t Hash(std::string_view text) noexcept {
  uint64_t h = kMultiplier ^ text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + i, 8);
    if constexpr (Fold) word = FoldWord(word);
    h = Mix(h, word);
  }
  uint64_t tail = 0;
  for (size_t k = 0; i + k < text.size(); ++k) {
    const char c = Fold ? FoldByte(text[i + k]) : text[i + k];
    tail |= uint64_t{static_cast<unsigned char>(c)} << (8 * k);
  }
  h = Mix(h, tail);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

void FoldText(std::string_view text, std::string* out) {
  out->resize(text.size());
  std::transform(text.begin(), text.end(), out->begin(), FoldByte);
}

int CompareFolded(std::string_view a, std::string_view b) noexcept {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(FoldByte(a[i]));
    const auto y = static_cast<unsigned char>(FoldByte(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualFolded(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && CompareFolded(a, b) == 0;
}

uint32_t HashText(std::string_view text) noexcept { return Hash<false>(text); }
uint32_t HashFoldedText(std::string_view text) noexcept { return Hash<true>(text); }

}  // namespace tavo
