#include "media/id3v2_header.h"

#include <cstring>

namespace tavo {

uint32_t Id3v2AudioSearchStart(const uint8_t* head, size_t n) noexcept {
  if (n < kId3v2HeaderSize || std::memcmp(head, "ID3", 3) != 0) return 0;
  if (head[3] == 0xFF || head[4] == 0xFF) return 0;
  uint32_t size = 0;
  for (size_t i = 6; i < 10; ++i) {
    if (head[i] & 0x80) return 0;
    size = size << 7 | head[i];
  }
  // At most 2^28 - 1 + 10: no overflow.
  return size + kId3v2HeaderSize;
}

}  // namespace tavo
