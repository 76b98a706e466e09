// LibraryLists: the descriptor lists and genre id mappings of an open
// library, each loaded once and then kept in memory.
//
// Where a list comes from:
//   1. the list in memory;
//   2. else the database copy (database_copies.h), when it serves as it is:
//      it has no revision to ask the service about, or it was stored less
//      than 14 days ago (data/descriptors/refresh_rule.h);
//   3. else the service, asked with the copy's revision: a document is read,
//      written back to the database and kept; no document (the copy is
//      current, or the service failed, or its document does not read or
//      has a cycle in its hierarchy) falls back to the copy;
//   4. with neither, kManagerNoList (kManagerCyclicList when the service's
//      document was refused for a cycle).
// The genre list comes with its child-id mapping and the genre-family list
// (kind 5) with its family mapping: a mapping that is neither in memory nor
// in the database sends the request to the service even when the copy
// serves; the child-id mapping is derived from whatever genre list is used.
// The version mapping ("genres-v1-to-v2") follows the same rule with the
// revision of its own document.
//
// Lists are immutable and shared: a reload replaces the lists in memory, and
// every DescriptorListPtr handed out before stays valid.
//
// Thread safety: all members may be called from any thread. Loads are
// serialized; reading what is in memory waits only for the short lock that
// guards the slots.
#ifndef TAVO_MANAGER_LIBRARY_LIBRARY_LISTS_H_
#define TAVO_MANAGER_LIBRARY_LIBRARY_LISTS_H_

#include <memory>
#include <mutex>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"
#include "manager/library/correlates_gate.h"
#include "manager/library/database_copies.h"
#include "manager/library/list_service.h"
#include "vocabulary/dates.h"

namespace tavo {

using MappingPtr = std::shared_ptr<const IdMapping>;
using ClockFunction = DateTime (*)();

inline constexpr int kDescriptorKindCount = 6;

class LibraryLists {
 public:
  // `service` may be null: then only the database copies serve. `now`
  // gives the storing time and the age of copies (the library clock).
  LibraryLists(CorrelatesGate* correlates, std::shared_ptr<ListService> service, ClockFunction now);
  LibraryLists(const LibraryLists&) = delete;
  LibraryLists& operator=(const LibraryLists&) = delete;

  // The list of `kind`, loaded as above when it is not in memory.
  LibraryStatus Get(DescriptorKind kind, DescriptorListPtr* out);
  // The list in memory, or null; never loads.
  DescriptorListPtr Loaded(DescriptorKind kind) const;
  // The version mapping, loaded when it is not in memory.
  LibraryStatus GenreVersions(MappingPtr* out);
  // A mapping in memory (the child-id mapping once the genre list is
  // loaded, the family mapping with the kind 5 list), or null.
  MappingPtr Mapping(MappingKind kind) const;

  // Forgets every list and mapping and loads all of them again; the first
  // failure is returned, the others are still tried.
  LibraryStatus Reload();

 private:
  LibraryStatus LoadList(DescriptorKind kind);
  LibraryStatus LoadVersions();
  // The mapping that accompanies `kind`'s list from its database copy, into
  // the slot; false when there is none to be had there.
  bool RestoreCompanionMapping(DescriptorKind kind);
  void KeepList(DescriptorKind kind, DescriptorListPtr list, bool fresh);
  uint32_t Now() const;

  CorrelatesGate* const correlates_;
  const std::shared_ptr<ListService> service_;
  const ClockFunction now_;

  std::mutex load_mutex_;  // one load at a time; taken before slots_mutex_
  mutable std::mutex slots_mutex_;
  DescriptorListPtr lists_[kDescriptorKindCount];  // guarded by slots_mutex_
  MappingPtr child_ids_;                           // guarded by slots_mutex_
  MappingPtr versions_;                            // guarded by slots_mutex_
  MappingPtr families_;                            // guarded by slots_mutex_
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_LIBRARY_LISTS_H_
