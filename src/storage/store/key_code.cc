#include "storage/store/key_code.h"

#include <cstring>

namespace tavo {
namespace {

// Reads one character of 1 to 3 bytes. Returns false at a zero character, an
// invalid sequence or the end: text ends there for hashing and comparing.
bool NextChar(const uint8_t* p, uint32_t n, uint32_t* pos, uint32_t* c) noexcept {
  if (*pos >= n) return false;
  const uint8_t lead = p[*pos];
  uint32_t len;
  uint32_t value;
  if (lead < 0x80) {
    len = 1;
    value = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    len = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3;
    value = lead & 0x0F;
  } else {
    return false;
  }
  if (n - *pos < len) return false;
  for (uint32_t i = 1; i < len; ++i) {
    const uint8_t b = p[*pos + i];
    if ((b & 0xC0) != 0x80) return false;
    value = value << 6 | (b & 0x3F);
  }
  if (value == 0) return false;
  *pos += len;
  *c = value;
  return true;
}

uint32_t HashStep(uint32_t h, uint32_t c) noexcept {
  h = h * 16 + (c & 0xFFFF);
  const uint32_t top = h & 0xF0000000u;
  if (top != 0) h = (h ^ (top >> 24)) & ~top;
  return h;
}

struct FoldRange {
  uint32_t first;
  uint32_t last;
  int32_t delta;  // added to lower-case letters of the range
  bool alternate; // upper/lower pairs alternate: only odd (lower) code points fold
};

// Lower-case letters up to U+FFFF that have a one-character upper case.
constexpr FoldRange kFoldRanges[] = {
    {0x0061, 0x007A, -32, false},   // a-z
    {0x00E0, 0x00F6, -32, false},   // Latin-1 letters before the division sign
    {0x00F8, 0x00FE, -32, false},
    {0x00FF, 0x00FF, 0x79, false},  // y with diaeresis
    {0x0100, 0x012F, -1, true},     // Latin Extended-A pairs
    {0x0132, 0x0137, -1, true},
    {0x014A, 0x0177, -1, true},
    {0x03B1, 0x03C1, -32, false},   // Greek
    {0x03C3, 0x03CB, -32, false},
    {0x0430, 0x044F, -32, false},   // Cyrillic
    {0x0450, 0x045F, -80, false},
    {0x0460, 0x0481, -1, true},
};

}  // namespace

uint32_t FoldToUpper(uint32_t c) noexcept {
  for (const FoldRange& r : kFoldRanges) {
    if (c < r.first || c > r.last) continue;
    if (r.alternate && (c & 1) == 0) return c;
    return static_cast<uint32_t>(static_cast<int32_t>(c) + r.delta);
  }
  return c;
}

bool IsKnownKeyMethod(uint32_t method) noexcept {
  return method == kKeyMethodBytes || method == kKeyMethodInteger || method == kKeyMethodText;
}

uint32_t KeyCode(uint32_t method, const uint8_t* value, uint32_t length) noexcept {
  switch (method) {
    case kKeyMethodInteger: {
      uint32_t v = 0;
      std::memcpy(&v, value, length < 4 ? length : 4);
      return v;
    }
    case kKeyMethodText: {
      uint32_t h = 0, pos = 0, c = 0;
      while (NextChar(value, length, &pos, &c)) h = HashStep(h, FoldToUpper(c));
      return h;
    }
    default: {
      uint32_t h = 0;
      for (uint32_t i = 0; i < length; ++i) h = HashStep(h, value[i]);
      return h;
    }
  }
}

uint32_t KeyDigest(uint32_t method, const uint8_t* value, uint32_t length) noexcept {
  uint64_t h = 0xCBF29CE484222325ull;
  auto mix = [&h](uint64_t unit) { h = (h ^ unit) * 0x100000001B3ull; };
  uint32_t pos = 0;
  if (method == kKeyMethodText) {
    // The characters compared case-folded, then what KeyValuesEqual compares
    // byte for byte after an invalid sequence.
    uint32_t c = 0;
    while (NextChar(value, length, &pos, &c)) mix(FoldToUpper(c));
    mix(0x1000000);
    if (pos >= length || value[pos] == 0) pos = length;
  }
  for (; pos < length; ++pos) mix(value[pos]);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return static_cast<uint32_t>(h);
}

bool KeyValuesEqual(uint32_t method, const uint8_t* a, uint32_t a_length, const uint8_t* b,
                    uint32_t b_length) noexcept {
  if (method != kKeyMethodText) {
    return a_length == b_length && (a_length == 0 || std::memcmp(a, b, a_length) == 0);
  }
  // Text compares case-folded up to its end; what follows an invalid sequence
  // compares byte for byte, what follows a zero character does not count.
  uint32_t pa = 0, pb = 0, ca = 0, cb = 0;
  for (;;) {
    const bool more_a = NextChar(a, a_length, &pa, &ca);
    const bool more_b = NextChar(b, b_length, &pb, &cb);
    if (more_a != more_b) return false;
    if (!more_a) break;
    if (FoldToUpper(ca) != FoldToUpper(cb)) return false;
  }
  auto rest = [](const uint8_t* p, uint32_t n, uint32_t pos) -> uint32_t {
    return pos < n && p[pos] != 0 ? n - pos : 0;
  };
  const uint32_t ra = rest(a, a_length, pa), rb = rest(b, b_length, pb);
  return ra == rb && (ra == 0 || std::memcmp(a + pa, b + pb, ra) == 0);
}

}  // namespace tavo
