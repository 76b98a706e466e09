#include "data/descriptors/hierarchy.h"

#include <new>
#include <utility>

namespace tavo {
namespace {

// Calls visit(child id, child's position or -1) for every descendant, in
// order. The stack holds the current path: (position, next child to visit).
template <class Visit>
DescStatus Walk(const DescriptorList& list, int32_t id, Visit visit) noexcept {
  const int32_t start = list.IndexOf(id);
  if (start < 0 || list.items()[static_cast<size_t>(start)].children.empty()) return kDescUnknownId;
  try {
    std::vector<uint8_t> on_path(list.size(), 0);
    std::vector<std::pair<uint32_t, size_t>> path;
    path.emplace_back(static_cast<uint32_t>(start), 0);
    on_path[static_cast<size_t>(start)] = 1;
    uint32_t listed = 0;
    while (!path.empty()) {
      const uint32_t position = path.back().first;
      const std::vector<int32_t>& children = list.items()[position].children;
      if (path.back().second == children.size()) {
        on_path[position] = 0;
        path.pop_back();
        continue;
      }
      const int32_t child = children[path.back().second++];
      const int32_t child_position = list.IndexOf(child);
      if (child_position >= 0 && on_path[static_cast<size_t>(child_position)]) continue;
      if (++listed > kDescMaxCount) return kDescTooMany;
      visit(child, child_position);
      if (child_position >= 0) {
        on_path[static_cast<size_t>(child_position)] = 1;
        path.emplace_back(static_cast<uint32_t>(child_position), 0);
      }
    }
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus Collect(const DescriptorList& list, int32_t id, bool leaves_only, std::vector<int32_t>* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  out->clear();
  // push_back may throw inside the walk, which turns that into kDescNoMemory.
  const DescStatus status = Walk(list, id, [&](int32_t child, int32_t position) {
    if (leaves_only && (position < 0 || !list.items()[static_cast<size_t>(position)].children.empty())) return;
    out->push_back(child);
  });
  if (status != kDescOk) out->clear();
  return status;
}

}  // namespace

DescStatus Descendants(const DescriptorList& list, int32_t id, std::vector<int32_t>* out) noexcept {
  return Collect(list, id, false, out);
}

DescStatus LeafDescendants(const DescriptorList& list, int32_t id, std::vector<int32_t>* out) noexcept {
  return Collect(list, id, true, out);
}

bool IsUnder(const DescriptorList& list, int32_t v, int32_t p) noexcept {
  try {
    std::vector<uint8_t> seen(list.size(), 0);
    std::vector<uint32_t> frontier(list.ItemsNaming(v).begin(), list.ItemsNaming(v).end());
    while (!frontier.empty()) {
      const uint32_t position = frontier.back();
      frontier.pop_back();
      if (seen[position]) continue;
      seen[position] = 1;
      const int32_t id = list.items()[position].id;
      if (id == p) return true;
      for (uint32_t up : list.ItemsNaming(id)) {
        if (!seen[up]) frontier.push_back(up);
      }
    }
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace tavo
