#include "generation/engine/library_view.h"

#include <new>

#include "generation/engine/view_build.h"
#include "generation/engine/view_state.h"

namespace tavo {

// A write reported while the view is being built, with copies of its texts
// (the row's views point into `texts`).
struct LibraryView::QueuedWrite {
  bool removal = false;
  std::string file_name;  // removals
  std::array<std::string, kTextColumnCount> texts;
  TrackRow row;
};

LibraryView::LibraryView() = default;
LibraryView::~LibraryView() = default;

bool LibraryView::built() const {
  std::lock_guard lock(mutex_);
  return phase_ == Phase::kReady;
}

size_t LibraryView::MemoryBytes() const {
  std::lock_guard lock(mutex_);
  return phase_ == Phase::kReady ? state_->MemoryBytes() : 0;
}

void LibraryView::ApplyLocked(const QueuedWrite& write) {
  if (write.removal) {
    state_->Remove(write.file_name);
  } else {
    state_->Store(write.row);
  }
}

LibraryStatus LibraryView::Snapshot(LibraryDatabase* db, ViewSnapshotPtr* out) noexcept {
  if (out == nullptr) return kDatabaseInvalidArgument;
  out->reset();
  std::unique_lock lock(mutex_);
  build_done_.wait(lock, [&] { return phase_ != Phase::kBuilding; });
  try {
    if (phase_ == Phase::kReady) {
      *out = state_->Publish();
      return kLibraryOk;
    }
    phase_ = Phase::kBuilding;
    const uint64_t generation = generation_;
    lock.unlock();
    auto built = std::make_unique<ViewState>();
    const LibraryStatus status = BuildViewState(db, built.get());
    lock.lock();
    const bool dropped = generation != generation_;
    phase_ = Phase::kEmpty;
    if (status != kLibraryOk || dropped) {
      queued_.clear();
      build_done_.notify_all();
      return status != kLibraryOk ? status : kDatabaseInvalidArgument;
    }
    state_ = std::move(built);
    for (const auto& write : queued_) ApplyLocked(*write);
    queued_.clear();
    phase_ = Phase::kReady;
    build_done_.notify_all();
    *out = state_->Publish();
    return kLibraryOk;
  } catch (const std::bad_alloc&) {
    if (!lock.owns_lock()) lock.lock();
    ForgetLocked();
    phase_ = Phase::kEmpty;
    build_done_.notify_all();
    out->reset();
    return kLibraryNoMemory;
  }
}

void LibraryView::ForgetLocked() noexcept {
  state_.reset();
  queued_.clear();
  ++generation_;  // a build under way sees this and discards its result
  if (phase_ == Phase::kReady) phase_ = Phase::kEmpty;
}

void LibraryView::OnTrackStored(const TrackRecord& track, uint32_t id) noexcept {
  OnTrackStored(track, id, track.path_name, track.file_name);
}

void LibraryView::OnTrackStored(const TrackRecord& track, uint32_t id, std::string_view folder,
                                std::string_view file_name) noexcept {
  std::lock_guard lock(mutex_);
  if (phase_ == Phase::kEmpty) return;
  try {
    KeyTexts keys;
    TrackRow row;
    TrackRow_FromRecord(id, track, &keys, &row);
    row.text[kTextFolder] = folder;
    row.text[kTextFileName] = file_name;
    if (phase_ == Phase::kReady) {
      state_->Store(row);
      return;
    }
    auto write = std::make_unique<QueuedWrite>();
    for (uint8_t c = 0; c < kTextColumnCount; ++c) write->texts[c] = row.text[c];
    write->row = row;
    for (uint8_t c = 0; c < kTextColumnCount; ++c) write->row.text[c] = write->texts[c];
    queued_.push_back(std::move(write));
  } catch (const std::bad_alloc&) {
    ForgetLocked();
  }
}

void LibraryView::OnTrackRemoved(std::string_view file_name) noexcept {
  std::lock_guard lock(mutex_);
  try {
    if (phase_ == Phase::kReady) {
      state_->Remove(file_name);
    } else if (phase_ == Phase::kBuilding) {
      auto write = std::make_unique<QueuedWrite>();
      write->removal = true;
      write->file_name = file_name;
      queued_.push_back(std::move(write));
    }
  } catch (const std::bad_alloc&) {
    ForgetLocked();
  }
}

void LibraryView::Drop() noexcept {
  std::lock_guard lock(mutex_);
  ForgetLocked();
}

}  // namespace tavo
