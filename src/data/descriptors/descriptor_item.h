// One item of a descriptor list: a numbered entry with a display name, a
// description, its place in the list's hierarchy and its kind's extension.
#ifndef TAVO_DATA_DESCRIPTORS_DESCRIPTOR_ITEM_H_
#define TAVO_DATA_DESCRIPTORS_DESCRIPTOR_ITEM_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

struct DescriptorItem {
  int32_t id = 0;
  int32_t ordinal = 0;              // position asked for by the document; 0: at the end
  std::vector<int32_t> children;    // CHILD_ID elements, in document order
  std::vector<int32_t> parents;     // PARENT_ID elements, then the derived links
  std::string display_name;         // UTF-8
  std::string description;          // UTF-8
  // The kind's two extension numbers (descriptor_kind.h); 0 for kinds without.
  int32_t extension[2] = {0, 0};

  // Eras.
  int32_t start_year() const { return extension[0]; }
  int32_t end_year() const { return extension[1]; }
  // Genres.
  int32_t master_id() const { return extension[0]; }
  int32_t system_level() const { return extension[1]; }
  // Popularity ranges.
  int32_t range_start() const { return extension[0]; }
  int32_t range_end() const { return extension[1]; }

  bool operator==(const DescriptorItem&) const = default;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_DESCRIPTOR_ITEM_H_
