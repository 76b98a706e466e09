// The kinds of descriptor list and what each kind's items carry besides the
// common fields (id, ordinal, children, parents, display name, description).
//
//   KIND  LIST                  EXTENSION ELEMENTS INSIDE ITEM        STORED AS
//   0     eras                  RANGE_START_DATE, RANGE_END_DATE      2 + 2 bytes
//                               (years, unsigned 16-bit in memory too)
//   1     origins               none
//   2     artist types, and     none
//         named lists read from files
//   3     genres                MASTER_ID; SYSTEM_LEVEL or            4 + 4 bytes
//                               item_SYSTEM_LEVEL (32-bit)
//   4     popularity ranges     RANGE_START, RANGE_END (32-bit)       2 + 2 bytes: bounds
//                                                                     above 65535 do not
//                                                                     survive a stored copy
//   5     genre families        none (their GENRE_ID children feed
//                               an id mapping, not the list)
#ifndef TAVO_DATA_DESCRIPTORS_DESCRIPTOR_KIND_H_
#define TAVO_DATA_DESCRIPTORS_DESCRIPTOR_KIND_H_

#include <cstdint>
#include <string_view>

namespace tavo {

enum class DescriptorKind : int32_t {
  kEras = 0,
  kOrigins = 1,
  kArtistTypes = 2,
  kGenres = 3,
  kPopularityRanges = 4,
  kGenreFamilies = 5,
};

bool IsDescriptorKind(int32_t value) noexcept;

// One number of a kind's extension.
struct ExtensionValue {
  std::string_view element;  // empty: the kind has no value in this slot
  std::string_view alias;    // a second element name for the same value, or empty
  bool unsigned16;           // kept as an unsigned 16-bit value in memory
  uint8_t stored_bytes;      // width in the stored binary form: 2 or 4
};

// The two extension slots of a kind, in item order (start before end,
// master id before system level).
struct KindExtension {
  ExtensionValue values[2];
};

// Kinds outside 0..5 have no extension.
const KindExtension& ExtensionOf(DescriptorKind kind) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_DESCRIPTOR_KIND_H_
