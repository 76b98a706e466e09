#include "storage/store/format.h"

#include <cstring>

#include "storage/store/byte_order.h"
#include "storage/store/checksum.h"

namespace tavo {
namespace {

struct SizeField {
  uint32_t offset;
  uint32_t StoreHeader::*field;
};

// Header words checked against 1..4096 when a file is read.
constexpr SizeField kSizeFields[] = {
    {16, &StoreHeader::node_size},
    {20, &StoreHeader::alloc_a},
    {24, &StoreHeader::alloc_b},
};

constexpr SizeField kPlainFields[] = {
    {8, &StoreHeader::kind},
    {28, &StoreHeader::user_block_size},
    {32, &StoreHeader::anchor1},
    {36, &StoreHeader::anchor2},
    {40, &StoreHeader::user_block},
};

constexpr char kStampMagic[4] = {'T', 'X', 'C', 'S'};
constexpr uint32_t kStampChecksum = kStampOffset + 16;

}  // namespace

void EncodeStamp(uint8_t header[kHeaderReserved], const CommitStamp& stamp, bool swap) noexcept {
  uint8_t* p = header + kStampOffset;
  std::memcpy(p, kStampMagic, 4);
  StoreWord(p + 4, stamp.end, swap);
  StoreWord(p + 8, stamp.sequence, swap);
  StoreWord(p + 12, stamp.salt, swap);
  const uint64_t sum = Checksum64(header, kStampChecksum);
  for (int i = 0; i < 8; ++i) p[16 + i] = static_cast<uint8_t>(sum >> (8 * i));  // little-endian on every machine
  std::memset(p + 24, 0, kHeaderReserved - kStampOffset - 24);
}

bool DecodeStamp(const uint8_t header[kHeaderReserved], bool swap, CommitStamp* out) noexcept {
  const uint8_t* p = header + kStampOffset;
  uint64_t stored = 0;
  for (int i = 0; i < 8; ++i) stored |= uint64_t{p[16 + i]} << (8 * i);
  if (std::memcmp(p, kStampMagic, 4) != 0 || stored != Checksum64(header, kStampChecksum)) return false;
  *out = {LoadWord(p + 4, swap), LoadWord(p + 8, swap), LoadWord(p + 12, swap)};
  return true;
}

void StoreHeader::Encode(uint8_t out[kHeaderReserved], bool swap) const noexcept {
  std::memset(out, 0, kHeaderReserved);
  std::memcpy(out, "TXDB", 4);
  StoreWord(out + 4, kVersion, swap);
  StoreWord(out + 12, key_count(), swap);
  for (const SizeField& f : kSizeFields) StoreWord(out + f.offset, this->*f.field, swap);
  for (const SizeField& f : kPlainFields) StoreWord(out + f.offset, this->*f.field, swap);
  for (uint32_t i = 0; i < key_count(); ++i) {
    uint8_t* d = out + kHeaderFixedBytes + kKeyDescriptorBytes * i;
    StoreWord(d, keys[i].type, swap);
    StoreWord(d + 4, keys[i].method, swap);
    StoreWord(d + 8, keys[i].root, swap);
  }
}

StoreStatus StoreHeader::Decode(const uint8_t* in, size_t n, bool swap, StoreHeader* out) {
  const uint32_t key_count = LoadWord(in + 12, swap);
  if (key_count < 1 || key_count > kMaxHeaderKeys) return kStoreDamagedHeader;
  const size_t needed = kHeaderFixedBytes + size_t{kKeyDescriptorBytes} * key_count;
  if (needed > kHeaderReserved || needed > n) return kStoreDamagedHeader;
  for (const SizeField& f : kSizeFields) {
    const uint32_t v = LoadWord(in + f.offset, swap);
    if (v < 1 || v > 4096) return kStoreDamagedHeader;
    out->*f.field = v;
  }
  for (const SizeField& f : kPlainFields) out->*f.field = LoadWord(in + f.offset, swap);
  out->keys.assign(key_count, KeyDescriptor{});
  for (uint32_t i = 0; i < key_count; ++i) {
    const uint8_t* d = in + kHeaderFixedBytes + kKeyDescriptorBytes * i;
    out->keys[i] = {LoadWord(d, swap), LoadWord(d + 4, swap), LoadWord(d + 8, swap)};
  }
  return kStoreOk;
}

}  // namespace tavo
