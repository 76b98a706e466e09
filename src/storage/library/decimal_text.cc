#include "storage/library/decimal_text.h"

#include <cstdio>
#include <limits>

namespace tavo {

int32_t ParseDecimal(const char* text) noexcept {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(value > kLimit - 1 ? kLimit - 1 : value);
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
