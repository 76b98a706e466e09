// Walks over a list's hierarchy (children and parents of its items).
//
// Lists come from outside and may be damaged: an item may name itself or an
// ancestor as a child. No walk recurses or loops: the descendant walk keeps
// its path on an explicit stack and skips a child that is already on it, and
// the upward test visits every item at most once.
#ifndef TAVO_DATA_DESCRIPTORS_HIERARCHY_H_
#define TAVO_DATA_DESCRIPTORS_HIERARCHY_H_

#include <cstdint>
#include <vector>

#include "data/descriptors/descriptor_list.h"

namespace tavo {

// All descendants of the item `id`, depth-first and pre-order: for each
// child in order, the child's id, then the descendants of the child if it is
// an item. Ids that are not items are listed but not expanded; an id reached
// along two paths is listed twice; a child already on the current path (a
// cycle) is skipped. kDescUnknownId for an unknown id or an item without
// children; kDescTooMany (and *out cleared) past 65,535 ids; kDescNoMemory.
DescStatus Descendants(const DescriptorList& list, int32_t id, std::vector<int32_t>* out) noexcept;

// The descendants that are items of the list without children, in descendant
// order. Fails as Descendants does.
DescStatus LeafDescendants(const DescriptorList& list, int32_t id, std::vector<int32_t>* out) noexcept;

// Whether `v` lies under `p`: some chain of child links leads from the item
// `p` down to `v` (which need not be an item itself). False for v == p unless
// a cycle leads back. Costs one step per ancestor of v; to test many values
// against one p, collect Descendants(p) once instead.
bool IsUnder(const DescriptorList& list, int32_t v, int32_t p) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_HIERARCHY_H_
