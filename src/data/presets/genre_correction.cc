#include "data/presets/genre_correction.h"

namespace tavo {

int32_t CorrectSavedGenre(const DescriptorList& genres, const IdMapping* mapping, int32_t saved_id,
                          int32_t master_id, int32_t system_level) noexcept {
  if (genres.FindById(saved_id) != nullptr) return saved_id;
  if (mapping != nullptr && mapping->Find(saved_id)) return saved_id;
  const int32_t start = mapping != nullptr ? mapping->Find(master_id).value_or(master_id) : master_id;
  const DescriptorItem* item = genres.FindById(start);
  // Each step moves to another item; more steps than items means a cycle.
  for (size_t steps = 0; item != nullptr; ++steps) {
    if (item->system_level() <= system_level) return item->id;
    if (steps == genres.size() || item->parents.empty()) break;
    item = genres.FindById(item->parents.front());
  }
  return saved_id;
}

}  // namespace tavo
