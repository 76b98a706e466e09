#include "generation/engine/selection_lookup.h"

#include <string_view>
#include <unordered_map>

#include "generation/engine/criterion_test.h"
#include "generation/engine/text_fold.h"
#include "storage/library/dir_delim.h"

namespace tavo {

std::vector<uint32_t> LookUpSelection(const ViewSnapshot& view, std::span<const std::string> names) {
  std::vector<uint32_t> slots(names.size(), kNoSlot);
  std::unordered_map<std::string, std::vector<size_t>> wanted;  // folded file name -> positions
  std::vector<bool> lengths;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string_view directory, file_name;
    SplitTrackPath(names[i], &directory, &file_name);
    std::string folded;
    FoldText(file_name, &folded);
    if (folded.size() >= lengths.size()) lengths.resize(folded.size() + 1, false);
    lengths[folded.size()] = true;
    wanted[std::move(folded)].push_back(i);
  }
  std::string folded;
  for (uint32_t slot : view.LiveSlots()) {
    const std::string_view name = view.Text(slot, kTextFileName);
    if (name.size() >= lengths.size() || !lengths[name.size()]) continue;
    FoldText(name, &folded);
    const auto it = wanted.find(folded);
    if (it == wanted.end()) continue;
    for (size_t position : it->second) slots[position] = slot;
  }
  return slots;
}

}  // namespace tavo
