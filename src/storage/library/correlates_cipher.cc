#include "storage/library/correlates_cipher.h"

#include "storage/library/big_endian_words.h"

namespace tavo {
namespace {

constexpr uint32_t kKey[4] = {0x7461766F, 0x706C6D2E, 0x6763662E, 0x6C736621};
constexpr uint32_t kDelta = 0x9E3779B9;
constexpr int kCycles = 32;

void EncryptBlock(uint8_t* block) noexcept {
  uint32_t v0 = ReadBigEndian32(block), v1 = ReadBigEndian32(block + 4), sum = 0;
  for (int i = 0; i < kCycles; ++i) {
    v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + kKey[sum & 3]);
    sum += kDelta;
    v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + kKey[(sum >> 11) & 3]);
  }
  WriteBigEndian32(block, v0);
  WriteBigEndian32(block + 4, v1);
}

void DecryptBlock(uint8_t* block) noexcept {
  uint32_t v0 = ReadBigEndian32(block), v1 = ReadBigEndian32(block + 4);
  uint32_t sum = kDelta * static_cast<uint32_t>(kCycles);
  for (int i = 0; i < kCycles; ++i) {
    v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + kKey[(sum >> 11) & 3]);
    sum -= kDelta;
    v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + kKey[sum & 3]);
  }
  WriteBigEndian32(block, v0);
  WriteBigEndian32(block + 4, v1);
}

}  // namespace

void CorrelatesCipher_Encrypt(uint8_t* data, size_t length) noexcept {
  for (size_t i = 0; i + 8 <= length; i += 8) EncryptBlock(data + i);
}

void CorrelatesCipher_Decrypt(uint8_t* data, size_t length) noexcept {
  for (size_t i = 0; i + 8 <= length; i += 8) DecryptBlock(data + i);
}

}  // namespace tavo
