// Words of a store file are 32-bit in the file's byte order. A handle knows
// whether that order differs from the machine's and swaps at the boundary;
// everything kept in memory is in native order.
#ifndef TAVO_STORAGE_STORE_BYTE_ORDER_H_
#define TAVO_STORAGE_STORE_BYTE_ORDER_H_

#include <bit>
#include <cstdint>
#include <cstring>

namespace tavo {

inline constexpr uint32_t kStoreBigEndian = 1;     // most significant byte first
inline constexpr uint32_t kStoreLittleEndian = 2;  // least significant byte first

constexpr uint32_t NativeByteOrder() noexcept {
  return std::endian::native == std::endian::big ? kStoreBigEndian : kStoreLittleEndian;
}

constexpr uint32_t Swap32(uint32_t v) noexcept {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

inline uint32_t LoadWord(const uint8_t* p, bool swap) noexcept {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return swap ? Swap32(v) : v;
}

inline void StoreWord(uint8_t* p, uint32_t v, bool swap) noexcept {
  if (swap) v = Swap32(v);
  std::memcpy(p, &v, 4);
}

// Swaps every whole word of a byte range in place.
inline void SwapWords(uint8_t* p, size_t n) noexcept {
  for (size_t i = 0; i + 4 <= n; i += 4) StoreWord(p + i, LoadWord(p + i, true), false);
}

constexpr uint32_t RoundUp4(uint32_t n) noexcept { return (n + 3u) & ~3u; }

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_BYTE_ORDER_H_
