#include "media/frame_search.h"

#include <array>
#include <cstring>

namespace tavo {

FrameSearchResult FindFrameHeader(File* file, uint64_t from, uint64_t* at,
                                  Mp3FrameHeader* header) {
  constexpr size_t kHeaderSize = 4;
  std::array<uint8_t, kFrameSearchBlock> block;
  uint64_t offset = from;
  for (;;) {
    size_t got = 0;
    if (file->Read(offset, block.data(), block.size(), &got) != 0) {
      return FrameSearchResult::kReadError;
    }
    if (got < kHeaderSize) return FrameSearchResult::kNotFound;
    const uint8_t* const begin = block.data();
    const uint8_t* const last = begin + got - kHeaderSize;  // last whole-header start
    // Every header begins with 0xFF, so only those positions are decoded.
    for (const uint8_t* p = begin; p <= last; ++p) {
      p = static_cast<const uint8_t*>(std::memchr(p, 0xFF, static_cast<size_t>(last - p) + 1));
      if (p == nullptr) break;
      const Mp3FrameHeader candidate = Mp3FrameHeader::FromBytes(p);
      if (candidate.IsValid()) {
        *at = offset + static_cast<uint64_t>(p - begin);
        *header = candidate;
        return FrameSearchResult::kFound;
      }
    }
    // A short block is the end of the file.
    if (got < block.size()) return FrameSearchResult::kNotFound;
    // The last three positions of a block cannot hold a whole header; the next
    // block starts at the first of them, so a header across the boundary is
    // still found.
    offset += got - (kHeaderSize - 1);
  }
}

}  // namespace tavo
