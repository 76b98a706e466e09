// The media library's lifecycle, reads, events and maintenance attachment.
#include <cassert>
#include <new>
#include <utility>

#include "manager/library/manager_status.h"
#include "manager/library/media_library_session.h"
#include "storage/library/dir_delim.h"
#include "storage/library/library_files.h"
#include "storage/library/open_registry.h"
#include "storage/maintenance/automatic_steps.h"

namespace tavo {

MediaLibrary::MediaLibrary(Options options) : options_(options), commit_(options.tick) {}

MediaLibrary::~MediaLibrary() {
  Close();
  if (maintenance_ != nullptr) maintenance_->forget(this);
}

// ---- Lifecycle ------------------------------------------------------------

LibraryStatus MediaLibrary::Open(const std::string& directory, std::shared_ptr<ListService> service) {
  if (LibraryStatus s = BeginOpen(); s != kLibraryOk) return s;
  return FinishOpen(directory, std::move(service));
}

LibraryStatus MediaLibrary::BeginOpen() { return gate_.BeginOpen(); }

void MediaLibrary::AbandonOpen() { gate_.EndOpen(false); }

LibraryStatus MediaLibrary::FinishOpen(const std::string& directory, std::shared_ptr<ListService> service,
                                       OpenStep* failed) try {
  auto fail = [&](OpenStep step, LibraryStatus status) {
    if (failed != nullptr) *failed = step;
    gate_.EndOpen(false);
    return status;
  };
  if (failed != nullptr) *failed = OpenStep::kNone;
  // Two libraries writing one database would ruin it.
  if (OpenDatabases_Contains(directory)) return fail(OpenStep::kDatabase, kLibraryDatabaseOpen);
  const std::shared_ptr<MaintenanceSettings> settings = maintenance();
  const uint32_t options = settings != nullptr ? settings->options() : 0;
  if (settings != nullptr) {
    const RebuildProgress progress = [this](uint32_t count, uint32_t total, bool* abort) {
      *abort = ReportRebuildProgress(count, total);
    };
    if (LibraryStatus s = Maintenance_BeforeOpen(options, directory, progress, options_.env); s != kLibraryOk) {
      return fail(OpenStep::kBeforeOpen, s);
    }
  }
  auto session = std::make_unique<Session>();
  session->directory = directory;
  if (LibraryStatus s = LibraryDatabase_Open(directory, kLibraryBaseName, &session->database,
                                             options_.env);
      s != kLibraryOk) {
    return fail(OpenStep::kDatabase, s);
  }
  if (settings != nullptr) {
    if (LibraryStatus s = Maintenance_AfterOpen(options, directory, options_.env); s != kLibraryOk) {
      session->database.reset();  // closes
      return fail(OpenStep::kAfterOpen, s);
    }
  }
  session->service = std::move(service);
  session->correlates = std::make_unique<CorrelatesGate>(LibraryDatabase_Correlates(session->database.get()));
  session->lists = std::make_unique<LibraryLists>(session->correlates.get(), session->service, options_.clock);
  session->presets = std::make_unique<PresetFolder>(directory, options_.env);
  session->view = std::make_unique<LibraryView>();
  {
    WriteLockHold hold(write_lock_);
    commit_.Reset();
  }
  session_ = std::move(session);
  gate_.EndOpen(true);

  // The lists every open needs; each is fetched again on first use when it
  // cannot be had now.
  LibraryUse use(gate_);
  if (use.ok()) {
    DescriptorListPtr list;
    MappingPtr mapping;
    session_->lists->Get(DescriptorKind::kGenreFamilies, &list);
    session_->lists->GenreVersions(&mapping);
    session_->lists->Get(DescriptorKind::kGenres, &list);
  }
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  if (failed != nullptr) *failed = OpenStep::kDatabase;
  if (gate_.state() == LifecycleGate::State::kOpening) gate_.EndOpen(false);
  return kLibraryNoMemory;
}

LibraryStatus MediaLibrary::Close() {
  if (LibraryStatus s = gate_.BeginClose(); s != kLibraryOk) return s;
  // No other thread is inside: the session is ours to take down. The
  // engine's view of this library goes with it.
  std::unique_ptr<Session> session = std::move(session_);
  session->view->Drop();  // playlists still held keep their snapshots
  const LibraryStatus closed = LibraryDatabase_Close(session->database.get());
  LibraryStatus status = closed;
  if (const std::shared_ptr<MaintenanceSettings> settings = maintenance(); settings != nullptr) {
    // Before the gate opens again, so that a new open's marker is not
    // removed by this close.
    const LibraryStatus hook = Maintenance_AtShutdown(settings->options(), session->directory, options_.env);
    if (hook != kLibraryOk) status = hook;
  }
  session.reset();
  gate_.EndClose();
  return status;
}

LibraryStatus MediaLibrary::Directory(std::string* directory) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  *directory = session_->directory;
  return kLibraryOk;
}

