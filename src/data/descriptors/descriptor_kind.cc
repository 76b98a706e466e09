#include "data/descriptors/descriptor_kind.h"

#include <array>

namespace tavo {
namespace {

constexpr ExtensionValue kNone{};

// Indexed by DescriptorKind.
constexpr std::array<KindExtension, 6> kExtensions = {{
    {{{"RANGE_START_DATE", "", true, 2}, {"RANGE_END_DATE", "", true, 2}}},
    {{kNone, kNone}},
    {{kNone, kNone}},
    {{{"MASTER_ID", "", false, 4}, {"SYSTEM_LEVEL", "item_SYSTEM_LEVEL", false, 4}}},
    {{{"RANGE_START", "", false, 2}, {"RANGE_END", "", false, 2}}},
    {{kNone, kNone}},
}};

}  // namespace

bool IsDescriptorKind(int32_t value) noexcept {
  return value >= 0 && value < static_cast<int32_t>(kExtensions.size());
}

const KindExtension& ExtensionOf(DescriptorKind kind) noexcept {
  static constexpr KindExtension kNoExtension{{kNone, kNone}};
  const int32_t k = static_cast<int32_t>(kind);
  return IsDescriptorKind(k) ? kExtensions[static_cast<size_t>(k)] : kNoExtension;
}

}  // namespace tavo
