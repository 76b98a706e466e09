// A 64-bit checksum over bytes, to tell a whole record of the commit log and
// the header's commit stamp from torn or stale bytes. Not cryptographic: it
// guards against accidents, not against an adversary.
#ifndef TAVO_STORAGE_STORE_CHECKSUM_H_
#define TAVO_STORAGE_STORE_CHECKSUM_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavo {

inline uint64_t Checksum64(const uint8_t* p, size_t n) noexcept {
  constexpr uint64_t kMul1 = 0x9E3779B97F4A7C15ull, kMul2 = 0xC2B2AE3D27D4EB4Full;
  uint64_t h = 0x27D4EB2F165667C5ull ^ (uint64_t{n} * kMul1);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w = 0;
    for (size_t b = 0; b < 8; ++b) w |= uint64_t{p[i + b]} << (8 * b);  // little-endian on every machine
    h ^= w * kMul2;
    h = (h << 31 | h >> 33) * kMul1;
  }
  uint64_t tail = 0;
  for (size_t b = 0; i + b < n; ++b) tail |= uint64_t{p[i + b]} << (8 * b);
  h ^= tail * kMul2;
  h ^= h >> 33;
  h *= kMul2;
  h ^= h >> 29;
  h *= kMul1;
  return h ^ (h >> 32);
}

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_CHECKSUM_H_
