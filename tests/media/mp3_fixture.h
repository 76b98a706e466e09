// Builds MP3 files byte by byte for the reader's tests: frame headers from
// their fields, ID3v2 tag headers, and Xing / "Info" frames.
#ifndef TAVO_TESTS_MEDIA_MP3_FIXTURE_H_
#define TAVO_TESTS_MEDIA_MP3_FIXTURE_H_

#include <cstdint>
#include <string>

namespace tavo::fixture {

// Field values as they sit in the header; the defaults make an MPEG-1 layer III
// 128 kbps 44100 Hz stereo frame without CRC (FF FB 90 00).
struct HeaderFields {
  uint32_t version = 3;      // 11 MPEG-1, 10 MPEG-2, 00 MPEG-2.5
  uint32_t layer = 1;        // 01 layer III, 10 layer II, 11 layer I
  uint32_t bit_rate = 9;     // index
  uint32_t sample_rate = 0;  // index
  uint32_t mode = 0;         // 3 mono
};

inline uint32_t HeaderWord(const HeaderFields& f) {
  return 0xFFE00000u | f.version << 19 | f.layer << 17 | 1u << 16 | f.bit_rate << 12 |
         f.sample_rate << 10 | f.mode << 6;
}

inline std::string BigEndian(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// Writes `bytes` into *file at `at`, padding with zeros as needed. Zeros never
// contain a frame sync.
inline void PutAt(std::string* file, size_t at, const std::string& bytes) {
  if (file->size() < at + bytes.size()) file->resize(at + bytes.size(), '\0');
  file->replace(at, bytes.size(), bytes);
}

inline std::string Id3v2Header(uint8_t s0, uint8_t s1, uint8_t s2, uint8_t s3,
                               uint8_t major = 3) {
  return std::string("ID3") + static_cast<char>(major) + '\0' + '\0' + static_cast<char>(s0) +
         static_cast<char>(s1) + static_cast<char>(s2) + static_cast<char>(s3);
}

// A 417-byte first frame carrying a variable-bit-rate header tagged `tag`
// ("Xing" or "Info") at the offset the frame's version and mode call for.
// Fields are written for each flag set; the table of contents is zeros.
inline std::string VbrFrame(const HeaderFields& f, uint32_t flags, uint32_t frames,
                            uint32_t bytes, const std::string& tag = "Xing") {
  const bool mpeg1 = f.version == 3, mono = f.mode == 3;
  const size_t at = mpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
  std::string body = tag + BigEndian(flags);
  if (flags & 1) body += BigEndian(frames);
  if (flags & 2) body += BigEndian(bytes);
  if (flags & 4) body += std::string(100, '\0');
  if (flags & 8) body += BigEndian(57);
  std::string frame;
  PutAt(&frame, 0, BigEndian(HeaderWord(f)));
  PutAt(&frame, at, body);
  frame.resize(417, '\0');
  return frame;
}

}  // namespace tavo::fixture

#endif  // TAVO_TESTS_MEDIA_MP3_FIXTURE_H_
