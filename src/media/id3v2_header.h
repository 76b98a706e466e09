// The ID3 version 2 tag that may open an MP3 file. Audio starts after it.
//
//   OFFSET  SIZE  DESCRIPTION
//   0       3     "ID3"
//   3       2     major version and revision, each below 255
//   5       1     flags
//   6       4     tag size without this header: 7 bits per byte, the top bit
//                 always 0, most significant byte first
#ifndef TAVO_MEDIA_ID3V2_HEADER_H_
#define TAVO_MEDIA_ID3V2_HEADER_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

constexpr size_t kId3v2HeaderSize = 10;

// Where the search for the first frame begins, given the first n bytes of the
// file: past the tag when they hold a well-formed tag header, else 0. The
// result may lie past the end of the file when the tag claims more than the
// file holds; the search then simply finds nothing.
uint32_t Id3v2AudioSearchStart(const uint8_t* head, size_t n) noexcept;

}  // namespace tavo

#endif  // TAVO_MEDIA_ID3V2_HEADER_H_
