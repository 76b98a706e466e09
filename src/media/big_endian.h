// Multi-byte fields of MPEG audio headers are stored most significant byte
// first.
#ifndef TAVO_MEDIA_BIG_ENDIAN_H_
#define TAVO_MEDIA_BIG_ENDIAN_H_

#include <cstdint>

namespace tavo {

inline uint32_t LoadBigEndian32(const uint8_t* p) noexcept {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

}  // namespace tavo

#endif  // TAVO_MEDIA_BIG_ENDIAN_H_
