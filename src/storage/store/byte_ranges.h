// Bytes at offsets of a file, held in memory: the writes of the current
// transaction, or transactions committed but not yet written into the file.
// Ranges never overlap; a write overwrites what is held of its span and adds
// the rest, continuing the range that ends where it starts, so that a write
// costs its own length however much is held.
#ifndef TAVO_STORAGE_STORE_BYTE_RANGES_H_
#define TAVO_STORAGE_STORE_BYTE_RANGES_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace tavo {

class ByteRanges {
 public:
  using Map = std::map<uint64_t, std::vector<uint8_t>>;

  void Write(uint64_t offset, const uint8_t* bytes, size_t n);
  // Takes over the ranges of `later`, whose bytes win; `later` ends empty.
  // Ranges that touch none held here move without being copied.
  void Absorb(ByteRanges&& later);
  // Copies what is held of [offset, offset + n) into buf. Bytes from
  // *covered up to held ones are zeroed (a hole); *covered grows to the end
  // of what was copied.
  void Overlay(uint64_t offset, uint8_t* buf, size_t n, size_t* covered) const;

  const Map& ranges() const noexcept { return ranges_; }
  bool empty() const noexcept { return ranges_.empty(); }
  size_t bytes() const noexcept { return bytes_; }
  // The end of the last range, 0 when empty.
  uint64_t end() const noexcept;
  void clear() noexcept;

 private:
  Map ranges_;
  size_t bytes_ = 0;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_BYTE_RANGES_H_
