// A 64-bit checksum over bytes, to tell a whole transaction of the commit log
// and the header's commit stamp from torn or stale bytes. Not cryptographic:
// it guards against accidents, not against an adversary. Four lanes of 8
// bytes run side by side, so that a commit of 100 records costs it little.
#ifndef TAVO_STORAGE_STORE_CHECKSUM_H_
#define TAVO_STORAGE_STORE_CHECKSUM_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavo {

namespace checksum_detail {

// 8 bytes as a little-endian number on every machine.
inline uint64_t Load64(const uint8_t* p) noexcept {
  uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

inline uint64_t Round(uint64_t h, uint64_t w) noexcept {
  h += w * 0xC2B2AE3D27D4EB4Full;
  h = h << 31 | h >> 33;
  return h * 0x9E3779B97F4A7C15ull;
}

}  // namespace checksum_detail

inline uint64_t Checksum64(const uint8_t* p, size_t n) noexcept {
  using checksum_detail::Load64;
  using checksum_detail::Round;
  uint64_t lanes[4] = {0x27D4EB2F165667C5ull, 0x165667B19E3779F9ull, 0x85EBCA77C2B2AE63ull, 0x9E3779B185EBCA87ull};
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    for (int l = 0; l < 4; ++l) lanes[l] = Round(lanes[l], Load64(p + i + 8 * l));
  }
  uint64_t h = (lanes[0] << 1 | lanes[0] >> 63) + (lanes[1] << 7 | lanes[1] >> 57) +
               (lanes[2] << 12 | lanes[2] >> 52) + (lanes[3] << 18 | lanes[3] >> 46) + uint64_t{n};
  for (; i + 8 <= n; i += 8) h = Round(h, Load64(p + i));
  uint64_t tail = 0;
  for (size_t b = 0; i + b < n; ++b) tail |= uint64_t{p[i + b]} << (8 * b);
  h = Round(h, tail);
  h ^= h >> 33;
  h *= 0xC2B2AE3D27D4EB4Full;
  h ^= h >> 29;
  h *= 0x165667B19E3779F9ull;
  return h ^ (h >> 32);
}

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_CHECKSUM_H_
