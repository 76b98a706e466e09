// Genre criteria survive a change of the genre list: a saved genre id that
// the current list no longer knows is replaced by a genre the list does know,
// found through the genre's master id and system level saved beside it.
#ifndef TAVO_DATA_PRESETS_GENRE_CORRECTION_H_
#define TAVO_DATA_PRESETS_GENRE_CORRECTION_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"

namespace tavo {

// The genre id to use for a saved genre criterion:
//  1. `saved_id` when the list holds it, or when the child-id mapping
//     `mapping` (may be null) knows it as a merged child;
//  2. otherwise the walk starts at the item the mapping gives for
//     `master_id`, or at the item `master_id` itself when the mapping has no
//     entry for it, and moves to the item of its first parent while the
//     item's system level is above `system_level`; the id where it stops;
//  3. `saved_id` unchanged when the starting item does not exist, an item on
//     the way has no parents or a parent that is not in the list, or the
//     walk takes more steps than the list has items (a cycle).
int32_t CorrectSavedGenre(const DescriptorList& genres, const IdMapping* mapping, int32_t saved_id,
                          int32_t master_id, int32_t system_level) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_GENRE_CORRECTION_H_
