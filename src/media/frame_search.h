// Finds the next valid MPEG audio frame header in a file.
#ifndef TAVO_MEDIA_FRAME_SEARCH_H_
#define TAVO_MEDIA_FRAME_SEARCH_H_

#include <cstddef>
#include <cstdint>

#include "media/mp3_frame_header.h"
#include "platform/fs/env.h"

namespace tavo {

// The file is read in blocks of this many bytes.
constexpr size_t kFrameSearchBlock = 8208;

enum class FrameSearchResult { kFound, kNotFound, kReadError };

// Tests every byte position from `from` on, to the end of the file, as the
// start of a header. On kFound, *at is the header's offset in the file and
// *header the header.
FrameSearchResult FindFrameHeader(File* file, uint64_t from, uint64_t* at,
                                  Mp3FrameHeader* header);

}  // namespace tavo

#endif  // TAVO_MEDIA_FRAME_SEARCH_H_
