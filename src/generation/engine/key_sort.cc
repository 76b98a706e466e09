#include "generation/engine/key_sort.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>

#include "generation/engine/field_reader.h"
#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

constexpr size_t kRadixFrom = 256;
constexpr int kDigitBits = 16;
constexpr uint64_t kSignFlip = uint64_t{1} << 63;

// Text keys: the rank of each distinct folded text (1 = first), 0 for none.
std::vector<uint64_t> TextKeys(const ViewSnapshot& view, int32_t field, std::span<const uint32_t> slots) {
  const FieldReader reader(view, field);
  std::vector<uint64_t> keys(slots.size(), 0);
  std::unordered_map<uint32_t, uint32_t> group_of_id;  // text id -> distinct folded text
  std::unordered_map<std::string, uint32_t> group_of_text;
  std::vector<std::string> texts;
  std::string scratch;
  for (size_t i = 0; i < slots.size(); ++i) {
    const uint32_t id = reader.TextId(slots[i]);
    if (id == 0) continue;
    auto [it, added] = group_of_id.try_emplace(id, 0);
    if (added) {
      std::string folded(reader.FoldedText(id, &scratch));
      auto [git, gadded] = group_of_text.try_emplace(folded, static_cast<uint32_t>(texts.size()));
      if (gadded) texts.push_back(std::move(folded));
      it->second = git->second;
    }
    keys[i] = it->second;
  }
  std::vector<uint32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return texts[a] < texts[b]; });
  std::vector<uint64_t> rank(texts.size());
  for (size_t r = 0; r < order.size(); ++r) rank[order[r]] = r + 1;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (reader.TextId(slots[i]) != 0) keys[i] = rank[keys[i]];
  }
  return keys;
}

}  // namespace

void StableSortByKey(std::vector<uint32_t>* items, std::vector<uint64_t>* keys) {
  const size_t n = items->size();
  if (n < kRadixFrom) {
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return (*keys)[a] < (*keys)[b]; });
    std::vector<uint32_t> sorted_items(n);
    std::vector<uint64_t> sorted_keys(n);
    for (size_t i = 0; i < n; ++i) {
      sorted_items[i] = (*items)[order[i]];
      sorted_keys[i] = (*keys)[order[i]];
    }
    items->swap(sorted_items);
    keys->swap(sorted_keys);
    return;
  }
  uint64_t varying = 0;
  for (uint64_t k : *keys) varying |= k ^ (*keys)[0];
  std::vector<uint32_t> items_out(n);
  std::vector<uint64_t> keys_out(n);
  std::vector<size_t> start(size_t{1} << kDigitBits);
  for (int shift = 0; shift < 64; shift += kDigitBits) {
    const uint64_t mask = (uint64_t{1} << kDigitBits) - 1;
    if (((varying >> shift) & mask) == 0) continue;  // every key has the same digit here
    std::fill(start.begin(), start.end(), 0);
    for (uint64_t k : *keys) ++start[(k >> shift) & mask];
    size_t sum = 0;
    for (size_t& s : start) sum += std::exchange(s, sum);
    for (size_t i = 0; i < n; ++i) {
      const size_t at = start[((*keys)[i] >> shift) & mask]++;
      items_out[at] = (*items)[i];
      keys_out[at] = (*keys)[i];
    }
    items->swap(items_out);
    keys->swap(keys_out);
  }
}

std::vector<uint64_t> FieldSortKeys(const ViewSnapshot& view, int32_t field, std::span<const uint32_t> slots) {
  if (FieldCatalog_Type(field) == txpl_crit_field_type_string) return TextKeys(view, field, slots);
  const FieldReader reader(view, field);
  std::vector<uint64_t> keys(slots.size(), 0);
  for (size_t i = 0; i < slots.size(); ++i) {
    if (const std::optional<int64_t> v = reader.Number(slots[i])) keys[i] = static_cast<uint64_t>(*v) ^ kSignFlip;
  }
  return keys;
}

}  // namespace tavo
