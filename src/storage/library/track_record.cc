#include "storage/library/track_record.h"

namespace tavo {

const char* TrackRecord_Value(const TrackRecord& track, uint32_t key_index) noexcept {
  const PropertySet* set = IsDeveloperKey(key_index) ? track.developer.get() : track.metadata.get();
  return PropertySet_PeekValue(set, key_index, 0);
}

uint32_t TrackRecord_SetValue(TrackRecord* track, uint32_t key_index, const char* value) noexcept {
  // Checked before a set is made, so that a refused value changes nothing.
  if (track == nullptr || value == nullptr || *value == '\0' || key_index <= kKeyRec ||
      key_index > kKeyDevFieldPattern) {
    return kPropertySetInvalidArgument;
  }
  PropertySetPtr& set = IsDeveloperKey(key_index) ? track->developer : track->metadata;
  if (!set) {
    PropertySet* made = nullptr;
    if (uint32_t s = PropertySet_Create(&made, kPropertySetRec); s != kPropertySetOk) return s;
    set.reset(made);
  }
  return PropertySet_SetValue(set.get(), key_index, 0, value);
}

}  // namespace tavo
