// One MPEG audio frame header: the first four bytes of every frame, taken
// big-endian into a 32-bit word h.
//
//   BITS    FIELD
//   31..21  sync, all ones
//   20..19  version: 11 MPEG-1, 10 MPEG-2, 00 MPEG-2.5, 01 reserved
//   18..17  layer bits: 11 layer I, 10 layer II, 01 layer III, 00 reserved
//   16      protection
//   15..12  bit-rate index: 0 free format, 15 reserved
//   11..10  sample-rate index: 3 reserved
//   9       padding
//   8       private
//   7..6    channel mode: 3 is mono
//   5..4    mode extension
//   3       copyright
//   2       original
//   1..0    emphasis: 2 reserved
//
// Only valid headers are ever decoded; IsValid() rejects every reserved value,
// so the table lookups below never see an index they have no entry for.
#ifndef TAVO_MEDIA_MP3_FRAME_HEADER_H_
#define TAVO_MEDIA_MP3_FRAME_HEADER_H_

#include <cstdint>

#include "media/big_endian.h"

namespace tavo {

class Mp3FrameHeader {
 public:
  constexpr explicit Mp3FrameHeader(uint32_t word) noexcept : word_(word) {}

  // Reads the big-endian word at p[0..3].
  static Mp3FrameHeader FromBytes(const uint8_t* p) noexcept {
    return Mp3FrameHeader(LoadBigEndian32(p));
  }

  // Sync all ones, and no reserved version, layer, bit-rate index (free format
  // included), sample-rate index or emphasis.
  bool IsValid() const noexcept;

  uint32_t word() const noexcept { return word_; }
  uint32_t version_bits() const noexcept { return (word_ >> 19) & 3; }
  uint32_t layer_bits() const noexcept { return (word_ >> 17) & 3; }
  uint32_t bit_rate_index() const noexcept { return (word_ >> 12) & 15; }
  uint32_t sample_rate_index() const noexcept { return (word_ >> 10) & 3; }
  uint32_t channel_mode() const noexcept { return (word_ >> 6) & 3; }
  uint32_t emphasis() const noexcept { return word_ & 3; }

  // MPEG-1 is told by bit 19 alone; MPEG-2 and MPEG-2.5 share everything that
  // depends on it.
  bool is_mpeg1() const noexcept { return (word_ >> 19) & 1; }
  bool is_mono() const noexcept { return channel_mode() == 3; }
  int layer() const noexcept { return 4 - static_cast<int>(layer_bits()); }

  // Kilobits per second. Requires IsValid().
  int BitRate() const noexcept;
  // Hertz. Requires IsValid().
  int SampleRate() const noexcept;
  // 384 for layer I, 576 for layer III below MPEG-1, 1152 otherwise.
  int SamplesPerFrame() const noexcept;
  // Bytes per frame are BitRate() * 1000 / SampleRate() * this factor (padding
  // aside): the samples per frame divided by 8 bits, and 4-byte slots for
  // layer I.
  double FrameSizeFactor() const noexcept;

 private:
  uint32_t word_;
};

}  // namespace tavo

#endif  // TAVO_MEDIA_MP3_FRAME_HEADER_H_
