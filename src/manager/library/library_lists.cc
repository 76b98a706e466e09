#include "manager/library/library_lists.h"

#include <new>
#include <string>
#include <utility>

#include "data/descriptors/genre_display.h"
#include "data/descriptors/list_document.h"
#include "data/descriptors/refresh_rule.h"
#include "data/xml/xml.h"
#include "manager/library/manager_status.h"

namespace tavo {
namespace {

// What a service document gives: the list, and for the version-style
// documents (genre families, "genres-v1-to-v2") their id pairs too.
struct ServiceDocumentContent {
  DescriptorListPtr list;
  IdMapping pairs;
};

// `list_kind` is the kind the document is read as (the version mapping's
// document is read as a plain list, for its revision). Lists that are
// hierarchies refuse cycles.
LibraryStatus ReadServiceDocument(const std::string& text, DescriptorKind list_kind, bool with_pairs,
                                  bool refuse_cycles, ServiceDocumentContent* out) {
  XmlNode* parsed = nullptr;
  if (XmlDocument_Parse(text.data(), text.size(), &parsed) != 0) return kManagerServiceFailed;
  const XmlNodePtr root(parsed);
  const DescStatus read = ReadListDocument(list_kind, root.get(), &out->list);
  if (read == kDescNoMemory) return kLibraryNoMemory;
  if (read != kDescOk) return kManagerServiceFailed;
  if (refuse_cycles && out->list->cyclic()) return kManagerCyclicList;
  if (with_pairs && ReadVersionMapping(root.get(), &out->pairs) != kDescOk) return kManagerServiceFailed;
  return kLibraryOk;
}

bool HasCompanionMapping(DescriptorKind kind) {
  return kind == DescriptorKind::kGenres || kind == DescriptorKind::kGenreFamilies;
}

MappingKind CompanionOf(DescriptorKind kind) {
  return kind == DescriptorKind::kGenres ? MappingKind::kGenreChildIds : MappingKind::kGenreFamilies;
}

size_t Slot(DescriptorKind kind) { return static_cast<size_t>(kind); }

}  // namespace

LibraryLists::LibraryLists(CorrelatesGate* correlates, std::shared_ptr<ListService> service, ClockFunction now)
    : correlates_(correlates), service_(std::move(service)), now_(now) {}

uint32_t LibraryLists::Now() const { return PackRecordDate(now_()); }

DescriptorListPtr LibraryLists::Loaded(DescriptorKind kind) const {
  if (!IsDescriptorKind(static_cast<int32_t>(kind))) return nullptr;
  std::lock_guard<std::mutex> lock(slots_mutex_);
  return lists_[Slot(kind)];
}

MappingPtr LibraryLists::Mapping(MappingKind kind) const {
  std::lock_guard<std::mutex> lock(slots_mutex_);
  switch (kind) {
    case MappingKind::kGenreChildIds: return child_ids_;
    case MappingKind::kGenreVersions: return versions_;
    case MappingKind::kGenreFamilies: return families_;
  }
  return nullptr;
}

LibraryStatus LibraryLists::Get(DescriptorKind kind, DescriptorListPtr* out) try {
  if (!IsDescriptorKind(static_cast<int32_t>(kind))) return kLibraryInvalidArgument;
  if ((*out = Loaded(kind)) != nullptr) return kLibraryOk;
  std::lock_guard<std::mutex> load(load_mutex_);
  if ((*out = Loaded(kind)) != nullptr) return kLibraryOk;  // another thread loaded it meanwhile
  if (LibraryStatus s = LoadList(kind); s != kLibraryOk) return s;
  *out = Loaded(kind);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryLists::GenreVersions(MappingPtr* out) try {
  if ((*out = Mapping(MappingKind::kGenreVersions)) != nullptr) return kLibraryOk;
  std::lock_guard<std::mutex> load(load_mutex_);
  if ((*out = Mapping(MappingKind::kGenreVersions)) != nullptr) return kLibraryOk;
  if (LibraryStatus s = LoadVersions(); s != kLibraryOk) return s;
  *out = Mapping(MappingKind::kGenreVersions);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryLists::Reload() try {
  std::lock_guard<std::mutex> load(load_mutex_);
  LibraryStatus first_failure = kLibraryOk;
  for (int kind = 0; kind < kDescriptorKindCount; ++kind) {
    const LibraryStatus s = LoadList(static_cast<DescriptorKind>(kind));
    if (first_failure == kLibraryOk) first_failure = s;
  }
  const LibraryStatus s = LoadVersions();
  return first_failure != kLibraryOk ? first_failure : s;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

bool LibraryLists::RestoreCompanionMapping(DescriptorKind kind) {
  if (Mapping(CompanionOf(kind)) != nullptr) return true;
  auto mapping = std::make_shared<IdMapping>();
  {
    CorrelatesGate::Hold store(*correlates_);
    if (ReadMappingCopy(*store, CompanionOf(kind), mapping.get()) != kLibraryOk) return false;
  }
  std::lock_guard<std::mutex> lock(slots_mutex_);
  (kind == DescriptorKind::kGenres ? child_ids_ : families_) = std::move(mapping);
  return true;
}

// Called with load_mutex_ held. `fresh`: the list just came from the
// service, so the genre list's child-id mapping is built from it anew.
void LibraryLists::KeepList(DescriptorKind kind, DescriptorListPtr list, bool fresh) {
  if (kind == DescriptorKind::kGenres && (fresh || Mapping(MappingKind::kGenreChildIds) == nullptr)) {
    auto child_ids = std::make_shared<IdMapping>();
    if (BuildChildIdMapping(*list, child_ids.get()) == kDescOk) {
      {
        CorrelatesGate::Hold store(*correlates_);
        WriteMappingCopy(*store, MappingKind::kGenreChildIds, *child_ids);  // a failed copy is built again next time
      }
      std::lock_guard<std::mutex> lock(slots_mutex_);
      child_ids_ = std::move(child_ids);
    }
  }
  std::lock_guard<std::mutex> lock(slots_mutex_);
  lists_[Slot(kind)] = std::move(list);
}

// Called with load_mutex_ held.
LibraryStatus LibraryLists::LoadList(DescriptorKind kind) {
  const uint32_t now = Now();
  DescriptorListPtr stored;
  uint32_t stored_time = 0;
  {
    CorrelatesGate::Hold store(*correlates_);
    if (ReadListCopy(*store, kind, &stored, &stored_time) != kLibraryOk) stored = nullptr;
  }
  if (stored != nullptr && stored->cyclic()) stored = nullptr;  // damage: never serve it
  const bool mapping_missing = HasCompanionMapping(kind) && !RestoreCompanionMapping(kind);
  if (stored != nullptr && !mapping_missing && StoredCopyServes(stored->header(), now, stored_time)) {
    KeepList(kind, std::move(stored), false);
    return kLibraryOk;
  }

  LibraryStatus refusal = kManagerNoList;
  if (service_ != nullptr) {
    const DescriptorListHeader held = stored != nullptr ? stored->header() : DescriptorListHeader{};
    std::string text;
    if (service_->FetchList(kind, held.revision_level, held.revision_tag, &text) == kLibraryOk) {
      ServiceDocumentContent fresh;
      const bool families = kind == DescriptorKind::kGenreFamilies;
      const LibraryStatus read = ReadServiceDocument(text, kind, families, true, &fresh);
      if (read == kLibraryOk) {
        {
          // A copy that cannot be written is fetched again next time.
          CorrelatesGate::Hold store(*correlates_);
          WriteListCopy(*store, *fresh.list, now);
          if (families) {
            WriteMappingCopy(*store, MappingKind::kGenreFamilies, fresh.pairs, &fresh.list->header(), now);
          }
        }
        if (families) {
          std::lock_guard<std::mutex> lock(slots_mutex_);
          families_ = std::make_shared<IdMapping>(std::move(fresh.pairs));
        }
        KeepList(kind, std::move(fresh.list), true);
        return kLibraryOk;
      }
      if (read == kManagerCyclicList || read == kLibraryNoMemory) refusal = read;
    }
  }
  if (stored == nullptr) return refusal;
  KeepList(kind, std::move(stored), false);
  return kLibraryOk;
}

// Called with load_mutex_ held.
LibraryStatus LibraryLists::LoadVersions() {
  const uint32_t now = Now();
  auto stored = std::make_shared<IdMapping>();
  DescriptorListHeader revision;
  uint32_t stored_time = 0;
  bool have_pairs = false, have_revision = false;
  {
    CorrelatesGate::Hold store(*correlates_);
    have_pairs = ReadMappingCopy(*store, MappingKind::kGenreVersions, stored.get()) == kLibraryOk;
    have_revision =
        have_pairs && ReadMappingRevision(*store, MappingKind::kGenreVersions, &revision, &stored_time) == kLibraryOk;
  }
  if (have_revision && StoredCopyServes(revision, now, stored_time)) {
    std::lock_guard<std::mutex> lock(slots_mutex_);
    versions_ = std::move(stored);
    return kLibraryOk;
  }
  if (service_ != nullptr) {
    if (!have_revision) revision = DescriptorListHeader{};
    std::string text;
    ServiceDocumentContent fresh;
    if (service_->FetchGenreVersions(revision.revision_level, revision.revision_tag, &text) == kLibraryOk &&
        ReadServiceDocument(text, DescriptorKind::kArtistTypes, true, false, &fresh) == kLibraryOk) {
      {
        CorrelatesGate::Hold store(*correlates_);
        WriteMappingCopy(*store, MappingKind::kGenreVersions, fresh.pairs, &fresh.list->header(), now);
      }
      std::lock_guard<std::mutex> lock(slots_mutex_);
      versions_ = std::make_shared<IdMapping>(std::move(fresh.pairs));
      return kLibraryOk;
    }
  }
  if (!have_pairs) return kManagerNoList;
  std::lock_guard<std::mutex> lock(slots_mutex_);
  versions_ = std::move(stored);
  return kLibraryOk;
}

}  // namespace tavo
