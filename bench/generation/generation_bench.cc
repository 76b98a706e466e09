// Generator runs over generated libraries (bench/library/generated_tracks.h).
//
//   typical/N   three criteria on different fields (title contains "night",
//               length 2 to 6 minutes, release year after 1975), ranked by
//               release year (highest first: ties of about N/60 tracks drawn
//               at random), at most 2 tracks per artist, 60 minutes
//   similar/N   genre similar to genre 500 (target 8, window 20) over
//               correlate tables of 10 related genres each, ranked by
//               similarity, 60 minutes
//   warm        the run alone, on a view already built
//   cold        a new view built from the database files (in the page cache:
//               the files are read once before), then the first run
//   walk_raw    the record walk alone that the cold build is made of, with
//               nothing done per record: the store's share of the cold time
//   build_from_images  the view built from record images already in memory
//               (copied out of a walk beforehand): the view's own share of
//               the cold time, what a cold build would cost over a free walk
//
// Counters: view_bytes_per_track (LibraryView::MemoryBytes over the track
// count, everything the view holds), tracks (accepted by the criteria).
// The libraries are made once in TAVO_BENCH_DIR (default
// /tmp/tavo-bench-generation) and reused by later runs. Run with
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true and
// read the medians.
//
//   TAVO_BENCH_SIZES  comma-separated track counts (default 10000,100000,1000000)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "generation/engine/generator_run.h"
#include "generation/engine/library_view.h"
#include "generation/engine/track_row.h"
#include "generation/engine/view_state.h"
#include "library/generated_tracks.h"
#include "storage/library/correlates_store.h"
#include "storage/library/library_files.h"
#include "tavo/enums.h"

namespace tavo::bench {
namespace {

namespace fs = std::filesystem;

fs::path BenchDir() {
  const char* d = std::getenv("TAVO_BENCH_DIR");
  return fs::path(d != nullptr ? d : "/tmp/tavo-bench-generation");
}

std::vector<uint32_t> Sizes() {
  const char* s = std::getenv("TAVO_BENCH_SIZES");
  std::vector<uint32_t> sizes;
  std::stringstream in(s != nullptr ? s : "10000,100000,1000000");
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(static_cast<uint32_t>(std::stoul(item)));
  return sizes;
}

// Correlate tables: each genre 300..999 relates to 10 others, weights 1..10.
void WriteCorrelates(LibraryDatabase* db) {
  CorrelatesStore* c = LibraryDatabase_Correlates(db);
  if (c->OpenForWriting() != kLibraryOk || c->WriteWeightRange(1, 10) != kLibraryOk) std::abort();
  for (int32_t genre = 300; genre < 1000; ++genre) {
    std::vector<CorrelateEntry> table;
    for (int32_t k = 1; k <= 10; ++k) table.push_back({300 + (genre * 7 + k * 61) % 700, 1 + (genre + k) % 10});
    if (c->WriteTable(genre, table) != kLibraryOk) std::abort();
  }
  c->Close();
}

// The database of n generated tracks, made on first use and kept.
std::string LibraryOf(uint32_t n) {
  const fs::path dir = BenchDir() / std::to_string(n);
  const fs::path done = dir / "complete";
  if (fs::exists(done)) return dir.string();
  fs::remove_all(dir);
  fs::create_directories(dir);
  LibraryDatabasePtr db;
  if (LibraryDatabase_Open(dir.string(), kLibraryBaseName, &db) != kLibraryOk) std::abort();
  for (uint32_t i = 0; i < n; ++i) {
    if (LibraryDatabase_AddTrack(db.get(), PathOf(i), TrackOf(i)) != kLibraryOk) std::abort();
    if ((i + 1) % 1000 == 0) LibraryDatabase_Commit(db.get());
  }
  WriteCorrelates(db.get());
  LibraryDatabase_Close(db.get());
  std::ofstream(done) << n << "\n";
  return dir.string();
}

// Reads every file of the folder, so that the cold runs find them in the page cache.
void ReadFiles(const std::string& dir) {
  std::vector<char> buffer(1 << 20);
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    }
  }
}

struct Library {
  LibraryDatabasePtr db;
  LibraryView view;
};

Library& Open(uint32_t n) {
  static std::map<uint32_t, std::unique_ptr<Library>> open;
  std::unique_ptr<Library>& lib = open[n];
  if (!lib) {
    lib = std::make_unique<Library>();
    const std::string dir = LibraryOf(n);
    if (LibraryDatabase_Open(dir, kLibraryBaseName, &lib->db) != kLibraryOk) std::abort();
    LibraryDatabase_Correlates(lib->db.get())->OpenForReading();
  }
  return *lib;
}

std::shared_ptr<GeneratorRecord> Typical() {
  auto g = GeneratorRecord::MakeNamed();
  g->AddCriterion(-1, MakeCriterion(txpl_crit_field_track_name, txpl_crit_op_str_cont, 0, 0, 0, "night"));
  g->AddCriterion(-1, MakeCriterion(txpl_crit_field_file_length, txpl_crit_op_num_rang, 2, 6));
  g->AddCriterion(-1, MakeCriterion(txpl_crit_field_track_releaseyear, txpl_crit_op_num_gt, 1975));
  g->SetRank(RankEntry{txpl_crit_field_track_releaseyear, txpl_rank_order_ascending, 0});
  g->AddFieldLimit(FieldLimit{txpl_crit_field_track_artist_name, 2});
  g->time_limit_minutes = 60;
  g->seed = 5;
  return g;
}

