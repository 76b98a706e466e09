// The library database beside the record store it is built on, in the same
// run, on the same generated tracks.
//
//   add/library        LibraryDatabase_AddTrack of each track (both files,
//                      every key), a commit every 100 adds
//   add/store_records  the bare store insert of the same ".pdb" records
//                      (data already encoded, keys set and inserted), a
//                      flush every 100
//   add/store_both     the bare store inserts of the same ".pdb" record and
//                      ".idx" entry: the store work an add does
//   find/*             every track once in random order, by file name and by
//                      identifier, through the library (decoding the record,
//                      with or without its property sets) and through the
//                      bare store (Store_Find on the same open file)
//   walk/raw           every record image of a freshly opened database, as
//                      the engine reads them to build its column view
//
// Making the tracks is outside the timed parts on every side. Both sides
// commit at the same points, durably (an fdatasync of each file's log per
// commit: the library's default; add/store_records syncs one file per
// commit, add/library and add/store_both two). The raw walk reads the
// record file in file order (Store_ScanNext). Run with
// --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true for
// medians of alternating runs.
//
//   TAVO_BENCH_TRACKS  number of tracks (default 1000000)
//   TAVO_BENCH_DIR     where the files go (default /tmp/tavo-bench-library)
//   TAVO_BENCH_REUSE   set: lookups and the walk use the library a previous
//                      run left in <dir>/lookup (for a walk from a cold cache:
//                      drop the page cache, then run only BM_WalkRaw)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "generated_tracks.h"
#include "storage/library/index_entry.h"
#include "storage/library/library_database.h"
#include "storage/library/library_files.h"
#include "storage/library/store_records.h"

namespace tavo::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kCommitEvery = 100;
constexpr uint32_t kBatch = 1000;

uint32_t TrackCount() {
  const char* n = std::getenv("TAVO_BENCH_TRACKS");
  return n != nullptr ? static_cast<uint32_t>(std::strtoul(n, nullptr, 10)) : 1'000'000;
}

fs::path BenchDir(const std::string& name) {
  const char* d = std::getenv("TAVO_BENCH_DIR");
  return fs::path(d != nullptr ? d : "/tmp/tavo-bench-library") / name;
}

