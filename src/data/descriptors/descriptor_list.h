// DescriptorList: one loaded descriptor list (genres, eras, origins, artist
// types, popularity ranges, genre families or a named list), immutable once
// made.
//
// Lists are shared as std::shared_ptr<const DescriptorList>: item views made
// later keep their list alive, and a refresh replaces the list object instead
// of changing it under them. Because nothing changes after Make, any number
// of threads may read one list at once.
//
// Invariants:
//  - items are in list order (ordinal order when read from a document, the
//    stored order when read from a stored copy); parents hold the declared
//    PARENT_IDs first and the links derived from children after them;
//  - at most 65,535 items, and at most 65,535 children and parents per item;
//  - FindById gives the first item with an id in list order.
#ifndef TAVO_DATA_DESCRIPTORS_DESCRIPTOR_LIST_H_
#define TAVO_DATA_DESCRIPTORS_DESCRIPTOR_LIST_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/descriptors/descriptor_item.h"
#include "data/descriptors/descriptor_kind.h"
#include "data/descriptors/descriptor_status.h"

namespace tavo {

struct DescriptorListHeader {
  DescriptorKind kind = DescriptorKind::kArtistTypes;
  std::string name;            // the root element's NAME
  std::string revision_level;  // REVISION/LEVEL as decimal text; empty when the document names none
  std::string revision_tag;    // REVISION/TAG
  int32_t format_version = 0;  // FORMAT_VERSION
  int32_t language_id = 0;     // LANGUAGE_ID

  bool operator==(const DescriptorListHeader&) const = default;
};

class DescriptorList;
using DescriptorListPtr = std::shared_ptr<const DescriptorList>;

class DescriptorList {
 public:
  // Makes a list of `items`, already in list order with their parents
  // complete. kDescTooLarge beyond the 16-bit counts, kDescNoMemory when out
  // of memory; *out is set only on success.
  static DescStatus Make(DescriptorListHeader header, std::vector<DescriptorItem> items,
                         DescriptorListPtr* out) noexcept;
  // A list of `kind` without items (a named list whose file is missing).
  static DescriptorListPtr Empty(DescriptorKind kind) noexcept;

  const DescriptorListHeader& header() const { return header_; }
  DescriptorKind kind() const { return header_.kind; }
  std::span<const DescriptorItem> items() const { return items_; }
  size_t size() const { return items_.size(); }

  const DescriptorItem* FindById(int32_t id) const noexcept;
  // The list position of FindById's item, or -1.
  int32_t IndexOf(int32_t id) const noexcept;
  // Positions of the items that name `id` among their children, in list
  // order (an item naming it twice appears once).
  std::span<const uint32_t> ItemsNaming(int32_t id) const noexcept;
  // Whether following children from some item leads back to it. Walks over
  // the list never loop either way; this only reports the damage.
  bool cyclic() const { return cyclic_; }

 private:
  DescriptorList() = default;
  void BuildIndexes();
  bool FindCycle() const;

  DescriptorListHeader header_;
  std::vector<DescriptorItem> items_;
  std::unordered_map<int32_t, uint32_t> position_of_id_;
  // Every (child id, position of an item naming it) pair once, sorted, kept
  // as two parallel arrays so that ItemsNaming is a span of the second.
  std::vector<int32_t> naming_ids_;
  std::vector<uint32_t> naming_positions_;
  bool cyclic_ = false;
};

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_DESCRIPTOR_LIST_H_
