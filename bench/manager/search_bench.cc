// Library searches: the index-driven walk of LibrarySearch against a scan of
// every record, on one open library of generated tracks. Both sides find the
// same tracks and load each match with its sets; the scan decodes every
// record and tests it as the search tests index entries.
//
//   search/<filter>  LibrarySearch::Open, then Next until none is left
//   scan/<filter>    LibraryDatabase_WalkTracks, testing each track
//
// Filters: artist (12 tracks), year (one year of 60), wide plays range (the
// walk of the whole key), none (every track).
//
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
// for medians of alternating runs.
//
//   TAVO_BENCH_TRACKS  tracks in the library (default 20000)
//   TAVO_BENCH_DIR     where the files go (default /tmp/tavo-bench-search)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "../library/generated_tracks.h"
#include "manager/search/library_search.h"
#include "storage/library/library_files.h"

namespace tavo::bench {
namespace {

namespace fs = std::filesystem;

uint32_t TrackCount() {
  const char* n = std::getenv("TAVO_BENCH_TRACKS");
  return n != nullptr ? static_cast<uint32_t>(std::strtoul(n, nullptr, 10)) : 20'000;
}

// One library for every benchmark, filled once.
std::shared_ptr<MediaLibrary> Library() {
  static const std::shared_ptr<MediaLibrary> library = [] {
    const char* d = std::getenv("TAVO_BENCH_DIR");
    const fs::path dir = fs::path(d != nullptr ? d : "/tmp/tavo-bench-search") / "library";
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
      LibraryDatabasePtr db;
      LibraryDatabase_Open(dir.string(), kLibraryBaseName, &db);
      for (uint32_t n = 0; n < TrackCount(); ++n) {
        TrackRecord track = TrackOf(n);
        track.plays = n % 50;
        LibraryDatabase_AddTrack(db.get(), PathOf(n), track);
        if (n % 1000 == 0) LibraryDatabase_Commit(db.get());
      }
    }
    auto opened = std::make_shared<MediaLibrary>();
    opened->Open(dir.string(), nullptr);
    return opened;
  }();
  return library;
}

FindFilter FilterOf(int which) {
  FindFilter filter;
  switch (which) {
    case 0: filter.artist = ArtistOf(1200); break;
    case 1: filter.year = {true, 1979, 1979}; break;
    case 2: filter.plays = {true, 1, 1000}; break;
    default: break;
  }
  return filter;
}

const char* const kFilterNames[] = {"artist", "year", "plays_wide", "none"};

void BM_Search(benchmark::State& state) {
  const std::shared_ptr<MediaLibrary> library = Library();
  const FindFilter filter = FilterOf(static_cast<int>(state.range(0)));
  size_t found = 0;
  for (auto _ : state) {
    LibrarySearch search;
    search.Open(library, filter);
    TrackRecord track;
    for (found = 0; search.Next(library, &track) == kLibraryOk; ++found) benchmark::DoNotOptimize(track);
  }
  state.SetLabel(kFilterNames[state.range(0)]);
  state.counters["found"] = static_cast<double>(found);
}

void BM_Scan(benchmark::State& state) {
  const std::shared_ptr<MediaLibrary> library = Library();
  const std::vector<IndexTest> tests = FindFilter_Tests(FilterOf(static_cast<int>(state.range(0))));
  size_t found = 0;
  for (auto _ : state) {
    found = 0;
    library->Read([&](LibraryDatabase* db) {
      return LibraryDatabase_WalkTracks(db, [&](uint32_t id, const TrackRecord& track) {
        if (PassesAll(tests, IndexEntry_Build(track, id))) {
          benchmark::DoNotOptimize(track);
          ++found;
        }
        return true;
      });
    });
  }
  state.SetLabel(kFilterNames[state.range(0)]);
  state.counters["found"] = static_cast<double>(found);
}

BENCHMARK(BM_Search)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo::bench

BENCHMARK_MAIN();
