// The block cipher that the stored correlate tables pass through: XTEA (64-bit
// blocks, 128-bit key, 32 cycles) in electronic-codebook mode with one fixed
// key. It keeps the tables from being read or edited casually in the file;
// it is not meant to resist a determined reader, who has the key in this
// source.
//
//   key words: 0x7461766F 0x706C6D2E 0x6763662E 0x6C736621
//   delta:     0x9E3779B9
//   block:     bytes 0-3 and 4-7 read most significant byte first as v0, v1
//
// Bytes past the last whole block pass unchanged (tables are whole blocks:
// one block per related genre).
#ifndef TAVO_STORAGE_LIBRARY_CORRELATES_CIPHER_H_
#define TAVO_STORAGE_LIBRARY_CORRELATES_CIPHER_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

void CorrelatesCipher_Encrypt(uint8_t* data, size_t length) noexcept;
void CorrelatesCipher_Decrypt(uint8_t* data, size_t length) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_CORRELATES_CIPHER_H_
