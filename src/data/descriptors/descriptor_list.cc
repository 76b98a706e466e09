#include "data/descriptors/descriptor_list.h"

#include <algorithm>
#include <new>

namespace tavo {

DescStatus DescriptorList::Make(DescriptorListHeader header, std::vector<DescriptorItem> items,
                                DescriptorListPtr* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  if (items.size() > kDescMaxCount) return kDescTooLarge;
  for (const DescriptorItem& item : items) {
    if (item.children.size() > kDescMaxCount || item.parents.size() > kDescMaxCount) return kDescTooLarge;
  }
  try {
    std::shared_ptr<DescriptorList> list(new DescriptorList);
    list->header_ = std::move(header);
    list->items_ = std::move(items);
    list->BuildIndexes();
    list->cyclic_ = list->FindCycle();
    *out = std::move(list);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescriptorListPtr DescriptorList::Empty(DescriptorKind kind) noexcept {
  DescriptorListHeader header;
  header.kind = kind;
  DescriptorListPtr list;
  Make(std::move(header), {}, &list);
  return list;
}

void DescriptorList::BuildIndexes() {
  position_of_id_.reserve(items_.size());
  std::vector<std::pair<int32_t, uint32_t>> naming;
  for (uint32_t i = 0; i < items_.size(); ++i) {
    position_of_id_.emplace(items_[i].id, i);  // keeps the first of equal ids
    for (int32_t child : items_[i].children) naming.emplace_back(child, i);
  }
  std::sort(naming.begin(), naming.end());
  naming.erase(std::unique(naming.begin(), naming.end()), naming.end());
  naming_ids_.reserve(naming.size());
  naming_positions_.reserve(naming.size());
  for (const auto& [child, position] : naming) {
    naming_ids_.push_back(child);
    naming_positions_.push_back(position);
  }
}

// Depth-first over child links with an explicit stack (no recursion, so a
// chain of 65,535 items costs no machine stack): a child that is still on the
// stack closes a cycle.
bool DescriptorList::FindCycle() const {
  enum : uint8_t { kUnseen, kOnStack, kDone };
  std::vector<uint8_t> state(items_.size(), kUnseen);
  std::vector<std::pair<uint32_t, size_t>> stack;  // (position, next child)
  for (uint32_t root = 0; root < items_.size(); ++root) {
    if (state[root] != kUnseen) continue;
    stack.emplace_back(root, 0);
    state[root] = kOnStack;
    while (!stack.empty()) {
      auto& [position, next] = stack.back();
      const std::vector<int32_t>& children = items_[position].children;
      if (next == children.size()) {
        state[position] = kDone;
        stack.pop_back();
        continue;
      }
      const int32_t child = IndexOf(children[next++]);
      if (child < 0) continue;
      if (state[child] == kOnStack) return true;
      if (state[child] == kUnseen) {
        state[child] = kOnStack;
        stack.emplace_back(static_cast<uint32_t>(child), 0);
      }
    }
  }
  return false;
}

const DescriptorItem* DescriptorList::FindById(int32_t id) const noexcept {
  const int32_t i = IndexOf(id);
  return i < 0 ? nullptr : &items_[static_cast<size_t>(i)];
}

int32_t DescriptorList::IndexOf(int32_t id) const noexcept {
  auto it = position_of_id_.find(id);
  return it == position_of_id_.end() ? -1 : static_cast<int32_t>(it->second);
}

std::span<const uint32_t> DescriptorList::ItemsNaming(int32_t id) const noexcept {
  auto [first, last] = std::equal_range(naming_ids_.begin(), naming_ids_.end(), id);
  const size_t begin = static_cast<size_t>(first - naming_ids_.begin());
  return std::span<const uint32_t>(naming_positions_).subspan(begin, static_cast<size_t>(last - first));
}

}  // namespace tavo
