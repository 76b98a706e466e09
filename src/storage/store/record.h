// A record as its caller sees it: the image that is written to the file as one
// block, in native byte order, and where it is stored.
//
// Record image (words in the file's byte order on disk):
//
//   OFFSET          SIZE      DESCRIPTION
//   0               4         0 (reserved)
//   4               4         data offset: 12 + 8 * key count + key area size
//   8               4         data length in bytes
//   12 + 8i         4         key i: offset of its value in the image, 0 while unset
//   16 + 8i         4         key i: length of its value, 0 = no value (the record
//                             is not entered in key i's tree)
//   12 + 8k         key area  values in the order they were set, each padded to 4;
//                             size = requested key bytes rounded up to 4, plus
//                             4 * (k - 1) when there are two keys or more
//   data offset     data      the data, padded to 4
#ifndef TAVO_STORAGE_STORE_RECORD_H_
#define TAVO_STORAGE_STORE_RECORD_H_

#include <cstdint>
#include <cstring>
#include <vector>

namespace tavo {

class StoreRecord {
 public:
  StoreRecord() = default;

  // File position of the image, 0 while the record is not stored.
  uint32_t offset() const noexcept { return offset_; }
  uint32_t key_count() const noexcept { return key_count_; }
  const uint8_t* data() const noexcept { return image_.data() + Word(1); }
  uint32_t data_length() const noexcept { return Word(2); }
  // Value of key i; length 0 when the record has none.
  const uint8_t* key_value(uint32_t i) const noexcept { return image_.data() + Word(3 + 2 * i); }
  uint32_t key_length(uint32_t i) const noexcept { return Word(4 + 2 * i); }
  const std::vector<uint8_t>& image() const noexcept { return image_; }

 private:
  friend struct RecordAccess;

  uint32_t Word(size_t i) const noexcept {
    uint32_t v;
    std::memcpy(&v, image_.data() + 4 * i, 4);
    return v;
  }

  uint32_t offset_ = 0;
  uint32_t block_capacity_ = 0;
  uint32_t key_count_ = 0;
  std::vector<uint8_t> image_;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_RECORD_H_