std::string FreshDir(const std::string& name) {
  const fs::path dir = BenchDir(name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Report(benchmark::State& state, double seconds, uint32_t tracks) {
  state.SetIterationTime(seconds);
  state.counters["tracks_per_s"] = tracks / seconds;
}

// Adds tracks [0, n) to a new library in `dir`; returns the timed seconds.
double AddAll(const std::string& dir, uint32_t n) {
  LibraryDatabasePtr db;
  if (LibraryDatabase_Open(dir, kLibraryBaseName, &db) != kLibraryOk) std::abort();
  Clock::duration timed{};
  std::vector<TrackRecord> batch;
  std::vector<std::string> paths;
  for (uint32_t first = 0; first < n; first += kBatch) {
    batch.clear();
    paths.clear();
    for (uint32_t i = first; i < std::min(n, first + kBatch); ++i) {
      batch.push_back(TrackOf(i));
      paths.push_back(PathOf(i));
    }
    const auto start = Clock::now();
    for (size_t i = 0; i < batch.size(); ++i) {
      if (LibraryDatabase_AddTrack(db.get(), paths[i], batch[i]) != kLibraryOk) std::abort();
      if ((first + i + 1) % kCommitEvery == 0) LibraryDatabase_Commit(db.get());
    }
    timed += Clock::now() - start;
  }
  const auto start = Clock::now();
  LibraryDatabase_Close(db.get());
  return Seconds(timed + (Clock::now() - start));
}

void BM_AddLibrary(benchmark::State& state) {
  const uint32_t n = TrackCount();
  for (auto _ : state) {
    const std::string dir = FreshDir("add-library");
    const double seconds = AddAll(dir, n);
    Report(state, seconds, n);
    state.counters["file_bytes_per_track"] =
        double(fs::file_size(dir + "/tavoplm.pdb") + fs::file_size(dir + "/tavoplm.idx")) / n;
  }
}

// What a bare insert is given: the encoded data and the key values.
struct Prepared {
  std::vector<uint8_t> data;
  std::string name_key;
  uint32_t id = 0;
  IndexEntry entry;
};

Prepared Prepare(uint32_t n) {
  Prepared p;
  const TrackRecord t = TrackOf(n);
  std::string_view path = PathOf(n);
  TrackImage_Encode(t, path.substr(0, path.rfind('/')), &p.data);
  p.name_key = FileNameOf(n) + '\0';
  // Untagged tracks (n % 10 of 7, 8, 9) draw 1, 2, 3, ... from the counter.
  p.id = HasTag(n) ? TagNumberOf(n) : 3 * (n / 10) + (n % 10 - 7) + 1;
  p.entry = IndexEntry_Build(t, p.id);
  return p;
}

void InsertBare(StoreFile* file, const void* data, uint32_t length, const KeyValue* keys, uint32_t count) {
  StoreRecordPtr record;
  if (BuildRecord(file, data, length, keys, count, &record) != kLibraryOk) std::abort();
  if (Store_Insert(file, record.get()) != kStoreOk) std::abort();
}

void AddBare(benchmark::State& state, bool with_index) {
  const uint32_t n = TrackCount();
  for (auto _ : state) {
    const std::string dir = FreshDir(with_index ? "add-store-both" : "add-store-records");
    StoreFilePtr records, index;
    LibraryFile_Create(LibraryFile::kRecords, dir + "/tavoplm.pdb", nullptr, &records);
    LibraryFile_Create(LibraryFile::kIndex, dir + "/tavoplm.idx", nullptr, &index);
    Clock::duration timed{};
    std::vector<Prepared> batch;
    for (uint32_t first = 0; first < n; first += kBatch) {
      batch.clear();
      for (uint32_t i = first; i < std::min(n, first + kBatch); ++i) batch.push_back(Prepare(i));
      const auto start = Clock::now();
      for (size_t i = 0; i < batch.size(); ++i) {
        const Prepared& p = batch[i];
        const KeyValue keys[] = {{p.name_key.data(), static_cast<uint32_t>(p.name_key.size())}, {&p.id, 4}, {}, {}};
        InsertBare(records.get(), p.data.data(), static_cast<uint32_t>(p.data.size()), keys, 4);
        if (with_index) {
          KeyValue entry_keys[kIndexKeyCount];
          for (uint32_t k = 0; k < kIndexKeyCount; ++k) {
            entry_keys[k] = {p.entry.values[k].data(), static_cast<uint32_t>(p.entry.values[k].size())};
          }
          InsertBare(index.get(), nullptr, 0, entry_keys, kIndexKeyCount);
        }
        if ((first + i + 1) % kCommitEvery == 0) {
          Store_Flush(records.get());
          if (with_index) Store_Flush(index.get());
        }
      }
      timed += Clock::now() - start;
    }
    const auto start = Clock::now();
    LibraryFile_Close(&records);
    LibraryFile_Close(&index);
    Report(state, Seconds(timed + (Clock::now() - start)), n);
  }
}

void BM_AddStoreRecords(benchmark::State& state) { AddBare(state, false); }
void BM_AddStoreBoth(benchmark::State& state) { AddBare(state, true); }

// One library built once for every lookup and walk.
const std::string& LookupDir() {
  static const std::string dir = [] {
    if (std::getenv("TAVO_BENCH_REUSE") != nullptr && fs::exists(BenchDir("lookup") / "tavoplm.pdb")) {
      return BenchDir("lookup").string();
    }
    const std::string d = FreshDir("lookup");
    AddAll(d, TrackCount());
    return d;
  }();
  return dir;
}

std::vector<uint32_t> Shuffled(uint32_t n) {
  std::vector<uint32_t> order(n);
  for (uint32_t i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  return order;
}

enum class Lookup { kLibraryName, kLibraryNameFixed, kStoreName, kLibraryId, kStoreId };

void Find(benchmark::State& state, Lookup how) {
  const uint32_t n = TrackCount();
  const std::string& dir = LookupDir();
  const std::vector<uint32_t> order = Shuffled(n);
  std::vector<std::string> keys(n);
  for (uint32_t i = 0; i < n; ++i) keys[i] = FileNameOf(order[i]) + '\0';
  for (auto _ : state) {
    LibraryDatabasePtr db;
    LibraryDatabase_Open(dir, kLibraryBaseName, &db);
    StoreFile* records = LibraryDatabase_RecordsFile(db.get());
    uint32_t found = 0;
    const auto start = Clock::now();
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t id = HasTag(order[i]) ? TagNumberOf(order[i]) : 0;
      const std::string_view name(keys[i].data(), keys[i].size() - 1);
      TrackRecord t;
      StoreRecordPtr r;
      switch (how) {
        case Lookup::kLibraryName: found += LibraryDatabase_FindByFile(db.get(), name, &t) == kLibraryOk; break;
        case Lookup::kLibraryNameFixed:
          found += LibraryDatabase_FindByFile(db.get(), name, &t, nullptr, TrackLoad::kFixedOnly) == kLibraryOk;
          break;
        case Lookup::kStoreName:
          found += FindRecord(records, 0, keys[i].data(), static_cast<uint32_t>(keys[i].size()), &r) == kLibraryOk;
          break;
        case Lookup::kLibraryId: found += id == 0 || LibraryDatabase_FindById(db.get(), id, &t) == kLibraryOk; break;
        case Lookup::kStoreId: found += id == 0 || FindRecord(records, 1, &id, 4, &r) == kLibraryOk; break;
      }
    }
    Report(state, Seconds(Clock::now() - start), n);
    if (found != n) state.SkipWithError("a track was not found");
  }
}

void BM_FindLibraryByName(benchmark::State& state) { Find(state, Lookup::kLibraryName); }
void BM_FindLibraryByNameFixedPart(benchmark::State& state) { Find(state, Lookup::kLibraryNameFixed); }
void BM_FindStoreByName(benchmark::State& state) { Find(state, Lookup::kStoreName); }
void BM_FindLibraryById(benchmark::State& state) { Find(state, Lookup::kLibraryId); }
void BM_FindStoreById(benchmark::State& state) { Find(state, Lookup::kStoreId); }

// Opening the database and reading every record image, as the engine builds
// its column view.
void BM_WalkRaw(benchmark::State& state) {
  const uint32_t n = TrackCount();
  const std::string& dir = LookupDir();
  for (auto _ : state) {
    const auto start = Clock::now();
    LibraryDatabasePtr db;
    LibraryDatabase_Open(dir, kLibraryBaseName, &db);
    uint64_t bytes = 0;
    uint32_t seen = 0;
    LibraryDatabase_WalkRaw(db.get(), [&](uint32_t, std::string_view name, const TrackImage& image) {
      bytes += name.size() + image.metadata_xml.size();
      ++seen;
      return true;
    });
    Report(state, Seconds(Clock::now() - start), n);
    benchmark::DoNotOptimize(bytes);
    if (seen != n) state.SkipWithError("the walk missed tracks");
  }
}

#define TAVO_LIBRARY_BENCH(fn) BENCHMARK(fn)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond)
TAVO_LIBRARY_BENCH(BM_AddLibrary);
TAVO_LIBRARY_BENCH(BM_AddStoreRecords);
TAVO_LIBRARY_BENCH(BM_AddStoreBoth);
TAVO_LIBRARY_BENCH(BM_FindLibraryByName);
TAVO_LIBRARY_BENCH(BM_FindLibraryByNameFixedPart);
TAVO_LIBRARY_BENCH(BM_FindStoreByName);
TAVO_LIBRARY_BENCH(BM_FindLibraryById);
TAVO_LIBRARY_BENCH(BM_FindStoreById);
TAVO_LIBRARY_BENCH(BM_WalkRaw);

}  // namespace
}  // namespace tavo::bench

BENCHMARK_MAIN();
