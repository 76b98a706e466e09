#include "storage/library/decimal_text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace tavo {

int64_t ParseDecimal64(std::string_view text) noexcept {
  size_t i = 0;
  const auto at = [&](size_t k) { return k < text.size() ? text[k] : '\0'; };
  while (at(i) == ' ' || (at(i) >= '\t' && at(i) <= '\r')) ++i;
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') negative = text[i++] == '-';
  // Magnitudes stop growing at 2^63, the largest a negative value needs.
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  uint64_t value = 0;
  for (; at(i) >= '0' && at(i) <= '9'; ++i) {
    value = value > kLimit / 10 ? kLimit : value * 10 + static_cast<uint64_t>(at(i) - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return value == kLimit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(value);
  return value >= kLimit ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(value);
}

int32_t ParseDecimal(std::string_view text) noexcept {
  const int64_t value = ParseDecimal64(text);
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t ParseDecimal(const char* text) noexcept {
  return text == nullptr ? 0 : ParseDecimal(std::string_view(text));
}

bool ParseUnsignedDigits(const char* begin, size_t length, size_t max_digits, uint32_t* value) noexcept {
  if (length == 0 || length > max_digits) return false;
  uint64_t v = 0;
  for (size_t i = 0; i < length; ++i) {
    if (begin[i] < '0' || begin[i] > '9') return false;
    v = v * 10 + static_cast<uint64_t>(begin[i] - '0');
  }
  if (v > std::numeric_limits<uint32_t>::max()) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

std::string DecimalText(int64_t value) {
  char buffer[24];
  const int n = std::snprintf(buffer, sizeof(buffer), "%lld", static_cast<long long>(value));
  return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace tavo
