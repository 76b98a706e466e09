// Big-endian numbers and NUL-terminated texts in byte strings: the pieces of
// the stored forms of lists, items and mappings. The reader checks every
// bound, since stored bytes come back from disk and may be damaged.
#ifndef TAVO_DATA_DESCRIPTORS_STORED_BYTES_H_
#define TAVO_DATA_DESCRIPTORS_STORED_BYTES_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tavo {

class ByteWriter {
 public:
  // All throw std::bad_alloc.
  void Put16(uint16_t v) {
    const char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
    bytes_.append(b, 2);
  }
  void Put32(uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    bytes_.append(b, 4);
  }
  // The text and its NUL (a lone NUL when empty).
  void PutText(std::string_view text) {
    bytes_.append(text);
    bytes_.push_back('\0');
  }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  // Each gives false, and reads nothing, when the bytes run out.
  bool Get16(uint16_t* v) {
    if (remaining() < 2) return false;
    *v = static_cast<uint16_t>(Byte(0) << 8 | Byte(1));
    at_ += 2;
    return true;
  }
  bool Get32(uint32_t* v) {
    if (remaining() < 4) return false;
    *v = Byte(0) << 24 | Byte(1) << 16 | Byte(2) << 8 | Byte(3);
    at_ += 4;
    return true;
  }
  // A text up to its NUL; false when no NUL follows.
  bool GetText(std::string* text) {
    const size_t nul = bytes_.find('\0', at_);
    if (nul == std::string_view::npos) return false;
    text->assign(bytes_.substr(at_, nul - at_));
    at_ = nul + 1;
    return true;
  }
  size_t remaining() const { return bytes_.size() - at_; }

 private:
  uint32_t Byte(size_t i) const { return static_cast<uint8_t>(bytes_[at_ + i]); }

  std::string_view bytes_;
  size_t at_ = 0;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_STORED_BYTES_H_