std::shared_ptr<GeneratorRecord> Similar() {
  auto g = GeneratorRecord::MakeNamed();
  g->AddCriterion(-1, MakeCriterion(txpl_crit_field_track_genrev2, txpl_crit_op_enum_sim, 500, 8, 20));
  g->SetRank(RankEntry{txpl_crit_field_track_genrev2, txpl_rank_order_ascending, 0});
  g->time_limit_minutes = 60;
  g->seed = 5;
  return g;
}

size_t RunOnce(Library& lib, GeneratorRecord& g, const ViewSnapshotPtr& snapshot) {
  RunRequest r;
  r.generator = &g;
  r.snapshot = snapshot;
  r.database = lib.db.get();
  std::vector<PlaylistEntry> out;
  if (Generator_Run(r, &out) != kRunOk || out.empty()) std::abort();
  return out.size();
}

// Tracks the criteria accept (an unlimited run).
size_t Accepted(Library& lib, const GeneratorRecord& g, const ViewSnapshotPtr& snapshot) {
  std::shared_ptr<GeneratorRecord> all = g.Clone();
  all->ClearFieldLimits();
  all->time_limit_minutes = 0;
  all->seed = 5;
  RunRequest r;
  r.generator = all.get();
  r.snapshot = snapshot;
  r.database = lib.db.get();
  std::vector<PlaylistEntry> out;
  Generator_Run(r, &out);
  return out.size();
}

using Make = std::shared_ptr<GeneratorRecord> (*)();

void Warm(benchmark::State& state, Make make) {
  const auto n = static_cast<uint32_t>(state.range(0));
  Library& lib = Open(n);
  ViewSnapshotPtr snapshot;
  if (lib.view.Snapshot(lib.db.get(), &snapshot) != kLibraryOk) std::abort();
  auto g = make();
  size_t picked = 0;
  for (auto _ : state) picked = RunOnce(lib, *g, snapshot);
  state.counters["picked"] = static_cast<double>(picked);
  state.counters["tracks"] = static_cast<double>(Accepted(lib, *make(), snapshot));
  state.counters["view_bytes_per_track"] = static_cast<double>(lib.view.MemoryBytes()) / n;
}

void Cold(benchmark::State& state, Make make) {
  const auto n = static_cast<uint32_t>(state.range(0));
  Library& lib = Open(n);
  ReadFiles(LibraryOf(n));
  auto g = make();
  size_t bytes = 0;
  for (auto _ : state) {
    LibraryView view;
    ViewSnapshotPtr snapshot;
    if (view.Snapshot(lib.db.get(), &snapshot) != kLibraryOk) std::abort();
    RunOnce(lib, *g, snapshot);
    state.PauseTiming();
    bytes = view.MemoryBytes();
    snapshot.reset();
    view.Drop();  // the view's memory is given back outside the timed part
    state.ResumeTiming();
  }
  state.counters["view_bytes_per_track"] = static_cast<double>(bytes) / n;
}

void WalkRaw(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  Library& lib = Open(n);
  ReadFiles(LibraryOf(n));
  for (auto _ : state) {
    uint64_t bytes = 0;
    LibraryDatabase_WalkRaw(lib.db.get(), [&](uint32_t, std::string_view, const TrackImage& image) {
      bytes += image.metadata_xml.size();
      return true;
    });
    benchmark::DoNotOptimize(bytes);
  }
}

struct Image {
  uint32_t id;
  std::string name;
  std::vector<uint8_t> data;
};

// Every record image of the library, copied out of a walk once.
const std::vector<Image>& ImagesOf(uint32_t n) {
  static std::map<uint32_t, std::vector<Image>> kept;
  std::vector<Image>& images = kept[n];
  if (!images.empty()) return images;
  images.reserve(n);
  LibraryDatabase_WalkRaw(Open(n).db.get(), [&](uint32_t id, std::string_view name, const TrackImage& image) {
    // The image again as its bytes: the fixed part is rebuilt around the views.
    TrackRecord t;
    if (TrackImage_Decode(image, name, TrackLoad::kWithSets, &t) != kLibraryOk) std::abort();
    Image& copy = images.emplace_back(Image{id, std::string(name), {}});
    TrackImage_Encode(t, image.path_name, &copy.data);
    return true;
  });
  return images;
}

void BuildFromImages(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  const std::vector<Image>& images = ImagesOf(n);
  size_t bytes = 0;
  for (auto _ : state) {
    ViewState built;
    KeyTexts keys;
    PropertySetPtr parsed[2];
    TrackRow row;
    for (const Image& i : images) {
      TrackImage image;
      if (TrackImage_Parse(i.data.data(), static_cast<uint32_t>(i.data.size()), &image) != kLibraryOk) std::abort();
      if (TrackRow_FromImage(i.id, i.name, image, &keys, parsed, &row)) built.Store(row);
    }
    benchmark::DoNotOptimize(built.Publish());
    state.PauseTiming();
    bytes = built.MemoryBytes();
    state.ResumeTiming();
  }
  state.counters["view_bytes_per_track"] = static_cast<double>(bytes) / n;
}

void Register() {
  for (uint32_t n : Sizes()) {
    benchmark::RegisterBenchmark("typical/warm", Warm, &Typical)->Arg(n)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("similar/warm", Warm, &Similar)->Arg(n)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("typical/cold", Cold, &Typical)->Arg(n)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("walk_raw", WalkRaw)->Arg(n)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("build_from_images", BuildFromImages)->Arg(n)->Unit(benchmark::kMillisecond);
  }
}

}  // namespace
}  // namespace tavo::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tavo::bench::Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
