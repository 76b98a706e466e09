// The media library's copies of what the service supplied, kept as keyed
// blobs of the correlates store (storage/library/correlates_store.h) so that
// an initialization needs the service only when a copy is missing or old.
//
// Blobs (class, kind, id), each value as its layer stores it:
//
//   CLASS  KIND               ID        DATA
//   2      list kind 0..5     0         list header with its storing time and
//                                       item count (data/descriptors/stored_list.h)
//   3      list kind 0..5     position  one item, positions 0..count-1
//   4      mapping kind 1..3  0         the mapping's pairs (data/descriptors/id_mapping.h)
//   5      mapping kind 2     0         revision of the document the mapping
//                                       came from: a list header with no items
//
// Mapping kinds: 1 the genre list's child-id mapping (derived, no revision of
// its own), 2 the version mapping ("genres-v1-to-v2"), 3 the genre-family
// mapping (the revision of the genre-family list, kind 5, serves it).
//
// A list copy is written header last and read only when its header's item
// count matches the items present, so a write cut short reads as no copy.
// Every function needs the caller to hold the store (CorrelatesGate::Hold).
#ifndef TAVO_MANAGER_LIBRARY_DATABASE_COPIES_H_
#define TAVO_MANAGER_LIBRARY_DATABASE_COPIES_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"
#include "storage/library/correlates_store.h"

namespace tavo {

enum class MappingKind : uint32_t {
  kGenreChildIds = 1,
  kGenreVersions = 2,
  kGenreFamilies = 3,
};

inline constexpr uint32_t kBlobClassListHeader = 2;
inline constexpr uint32_t kBlobClassListItem = 3;
inline constexpr uint32_t kBlobClassMapping = 4;
inline constexpr uint32_t kBlobClassMappingRevision = 5;

// The stored copy of a list and when it was stored (packed record date, 0 =
// unknown). 0x90020002 when there is none; 0x1005 when it does not decode.
LibraryStatus ReadListCopy(CorrelatesStore& store, DescriptorKind kind, DescriptorListPtr* list,
                           uint32_t* stored_time);
// Replaces the copy of the list's kind. Opens the store for writing when it
// is not (and reopens it for reading after), then flushes.
LibraryStatus WriteListCopy(CorrelatesStore& store, const DescriptorList& list, uint32_t stored_time);

LibraryStatus ReadMappingCopy(CorrelatesStore& store, MappingKind kind, IdMapping* mapping);
// The mapping and, when `revision` is given, the revision it came from.
LibraryStatus WriteMappingCopy(CorrelatesStore& store, MappingKind kind, const IdMapping& mapping,
                               const DescriptorListHeader* revision = nullptr, uint32_t stored_time = 0);
LibraryStatus ReadMappingRevision(CorrelatesStore& store, MappingKind kind, DescriptorListHeader* revision,
                                  uint32_t* stored_time);

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_DATABASE_COPIES_H_
