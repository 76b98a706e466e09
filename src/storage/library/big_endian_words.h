// 32-bit words in a byte stream, most significant byte first, whatever the
// machine's order: the form of every value the correlates store keeps.
#ifndef TAVO_STORAGE_LIBRARY_BIG_ENDIAN_WORDS_H_
#define TAVO_STORAGE_LIBRARY_BIG_ENDIAN_WORDS_H_

#include <cstdint>
#include <vector>

namespace tavo {

constexpr uint32_t ReadBigEndian32(const uint8_t* p) noexcept {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

constexpr void WriteBigEndian32(uint8_t* p, uint32_t v) noexcept {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

inline void AppendBigEndian32(std::vector<uint8_t>* out, uint32_t v) {
  uint8_t word[4];
  WriteBigEndian32(word, v);
  out->insert(out->end(), word, word + 4);
}

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_BIG_ENDIAN_WORDS_H_
