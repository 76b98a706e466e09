// Track identifiers: the number under which a track is kept (key 1 of
// ".pdb", key 0 of ".idx").
//
// A tag identifier of the recognition service names the number inside its
// text. Positions count from 0; characters are their byte values.
//   "3CD3..." : p = 4
//   "31Z1..." : p = 5 + ('Y' - text[4])
//   k = 'P' - text[p]
//   L = 'Z' - text[p + k + 1]            (1 to 10)
//   the L characters from p + k + 2 are the decimal identifier
// The text parses only when every position used lies inside it (at most its
// first 63 bytes), the L characters are digits and the value fits 32 bits.
//
// Tracks whose tag does not parse draw their identifier from a counter kept
// in the record file's user block:
//
//   OFFSET  SIZE  FIELD
//   0       4     0
//   4       4     the last identifier drawn (0 in a new file)
//   8       4     2897638, which marks the block as the library's
//
// The words are in the file's byte order on disk (most significant first).
// The rest of the 256-byte user block is zero.
#ifndef TAVO_STORAGE_LIBRARY_TRACK_ID_H_
#define TAVO_STORAGE_LIBRARY_TRACK_ID_H_

#include <cstdint>
#include <string_view>

#include "storage/store/store.h"

namespace tavo {

inline constexpr uint32_t kIdCounterMark = 2897638;
inline constexpr uint32_t kIdCounterBlockBytes = 12;

bool TrackId_ParseTag(std::string_view tag_id, uint32_t* id) noexcept;

// The record file's user-block converter: swaps the counter block's words.
void IdCounterBlock_Convert(uint8_t* block, uint32_t length, StoreConvert direction);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_ID_H_
