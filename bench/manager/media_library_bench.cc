// What the media library adds to each write of the library database it
// wraps: the lifecycle use, the write lock, the write order and the lookups
// that tell the engine's view which tracks went. Both sides work on a
// database of the same generated tracks, kept open, and do the same writes
// with the same flushes; neither syncs.
//
//   add_remove/database  LibraryDatabase_AddTrack of a new track, then
//                        LibraryDatabase_RemoveTrack of it; a commit every
//                        100 writes
//   add_remove/library   MediaLibrary::AddTrack and RemoveTrack of the same
//                        tracks (its commit policy flushes every 100 writes)
//   play/database        LibraryDatabase_ModifyTrack: one more play
//   play/library         MediaLibrary::ModifyStatistics: the same
//
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
// for medians of alternating runs.
//
//   TAVO_BENCH_TRACKS  tracks in each database (default 20000)
//   TAVO_BENCH_DIR     where the files go (default /tmp/tavo-bench-manager)
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "../library/generated_tracks.h"
#include "manager/library/media_library.h"
#include "storage/library/library_files.h"
#include "storage/library/track_writes.h"

namespace tavo::bench {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCommitEvery = 100;

uint32_t TrackCount() {
  const char* n = std::getenv("TAVO_BENCH_TRACKS");
  return n != nullptr ? static_cast<uint32_t>(std::strtoul(n, nullptr, 10)) : 20'000;
}

fs::path BenchDir(const std::string& name) {
  const char* d = std::getenv("TAVO_BENCH_DIR");
  return fs::path(d != nullptr ? d : "/tmp/tavo-bench-manager") / name;
}

// A fresh folder holding TrackCount() generated tracks.
std::string FilledFolder(const std::string& name) {
  const fs::path dir = BenchDir(name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  LibraryDatabasePtr db;
  LibraryDatabase_Open(dir.string(), kLibraryBaseName, &db);
  for (uint32_t n = 0; n < TrackCount(); ++n) {
    LibraryDatabase_AddTrack(db.get(), PathOf(n), TrackOf(n));
    if (n % kCommitEvery == 0) LibraryDatabase_Commit(db.get());
  }
  return dir.string();
}

LibraryDatabase* Database() {
  static LibraryDatabasePtr db = [] {
    LibraryDatabasePtr opened;
    LibraryDatabase_Open(FilledFolder("database"), kLibraryBaseName, &opened);
    return opened;
  }();
  return db.get();
}

MediaLibrary& Library() {
  static std::unique_ptr<MediaLibrary> library = [] {
    auto opened = std::make_unique<MediaLibrary>();
    opened->Open(FilledFolder("library"), nullptr);
    return opened;
  }();
  return *library;
}

uint32_t RecordPlay(TrackRecord& track) {
  TrackRecord_RecordPlay(&track);
  return 0;
}

void BM_AddRemoveDatabase(benchmark::State& state) {
  LibraryDatabase* db = Database();
  uint32_t n = TrackCount(), writes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const TrackRecord track = TrackOf(n);
    const std::string path = PathOf(n), name = FileNameOf(n);
    state.ResumeTiming();
    LibraryDatabase_AddTrack(db, path, track);
    LibraryDatabase_RemoveTrack(db, name);
    if ((writes += 2) % kCommitEvery == 0) LibraryDatabase_Commit(db);
    ++n;
  }
}

void BM_AddRemoveLibrary(benchmark::State& state) {
  MediaLibrary& library = Library();
  uint32_t n = TrackCount();
  for (auto _ : state) {
    state.PauseTiming();
    const TrackRecord track = TrackOf(n);
    const std::string path = PathOf(n), name = FileNameOf(n);
    state.ResumeTiming();
    library.AddTrack(path, track);
    library.RemoveTrack(name);
    ++n;
  }
}

void BM_PlayDatabase(benchmark::State& state) {
  LibraryDatabase* db = Database();
  uint32_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string name = FileNameOf(n++ * 7919 % TrackCount());
    state.ResumeTiming();
    LibraryDatabase_ModifyTrack(db, name, RecordPlay);
  }
}

void BM_PlayLibrary(benchmark::State& state) {
  MediaLibrary& library = Library();
  uint32_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string name = FileNameOf(n++ * 7919 % TrackCount());
    state.ResumeTiming();
    library.ModifyStatistics(name, RecordPlay);
  }
}

BENCHMARK(BM_AddRemoveDatabase)->Name("add_remove/database")->Iterations(5000);
BENCHMARK(BM_AddRemoveLibrary)->Name("add_remove/library")->Iterations(5000);
BENCHMARK(BM_PlayDatabase)->Name("play/database")->Iterations(5000);
BENCHMARK(BM_PlayLibrary)->Name("play/library")->Iterations(5000);

}  // namespace
}  // namespace tavo::bench

BENCHMARK_MAIN();
