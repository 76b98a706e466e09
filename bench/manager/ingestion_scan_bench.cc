// A folder scan into a fresh library against a plain single-threaded TagLib
// loop over the same files: the loop opens each file with TagLib, reads its
// tag (title, artist, album, year, track, genre) and audio properties; the
// scan reads the same through the control's MP3 tag reader, measures the
// stream with our MP3 reader, builds the record and stores it under the
// write lock, with the next files read ahead on a second thread.
//
// The files (tagged silent MP3s written like the demo library's, kept in
// $TAVO_BENCH_TMPDIR or the temporary folder between runs) are read once
// before measuring, so both sides read from the page cache. Each iteration
// runs every side once, in alternating order; the counters are medians:
//   taglib_fps        files/s of the TagLib loop
//   scan_fps          files/s of AddFolder into a fresh database
//   read_fps          files/s of the scan's reading alone, one thread
//                     (control tag reader + our stream reader)
//   store_fps         files/s of building and storing the records of
//                     readings already made, one thread
//   taglib2_fps       files/s of the TagLib loop on two threads, half each
//   read2_fps         files/s of the scan's reading on two threads, half each
//                     (what the machine gives two threads at once)
//   ratio             scan_fps / taglib_fps (the goal: at least 1.0)
// No recognition service answers (every lookup fails at once), and no host
// listens: the work is the file's, the record's and the database's.
#include <benchmark/benchmark.h>
#include <taglib/audioproperties.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "control/tag_reader.h"
#include "demo_catalog.h"
#include "demo_writer.h"
#include "manager/com/control_ingestion_sources.h"
#include "manager/ingestion/folder_walk.h"
#include "manager/ingestion/ingestion.h"
#include "manager/ingestion/record_filling.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

fs::path BenchRoot() {
  const char* base = std::getenv("TAVO_BENCH_TMPDIR");
  return fs::path(base != nullptr ? base : fs::temp_directory_path().string()) / "tavo_ingestion_scan_bench";
}

// A tag identifier in the service's form, naming `n`.
std::string TagIdOf(int n) {
  const std::string digits = std::to_string(n);
  return std::string("3CD3P") + static_cast<char>('Z' - digits.size()) + digits;
}

// The folder of `count` tagged files, 100 per subfolder, written once.
fs::path Files(int count) {
  const fs::path dir = BenchRoot() / ("files_" + std::to_string(count));
  const fs::path done = dir / "complete";
  if (fs::exists(done)) return dir;
  fs::remove_all(dir);
  for (int i = 0; i < count; ++i) {
    Recording r;
    r.tag_id = TagIdOf(i + 1);
    r.title = "Title " + std::to_string(i);
    r.title_sort = r.title;
    r.artists = {"Artist " + std::to_string(i / 10)};
    r.artist_sorts = r.artists;
    r.album = "Album " + std::to_string(i / 10);
    r.label = "Label";
    r.track = i % 10 + 1;
    r.total_tracks = 10;
    r.year = 1970 + i % 50;
    r.genre_v2 = 0;
    r.seconds = 2;
    const fs::path folder = dir / ("d" + std::to_string(i / 100));
    fs::create_directories(folder);
    std::string error;
    if (!WriteDemoFile((folder / ("f" + std::to_string(i) + ".mp3")).string(), r, &error)) return {};
  }
  std::ofstream(done) << count;
  return dir;
}

HRESULT CreateReader(REFCLSID clsid, REFIID iid, void** ppv) {
  if (clsid == CLSID_TAVOMP3Reader) return control::Mp3TagReader::Create(nullptr, iid, ppv);
  if (clsid == CLSID_TAVOWMAReader) return control::WmaTagReader::Create(nullptr, iid, ppv);
  return E_NOINTERFACE;
}

class NoService final : public RecordingService {
 public:
  LibraryStatus Lookup(const std::string&, RecordingData*) override { return kManagerServiceFailed; }
  LibraryStatus Popularity(const std::string&, int32_t, int32_t*, int32_t*) override { return kManagerServiceFailed; }
};

