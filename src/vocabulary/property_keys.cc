#include "vocabulary/property_keys.h"

#include <cstring>

namespace tavo {
namespace {

constexpr const char* kKeys[kPropertyKeyCount] = {
    "",           "REC",          "REV",          "LNG",          "TIT",          // 0-4
    "ART",        "ALB",          "YEAR",         "OYEAR",        "LABEL",        // 5-9
    "TIT_SORT",   "ART_SORT",     "ALB_SORT",     "GEN/DESC",     "NUM",          // 10-14
    "TOT",        "TID",          "TLEN",         "BITR",         "BPM",          // 15-19
    "SIZE",       "TYPE",         "ORIGIN",       "ERA",          "GEN_V2",       // 20-24
    "MOOD",       "TEMPO",        "RHYTHM",       "INSTRUMENTS",  "VOCALS",       // 25-29
    "TIMBRE",     "MELODY",       "CHORDPROG",    "DRM",          "CODEC",        // 30-34
    "LANGID",     "ALBCOMP",      "",             "",             "",             // 35-39
    "",           "",             "",             "",             "",             // 40-44
    "",           "",             "",             "",             "DEVFIELD1",    // 45-49
    "DEVFIELD2",  "DEVFIELD3",    "DEVFIELD%d",   "",             "PSETMGR",      // 50-54
    "COUNT",      "P",            "",             "PSET",         "DESC",         // 55-59
    "CRIT/GEN",   "CRIT/SEED",    "CRIT/SORT",    "CRIT/POP/VAL", "CRIT/POP/WIN", // 60-64
    "CRIT/SIM/VAL", "CRIT/SIM/WIN", "CRIT/ART",   "CRIT/ALB",     "MAX/RESULT",   // 65-69
    "MAX/PERART", "MAX/PERALB",   "",             "CORR",         "ID",           // 70-74
    "META",       "DESC",         "RELS/NUM",     "RELS/ID",      "RELS/W",       // 75-79
    "",           "CORRLIST",     "REV",          "TAG",          "",             // 80-84
    "",           "",             "",                                             // 85-87
};

struct KindInfo {
  uint32_t root;
  uint32_t low;
  uint32_t high;
};

constexpr KindInfo kKinds[6] = {
    {0, 0, 0},     // no kind
    {1, 1, 53},    // REC
    {54, 54, 57},  // PSETMGR
    {58, 58, 72},  // PSET
    {81, 81, 84},  // CORRLIST
    {73, 73, 80},  // CORR
};

}  // namespace

const char* PropertyKey(uint32_t index) noexcept { return index < kPropertyKeyCount ? kKeys[index] : ""; }

uint32_t PropertySetKind_RootKey(uint16_t kind) noexcept { return kind <= 5 ? kKinds[kind].root : 0; }

void PropertySetKind_KeyBounds(uint16_t kind, uint32_t* low, uint32_t* high) noexcept {
  const KindInfo& info = kKinds[kind <= 5 ? kind : 0];
  if (low != nullptr) *low = info.low;
  if (high != nullptr) *high = info.high;
}

size_t PropertyKey_BuildPath(uint32_t index, int instance, char* buffer, size_t buffer_size) noexcept {
  if (buffer == nullptr || buffer_size == 0) return 0;
  // Formats "%s%i" by hand: this runs for every key read of every track.
  char full[64];
  const char* key = PropertyKey(index);
  size_t n = std::strlen(key);
  std::memcpy(full, key, n);
  if (instance >= 1) {
    char digits[16];
    size_t d = 0;
    unsigned v = static_cast<unsigned>(instance);
    do {
      digits[d++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    while (d > 0) full[n++] = digits[--d];
  }
  const size_t kept = n < buffer_size - 1 ? n : buffer_size - 1;
  std::memcpy(buffer, full, kept);
  buffer[kept] = '\0';
  return kept;
}

}  // namespace tavo
