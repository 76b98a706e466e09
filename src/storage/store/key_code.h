// Key codes: the 32-bit number under which a record is entered in a key's
// tree, computed from the key value by the key's method. Records whose values
// share a code are told apart by comparing the values themselves, with the
// comparison that agrees with the method (case-folded for text).
#ifndef TAVO_STORAGE_STORE_KEY_CODE_H_
#define TAVO_STORAGE_STORE_KEY_CODE_H_

#include <cstdint>

namespace tavo {

inline constexpr uint32_t kKeyMethodBytes = 0;    // hash over raw bytes
inline constexpr uint32_t kKeyMethodInteger = 5;  // the value's first 4 bytes as a native u32
inline constexpr uint32_t kKeyMethodText = 12;    // case-folded hash over UTF-8 text

// Key types: how a key value is converted between byte orders.
inline constexpr uint32_t kKeyTypeInteger = 3;  // one 32-bit word, byte-swapped
inline constexpr uint32_t kKeyTypeText = 7;     // UTF-8 bytes, never converted

// True for the methods new files may name. Files read from disk may name
// others; those are hashed like raw bytes.
bool IsKnownKeyMethod(uint32_t method) noexcept;

uint32_t KeyCode(uint32_t method, const uint8_t* value, uint32_t length) noexcept;

bool KeyValuesEqual(uint32_t method, const uint8_t* a, uint32_t a_length, const uint8_t* b,
                    uint32_t b_length) noexcept;

// A second hash of a key value, unrelated to its key code, that agrees with
// KeyValuesEqual: equal values have equal digests. Records that share a key
// code are held under their digests, so that a lookup reads only the record
// whose digest matches.
uint32_t KeyDigest(uint32_t method, const uint8_t* value, uint32_t length) noexcept;

// Upper-case form of a character up to U+FFFF (Latin, Greek, Cyrillic).
uint32_t FoldToUpper(uint32_t c) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_KEY_CODE_H_
