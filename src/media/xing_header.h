// The "Xing" header that variable-bit-rate encoders write into the first
// frame in place of audio. It follows the frame's side information:
//
//   OFFSET         SIZE  DESCRIPTION
//   0              4     "Xing"
//   4              4     flags, big-endian: 1 frames, 2 bytes, 4 table, 8 quality
//   8              4     frame count, when flag 1            (fields that are
//   .              4     byte count, when flag 2              absent take no
//   .              100   table of contents, when flag 4       room; each present
//   .              4     quality, when flag 8                 one follows the last)
//
// The offset from the frame start depends on the side-information size: 36 for
// MPEG-1 stereo, 21 for MPEG-1 mono and for MPEG-2/2.5 stereo, 13 for MPEG-2/2.5
// mono. The constant-bit-rate variant tagged "Info" is deliberately not
// recognised: such files are measured like any other constant-bit-rate file.
#ifndef TAVO_MEDIA_XING_HEADER_H_
#define TAVO_MEDIA_XING_HEADER_H_

#include <cstddef>
#include <cstdint>

#include "media/mp3_frame_header.h"

namespace tavo {

struct XingHeader {
  enum Flags : uint32_t { kFrames = 1, kBytes = 2, kTableOfContents = 4, kQuality = 8 };

  bool mpeg1 = false;
  int sample_rate = 0;      // of the frame that carries it
  uint32_t flags = 0;
  uint32_t frame_count = 0;  // 0 when the encoder left it out
  uint32_t byte_count = 0;
  int32_t quality = -1;      // -1 when absent
};

// Looks for a Xing header in the frame that starts at frame[0], of which n
// bytes are at hand, and whose (valid) header is `header`. Returns false when
// there is none or when its fields run past the n bytes.
bool ParseXingHeader(const Mp3FrameHeader& header, const uint8_t* frame, size_t n,
                     XingHeader* out) noexcept;

}  // namespace tavo

#endif  // TAVO_MEDIA_XING_HEADER_H_
