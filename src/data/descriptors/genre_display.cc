#include "data/descriptors/genre_display.h"

#include <new>

namespace tavo {

int32_t GenreDisplayId(const DescriptorList& genres, int32_t id) noexcept {
  constexpr int32_t kFirstDisplayId = 300;
  constexpr int32_t kFirstPlainId = 10000;
  if (id < kFirstDisplayId || id >= kFirstPlainId || genres.FindById(id) != nullptr) return id;
  const auto naming = genres.ItemsNaming(id);
  return naming.empty() ? id : genres.items()[naming.back()].id;
}

DescStatus BuildChildIdMapping(const DescriptorList& genres, IdMapping* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  try {
    IdMapping mapping;
    for (const DescriptorItem& item : genres.items()) {
      for (int32_t child : item.children) {
        if (genres.FindById(child) == nullptr) mapping.Add(child, item.id);
      }
    }
    *out = std::move(mapping);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

}  // namespace tavo
