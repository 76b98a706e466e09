// Sorting by 64-bit keys, stably: equal keys keep their order, so the
// result is the same on every platform (a radix sort; short lists use the
// standard stable sort).
//
// Field sort keys give the order of the final sort and the runs of
// per-field limits: text fields (the catalogue's string type) by their
// folded text, byte by byte; every other field by its number (dates by
// their packed record date); a track without a value before all others.
#ifndef TAVO_GENERATION_ENGINE_KEY_SORT_H_
#define TAVO_GENERATION_ENGINE_KEY_SORT_H_

#include <cstdint>
#include <span>
#include <vector>

#include "generation/engine/view_snapshot.h"

namespace tavo {

// Sorts `items` by `keys` (keys[i] belongs to items[i]; both are permuted).
// Throws std::bad_alloc.
void StableSortByKey(std::vector<uint32_t>* items, std::vector<uint64_t>* keys);

// The sort key of `field` for each slot. Throws std::bad_alloc.
std::vector<uint64_t> FieldSortKeys(const ViewSnapshot& view, int32_t field, std::span<const uint32_t> slots);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_KEY_SORT_H_
