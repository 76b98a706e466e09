#include "storage/library/track_id.h"

#include <algorithm>

#include "storage/library/decimal_text.h"
#include "storage/library/track_record.h"
#include "storage/store/byte_order.h"

namespace tavo {
namespace {

constexpr size_t kMaxIdDigits = 10;

// The byte at position `i`, when `i` lies inside the text.
bool At(std::string_view text, int64_t i, int64_t* c) noexcept {
  if (i < 0 || i >= static_cast<int64_t>(text.size())) return false;
  *c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return true;
}

}  // namespace

bool TrackId_ParseTag(std::string_view tag, uint32_t* id) noexcept {
  tag = tag.substr(0, std::min(tag.size(), kTagIdMaxLength));
  if (const size_t zero = tag.find('\0'); zero != std::string_view::npos) tag = tag.substr(0, zero);
  int64_t p = 0;
  if (tag.starts_with("3CD3")) {
    p = 4;
  } else if (tag.starts_with("31Z1")) {
    int64_t c = 0;
    if (!At(tag, 4, &c)) return false;
    p = 5 + ('Y' - c);
  } else {
    return false;
  }
  int64_t c = 0;
  if (!At(tag, p, &c)) return false;
  const int64_t k = 'P' - c;
  if (!At(tag, p + k + 1, &c)) return false;
  const int64_t length = 'Z' - c;
  const int64_t first = p + k + 2;
  if (length < 1 || length > static_cast<int64_t>(kMaxIdDigits) || first < 0 ||
      first + length > static_cast<int64_t>(tag.size())) {
    return false;
  }
  return ParseUnsignedDigits(tag.data() + first, static_cast<size_t>(length), kMaxIdDigits, id);
}

void IdCounterBlock_Convert(uint8_t* block, uint32_t length, StoreConvert) {
  SwapWords(block, std::min(length, kIdCounterBlockBytes));
}

}  // namespace tavo
