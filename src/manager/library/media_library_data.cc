// The media library's descriptor lists, presets and correlates.
#include <new>

#include "data/descriptors/named_list_file.h"
#include "manager/library/correlates_download.h"
#include "manager/library/manager_status.h"
#include "manager/library/media_library_session.h"

namespace tavo {

LibraryStatus MediaLibrary::List(DescriptorKind kind, DescriptorListPtr* list) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return session_->lists->Get(kind, list);
}

DescriptorListPtr MediaLibrary::LoadedList(DescriptorKind kind) {
  LibraryUse use(gate_);
  return use.ok() ? session_->lists->Loaded(kind) : nullptr;
}

MappingPtr MediaLibrary::Mapping(MappingKind kind) {
  LibraryUse use(gate_);
  return use.ok() ? session_->lists->Mapping(kind) : nullptr;
}

LibraryStatus MediaLibrary::GenreVersions(MappingPtr* mapping) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return session_->lists->GenreVersions(mapping);
}

LibraryStatus MediaLibrary::ReloadLists() {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return session_->lists->Reload();
}

LibraryStatus MediaLibrary::NamedList(std::string_view name, DescriptorListPtr* list) {
  if (name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) return kLibraryInvalidArgument;
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  if (ReadNamedListFile(session_->directory, name, options_.env, list) != kDescOk) return kLibraryNoMemory;
  if ((*list)->cyclic()) {
    *list = DescriptorList::Empty(DescriptorKind::kArtistTypes);
    if (*list == nullptr) return kLibraryNoMemory;
  }
  return kLibraryOk;
}

LibraryStatus MediaLibrary::LoadPresets(LoadedPresets* presets) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  DescriptorListPtr genres;
  if (session_->lists->Get(DescriptorKind::kGenres, &genres) != kLibraryOk) return kManagerNoList;
  const MappingPtr child_ids = session_->lists->Mapping(MappingKind::kGenreChildIds);
  *presets = session_->presets->Load(genres.get(), child_ids.get());
  return kLibraryOk;
}

LibraryStatus MediaLibrary::SaveUserPresets(const GeneratorChain& chain) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  const DescriptorListPtr genres = session_->lists->Loaded(DescriptorKind::kGenres);
  return static_cast<LibraryStatus>(session_->presets->SaveUser(chain, genres.get()));
}

LibraryStatus MediaLibrary::DownloadCorrelates(bool force) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  const LibraryStatus lists = session_->lists->Reload();
  LibraryStatus download = kManagerServiceFailed;
  {
    CorrelatesGate::Hold store(*session_->correlates);
    const LibraryStatus opened = store->OpenForWriting();
    if (opened != kLibraryOk) {
      download = opened;
    } else if (session_->service != nullptr) {
      download = DownloadAllCorrelates(*store, *session_->service, force);
    }
    // Whatever happened: back to reading. Closing flushes what was written.
    if (LibraryStatus s = store->Close(); download == kLibraryOk) download = s;
    store->OpenForReading();
  }
  return lists != kLibraryOk ? lists : download;
}

LibraryStatus MediaLibrary::WithCorrelates(const std::function<LibraryStatus(CorrelatesStore&)>& use_store) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  CorrelatesGate::Hold store(*session_->correlates);
  return use_store(*store);
}

}  // namespace tavo
