#include "manager/library/control_version.h"

#include <limits>

namespace tavo {
namespace {

constexpr std::string_view kPrefix = "TAVOControl ";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A signed decimal number at the front of `text`, consumed.
bool TakeNumber(std::string_view* text, int32_t* value) {
  size_t i = 0;
  while (i < text->size() && IsBlank((*text)[i])) ++i;
  bool negative = false;
  if (i < text->size() && ((*text)[i] == '+' || (*text)[i] == '-')) negative = (*text)[i++] == '-';
  const size_t first_digit = i;
  int64_t magnitude = 0;
  for (; i < text->size() && (*text)[i] >= '0' && (*text)[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + ((*text)[i] - '0');
    if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (i == first_digit) return false;
  const int64_t signed_value = negative ? -magnitude : magnitude;
  if (signed_value > std::numeric_limits<int32_t>::max()) return false;
  *value = static_cast<int32_t>(signed_value);
  text->remove_prefix(i);
  return true;
}

}  // namespace

bool ParseControlVersion(std::string_view text, ControlVersion* version) noexcept {
  if (text.substr(0, kPrefix.size()) != kPrefix) return false;
  text.remove_prefix(kPrefix.size());
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (text.empty() || text.front() != '.') return false;
      text.remove_prefix(1);
    }
    if (!TakeNumber(&text, &version->numbers[i])) return false;
  }
  return true;
}

bool ControlVersionSupported(const ControlVersion& version) noexcept {
  const int32_t major = version.numbers[0], minor = version.numbers[1], revision = version.numbers[3];
  if (major != 2) return major > 2;
  if (minor != 1) return minor > 1;
  return revision >= 4;
}

}  // namespace tavo