// The plain loop: what a program that only wants the tags and audio
// properties does.
void TagLibLoop(const std::vector<std::string>& files) {
  for (const std::string& path : files) {
    TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
    if (const TagLib::Tag* tag = file.tag()) {
      benchmark::DoNotOptimize(tag->title().to8Bit(true));
      benchmark::DoNotOptimize(tag->artist().to8Bit(true));
      benchmark::DoNotOptimize(tag->album().to8Bit(true));
      benchmark::DoNotOptimize(tag->genre().to8Bit(true));
      benchmark::DoNotOptimize(tag->year() + tag->track());
    }
    if (const TagLib::AudioProperties* p = file.audioProperties()) {
      benchmark::DoNotOptimize(p->lengthInMilliseconds() + p->bitrate());
    }
  }
}

// A fresh, open library in a fresh folder.
std::unique_ptr<MediaLibrary> FreshLibrary(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  auto library = std::make_unique<MediaLibrary>();
  if (library->Open(dir.string(), nullptr) != kLibraryOk) return nullptr;
  return library;
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `work` on the first and second half of `files` on two threads.
double TwoThreads(const std::vector<std::string>& files,
                  const std::function<void(const std::vector<std::string>&)>& work) {
  const std::vector<std::string> first(files.begin(), files.begin() + files.size() / 2);
  const std::vector<std::string> second(files.begin() + files.size() / 2, files.end());
  return Seconds([&] {
    std::thread other([&] { work(second); });
    work(first);
    other.join();
  });
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void BM_ScanAgainstTagLibLoop(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path files_dir = Files(count);
  std::vector<std::string> files;
  if (files_dir.empty() || ListAudioFiles(files_dir.string(), true, &files) != kLibraryOk ||
      files.size() != static_cast<size_t>(count)) {
    state.SkipWithError("cannot write the files");
    return;
  }
  TagLibLoop(files);  // into the page cache
  ControlTagSource tags(&CreateReader);
  NoService service;
  const fs::path db_dir = BenchRoot() / "db";
  std::vector<double> taglib, scan, read, store, taglib2, read2;
  const auto read_all = [&](const std::vector<std::string>& some) {
    for (const std::string& path : some) benchmark::DoNotOptimize(ReadAudioFile(path, &tags, nullptr));
  };
  int round = 0;
  for (auto _ : state) {
    const auto run_taglib = [&] { taglib.push_back(Seconds([&] { TagLibLoop(files); })); };
    const auto run_scan = [&] {
      std::unique_ptr<MediaLibrary> library = FreshLibrary(db_dir);
      Ingestion ingestion(*library, {&tags, &service, nullptr});
      scan.push_back(Seconds([&] { ingestion.AddFolder(files_dir.string(), true); }));
      library->Close();
    };
    const auto run_parts = [&] {
      std::vector<FileReading> readings;
      readings.reserve(files.size());
      read.push_back(Seconds([&] {
        for (const std::string& path : files) readings.push_back(ReadAudioFile(path, &tags, nullptr));
      }));
      std::unique_ptr<MediaLibrary> library = FreshLibrary(db_dir);
      store.push_back(Seconds([&] {
        for (size_t i = 0; i < files.size(); ++i) {
          TrackRecord track;
          FillFromReading(readings[i], service, *library, &track);
          library->AddTrack(files[i], track);
        }
      }));
      library->Close();
    };
    if (round++ % 2 == 0) {
      run_taglib();
      run_scan();
    } else {
      run_scan();
      run_taglib();
    }
    run_parts();
    taglib2.push_back(TwoThreads(files, TagLibLoop));
    read2.push_back(TwoThreads(files, read_all));
  }
  const double n = static_cast<double>(count);
  state.counters["taglib_fps"] = n / Median(taglib);
  state.counters["scan_fps"] = n / Median(scan);
  state.counters["read_fps"] = n / Median(read);
  state.counters["store_fps"] = n / Median(store);
  state.counters["taglib2_fps"] = n / Median(taglib2);
  state.counters["read2_fps"] = n / Median(read2);
  state.counters["ratio"] = Median(taglib) / Median(scan);
}
BENCHMARK(BM_ScanAgainstTagLibLoop)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);
// Each round of 100,000 files takes about a minute on two cores.
BENCHMARK(BM_ScanAgainstTagLibLoop)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo

BENCHMARK_MAIN();
