#include "manager/library/database_copies.h"

#include <new>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "data/descriptors/stored_list.h"

namespace tavo {
namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string_view Text(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

BlobKey Key(uint32_t class_id, uint32_t kind, uint32_t id = 0) { return BlobKey{class_id, kind, id}; }

// Runs `write` with the store open for writing, then flushes; a store that
// was read only is reopened read only afterwards.
template <class Write>
LibraryStatus Writing(CorrelatesStore& store, Write&& write) {
  const bool was_read_only = !store.writable();
  if (was_read_only) {
    if (LibraryStatus s = store.OpenForWriting(); s != kLibraryOk) return s;
  }
  LibraryStatus status = write();
  if (LibraryStatus s = store.Flush(); status == kLibraryOk) status = s;
  if (was_read_only) {
    if (LibraryStatus s = store.OpenForReading(); status == kLibraryOk) status = s;
  }
  return status;
}

}  // namespace

LibraryStatus ReadListCopy(CorrelatesStore& store, DescriptorKind kind, DescriptorListPtr* list,
                           uint32_t* stored_time) try {
  const uint32_t k = static_cast<uint32_t>(kind);
  StoredList stored;
  std::vector<uint8_t> header;
  if (LibraryStatus s = store.GetBlob(Key(kBlobClassListHeader, k), &header); s != kLibraryOk) return s;
  stored.header.assign(Text(header));
  std::vector<Blob> items;
  if (LibraryStatus s = store.ListBlobs(kBlobClassListItem, k, &items); s != kLibraryOk && s != kStoreNotFound) {
    return s;
  }
  stored.items.reserve(items.size());
  for (size_t position = 0; position < items.size(); ++position) {
    if (items[position].id != position) return kLibraryRecordDamaged;  // a gap: not one whole copy
    stored.items.emplace_back(Text(items[position].data));
  }
  if (DecodeList(stored, list, stored_time) != kDescOk) return kLibraryRecordDamaged;
  return (*list)->kind() == kind ? kLibraryOk : kLibraryRecordDamaged;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus WriteListCopy(CorrelatesStore& store, const DescriptorList& list, uint32_t stored_time) try {
  const StoredList stored = EncodeList(list, stored_time);
  const uint32_t k = static_cast<uint32_t>(list.kind());
  return Writing(store, [&]() -> LibraryStatus {
    if (LibraryStatus s = store.DeleteBlob(Key(kBlobClassListHeader, k)); s != kLibraryOk) return s;
    if (LibraryStatus s = store.DeleteBlobs(kBlobClassListItem, k); s != kLibraryOk) return s;
    for (uint32_t position = 0; position < stored.items.size(); ++position) {
      if (LibraryStatus s = store.PutBlob(Key(kBlobClassListItem, k, position), Bytes(stored.items[position]));
          s != kLibraryOk) {
        return s;
      }
    }
    return store.PutBlob(Key(kBlobClassListHeader, k), Bytes(stored.header));
  });
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus ReadMappingCopy(CorrelatesStore& store, MappingKind kind, IdMapping* mapping) try {
  std::vector<uint8_t> bytes;
  if (LibraryStatus s = store.GetBlob(Key(kBlobClassMapping, static_cast<uint32_t>(kind)), &bytes);
      s != kLibraryOk) {
    return s;
  }
  return IdMapping::FromBytes(Text(bytes), mapping) == kDescOk ? kLibraryOk : kLibraryRecordDamaged;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus WriteMappingCopy(CorrelatesStore& store, MappingKind kind, const IdMapping& mapping,
                               const DescriptorListHeader* revision, uint32_t stored_time) try {
  const uint32_t k = static_cast<uint32_t>(kind);
  const std::string pairs = mapping.ToBytes();
  const std::string header = revision != nullptr ? EncodeListHeader(*revision, stored_time, 0) : std::string();
  return Writing(store, [&]() -> LibraryStatus {
    // The revision goes last, so a copy cut short is not taken for current.
    if (LibraryStatus s = store.DeleteBlob(Key(kBlobClassMappingRevision, k)); s != kLibraryOk) return s;
    if (LibraryStatus s = store.PutBlob(Key(kBlobClassMapping, k), Bytes(pairs)); s != kLibraryOk) return s;
    if (revision == nullptr) return kLibraryOk;
    return store.PutBlob(Key(kBlobClassMappingRevision, k), Bytes(header));
  });
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus ReadMappingRevision(CorrelatesStore& store, MappingKind kind, DescriptorListHeader* revision,
                                  uint32_t* stored_time) try {
  std::vector<uint8_t> bytes;
  if (LibraryStatus s = store.GetBlob(Key(kBlobClassMappingRevision, static_cast<uint32_t>(kind)), &bytes);
      s != kLibraryOk) {
    return s;
  }
  uint32_t item_count = 0;
  return DecodeListHeader(Text(bytes), revision, stored_time, &item_count) == kDescOk ? kLibraryOk
                                                                                      : kLibraryRecordDamaged;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo
