// The selection of a selection-based run: each name's file name (the part
// after the last "/" or directory delimiter) looked up among the snapshot's
// tracks, letter case ignored. One pass over the snapshot's file names,
// comparing only names of a length some selected name has.
#ifndef TAVO_GENERATION_ENGINE_SELECTION_LOOKUP_H_
#define TAVO_GENERATION_ENGINE_SELECTION_LOOKUP_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "generation/engine/view_snapshot.h"

namespace tavo {

// The slot of each name, in the names' order; kNoSlot (criterion_test.h)
// for a name the snapshot does not hold. Throws std::bad_alloc.
std::vector<uint32_t> LookUpSelection(const ViewSnapshot& view, std::span<const std::string> names);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_SELECTION_LOOKUP_H_
