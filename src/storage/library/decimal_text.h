// Numbers kept as text: the signed decimal conversion every reader of a
// track's values uses, and its inverse.
#ifndef TAVO_STORAGE_LIBRARY_DECIMAL_TEXT_H_
#define TAVO_STORAGE_LIBRARY_DECIMAL_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo {

// Leading blanks, an optional sign, then digits; text that does not start
// with a number gives 0, and values beyond 32 bits saturate.
int32_t ParseDecimal(const char* text) noexcept;
// The same conversion over bytes that need no terminator (a zero byte ends
// the number as any other non-digit does).
int32_t ParseDecimal(std::string_view text) noexcept;
// The same with 64 bits: values beyond them saturate. File sizes are read so.
int64_t ParseDecimal64(std::string_view text) noexcept;

// True when the whole text is 1 to `max_digits` decimal digits and the value
// fits 32 bits unsigned.
bool ParseUnsignedDigits(const char* begin, size_t length, size_t max_digits, uint32_t* value) noexcept;

std::string DecimalText(int64_t value);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_DECIMAL_TEXT_H_
