#include "data/descriptions/language_codes.h"

#include <array>

namespace tavo {
namespace {

// One row covers sublanguages first_sub..last_sub of one primary language.
struct CodeRange {
  uint8_t code;
  uint16_t primary;
  uint8_t first_sub, last_sub;
};

constexpr uint16_t LanguageId(uint16_t primary, uint8_t sub) { return static_cast<uint16_t>(sub << 10 | primary); }

// Where several ids carry one code, the lookup picks the lowest; the other
// rows matter for completeness of the mapping, not for the result.
constexpr std::array<CodeRange, 59> kCodeRanges = {{
    {1, 0x00, 1, 1},   {1, 0x09, 1, 20},  {2, 0x36, 1, 1},   {3, 0x1C, 1, 1},   {4, 0x01, 1, 1},
    {5, 0x2B, 1, 1},   {6, 0x4D, 1, 1},   {7, 0x2C, 1, 1},   {8, 0x2D, 1, 1},   {9, 0x45, 1, 1},
    {10, 0x23, 1, 1},  {12, 0x02, 1, 1},  {13, 0x04, 2, 5},  {14, 0x03, 1, 1},  {17, 0x05, 1, 1},
    {18, 0x06, 1, 1},  {19, 0x13, 1, 1},  {22, 0x25, 1, 1},  {23, 0x16, 2, 2},  {24, 0x29, 1, 1},
    {25, 0x0B, 1, 1},  {26, 0x0C, 1, 6},  {30, 0x07, 1, 5},  {31, 0x08, 1, 1},  {32, 0x47, 1, 1},
    {34, 0x0D, 1, 1},  {35, 0x39, 1, 1},  {37, 0x0E, 1, 1},  {38, 0x0F, 1, 1},  {40, 0x21, 1, 1},
    {43, 0x10, 1, 1},  {44, 0x11, 1, 1},  {48, 0x12, 1, 1},  {52, 0x26, 1, 1},  {53, 0x27, 1, 1},
    {54, 0x3E, 1, 1},  {54, 0x4C, 1, 1},  {55, 0x04, 1, 1},  {57, 0x61, 1, 1},  {58, 0x14, 1, 1},
    {60, 0x15, 1, 1},  {61, 0x16, 1, 1},  {62, 0x46, 1, 1},  {63, 0x18, 1, 1},  {64, 0x19, 1, 1},
    {65, 0x4F, 1, 1},  {66, 0x1A, 1, 1},  {68, 0x1B, 1, 1},  {69, 0x24, 1, 1},  {71, 0x0A, 1, 20},
    {72, 0x41, 1, 1},  {73, 0x1D, 1, 1},  {75, 0x49, 1, 1},  {76, 0x1E, 1, 1},  {77, 0x1F, 1, 1},
    {78, 0x22, 1, 1},  {79, 0x20, 1, 1},  {80, 0x43, 1, 1},  {81, 0x2A, 1, 1},
}};

bool Before(const CodeRange& a, const CodeRange& b) {
  return a.primary != b.primary ? a.primary < b.primary : a.first_sub < b.first_sub;
}

}  // namespace

uint16_t LanguageIdForCode(int32_t code) {
  if (code <= 0) return 0;
  const CodeRange* best = nullptr;
  for (const CodeRange& range : kCodeRanges)
    if (range.code == code && (best == nullptr || Before(range, *best))) best = &range;
  return best == nullptr ? 0 : LanguageId(best->primary, best->first_sub);
}

}  // namespace tavo