// ---- Reading --------------------------------------------------------------

LibraryStatus MediaLibrary::FindTrack(std::string_view path, TrackRecord* track, uint32_t* id, TrackLoad load) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  std::string_view directory, name;
  SplitTrackPath(path, &directory, &name);
  return LibraryDatabase_FindByFile(session_->database.get(), name, track, id, load);
}

LibraryStatus MediaLibrary::Read(const std::function<LibraryStatus(LibraryDatabase*)>& read) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return read(session_->database.get());
}

// ---- Events ---------------------------------------------------------------

void MediaLibrary::SetEvents(std::shared_ptr<LibraryEvents> events) {
  std::lock_guard<std::mutex> lock(events_mutex_);
  events_ = std::move(events);
}

std::shared_ptr<LibraryEvents> MediaLibrary::Events() const {
  CheckNoWriteLockHeld();
  std::lock_guard<std::mutex> lock(events_mutex_);
  return events_;
}

void MediaLibrary::CheckNoWriteLockHeld() const {
  // A sink that writes would wait for the lock its caller holds.
  assert(write_owner_.load() != std::this_thread::get_id() && "events are fired without the write lock");
}

namespace {

using PreEvent = void (LibraryEvents::*)(std::string_view, int32_t*, int32_t*);

HostDecision Ask(const std::shared_ptr<LibraryEvents>& events, PreEvent event, std::string_view file_name) {
  HostDecision decision;
  if (events == nullptr) return decision;
  // Per call, so that two threads never share the flags.
  int32_t add_ok = 1, go_on = 1;
  ((*events).*event)(file_name, &add_ok, &go_on);
  decision.add = add_ok != 0;
  decision.go_on = go_on != 0;
  return decision;
}

}  // namespace

HostDecision MediaLibrary::AskBeforeAdd(std::string_view file_name) {
  return Ask(Events(), &LibraryEvents::PreAddFile, file_name);
}

HostDecision MediaLibrary::AskBeforeUpdate(std::string_view file_name) {
  return Ask(Events(), &LibraryEvents::PreUpdateFile, file_name);
}

void MediaLibrary::ReportAdded(std::string_view file_name) {
  if (const std::shared_ptr<LibraryEvents> events = Events()) events->PostAddFile(file_name);
}

void MediaLibrary::ReportUpdated(std::string_view file_name) {
  if (const std::shared_ptr<LibraryEvents> events = Events()) events->PostUpdateFile(file_name);
}

bool MediaLibrary::ReportRebuildProgress(uint32_t count, uint32_t total) {
  const std::shared_ptr<LibraryEvents> events = Events();
  if (events == nullptr) return false;
  int32_t abort = 0;
  events->RebuildIndexProgress(static_cast<int32_t>(count), static_cast<int32_t>(total), &abort);
  return abort != 0;
}

// ---- Maintenance ----------------------------------------------------------

std::shared_ptr<MaintenanceSettings> MediaLibrary::AttachMaintenance(std::shared_ptr<MaintenanceSettings> settings) {
  std::shared_ptr<MaintenanceSettings> previous;
  {
    std::lock_guard<std::mutex> lock(maintenance_mutex_);
    previous = std::exchange(maintenance_, settings);
  }
  if (settings != nullptr) settings->set_attached(weak_from_this());
  if (previous != nullptr && previous != settings) previous->forget(this);
  return previous;
}

void MediaLibrary::DetachMaintenance(const MaintenanceSettings* settings) {
  std::shared_ptr<MaintenanceSettings> detached;
  {
    std::lock_guard<std::mutex> lock(maintenance_mutex_);
    if (maintenance_.get() != settings || settings == nullptr) return;
    detached = std::move(maintenance_);
  }
  detached->forget(this);
}

std::shared_ptr<MaintenanceSettings> MediaLibrary::maintenance() const {
  std::lock_guard<std::mutex> lock(maintenance_mutex_);
  return maintenance_;
}

}  // namespace tavo
