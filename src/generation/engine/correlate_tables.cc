#include "generation/engine/correlate_tables.h"

#include <algorithm>

namespace tavo {

const std::vector<CorrelateEntry>& CorrelateTables::Table(int32_t genre) {
  auto [it, added] = tables_.try_emplace(genre);
  if (!added) return it->second;
  std::vector<CorrelateEntry>& table = it->second;
  if (store_ == nullptr || store_->ReadTable(genre, &table) != kLibraryOk) table.clear();
  // Sorted by related id for lookups, keeping each id's first entry.
  std::stable_sort(table.begin(), table.end(),
                   [](const CorrelateEntry& a, const CorrelateEntry& b) { return a.related_id < b.related_id; });
  table.erase(std::unique(table.begin(), table.end(),
                          [](const CorrelateEntry& a, const CorrelateEntry& b) { return a.related_id == b.related_id; }),
              table.end());
  return table;
}

int64_t CorrelateTables::Weight(int32_t genre, int32_t related) {
  const std::vector<CorrelateEntry>& table = Table(genre);
  const auto it = std::lower_bound(table.begin(), table.end(), related,
                                   [](const CorrelateEntry& e, int32_t id) { return e.related_id < id; });
  return it != table.end() && it->related_id == related ? it->weight : 0;
}

}  // namespace tavo
