// The media library's playlist runs: what a run borrows from the open
// library, and the engine's view of its tracks.
#include "manager/library/manager_status.h"
#include "manager/library/media_library_session.h"
#include "storage/library/dir_delim.h"

namespace tavo {
namespace {

// The descriptor lists a run consults, by the slot of RunLists they fill.
struct RunListSource {
  DescriptorKind kind;
  DescriptorListPtr RunLists::*slot;
};
constexpr RunListSource kRunListSources[] = {
    {DescriptorKind::kGenres, &RunLists::genres},
    {DescriptorKind::kOrigins, &RunLists::origins},
    {DescriptorKind::kEras, &RunLists::eras},
    {DescriptorKind::kPopularityRanges, &RunLists::popularity_ranges},
};

}  // namespace

LibraryStatus MediaLibrary::Snapshot(ViewSnapshotPtr* snapshot) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return session_->view->Snapshot(session_->database.get(), snapshot);
}

LibraryStatus MediaLibrary::RunGenerator(GeneratorRecord* generator, std::span<const std::string> selection,
                                         std::vector<PlaylistEntry>* entries, const RunClock& clock) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  RunRequest request;
  request.generator = generator;
  request.selection = selection;
  request.dir_delim = DirDelim();
  request.clock = clock;
  if (LibraryStatus s = session_->view->Snapshot(session_->database.get(), &request.snapshot); s != kLibraryOk) {
    return s;
  }
  // A list that cannot be had stays missing: the criteria that need it fall
  // back as their rules say. Loading may use the correlates store, so the
  // lists come before the store is held below.
  for (const RunListSource& source : kRunListSources) session_->lists->Get(source.kind, &(request.lists.*source.slot));
  const MappingPtr child_ids = session_->lists->Mapping(MappingKind::kGenreChildIds);
  request.lists.genre_translation = child_ids.get();
  // The run reads the correlates store (weight range and tables) and puts
  // its similarity scale into the generator; holding the store for the run
  // keeps a download from reopening it underneath and makes runs take turns.
  // Writers never wait for it.
  CorrelatesGate::Hold store(*session_->correlates);
  request.database = session_->database.get();
  return Generator_Run(request, entries);
}

}  // namespace tavo
