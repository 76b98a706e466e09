// Bit rate and duration of 10,000 MP3 files from the page cache: our frame
// reader against TagLib's MPEG properties, on the same files in the same run.
// Half the files are constant bit rate, half carry a Xing header; all open with
// a small ID3v2 tag. Files are written to a temporary directory on first use
// and removed at exit.
#include <benchmark/benchmark.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>
#include <taglib/tag.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/mp3_reader.h"

namespace {

constexpr int kFiles = 10'000;
constexpr int kFramesPerFile = 24;
constexpr size_t kFrameSize = 417;  // 128 kbps at 44100 Hz, no padding

std::string BigEndian(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// An ID3v2.3 tag with one title frame, padded to 1024 bytes.
std::string Id3v2Tag(int i) {
  const std::string title = "Track " + std::to_string(i);
  std::string frame = "TIT2" + BigEndian(static_cast<uint32_t>(title.size() + 1)) +
                      std::string(2, '\0') + '\0' + title;
  frame.resize(1024 - 10, '\0');
  const uint32_t size = static_cast<uint32_t>(frame.size());
  return std::string("ID3\x03\x00\x00", 6) + static_cast<char>(size >> 21 & 0x7F) +
         static_cast<char>(size >> 14 & 0x7F) + static_cast<char>(size >> 7 & 0x7F) +
         static_cast<char>(size & 0x7F) + frame;
}

std::string Mp3File(int i) {
  std::string file = Id3v2Tag(i);
  std::string frame = BigEndian(0xFFFB9000);  // MPEG-1 layer III 128 kbps 44100 Hz stereo
  frame.resize(kFrameSize, '\0');
  if (i % 2 == 1) {
    // Xing frame: frame count and byte count, at 36 bytes for MPEG-1 stereo.
    std::string xing = frame;
    xing.replace(36, 16, "Xing" + BigEndian(3) + BigEndian(kFramesPerFile + i % 7) +
                             BigEndian(kFramesPerFile * kFrameSize));
    file += xing;
  }
  for (int f = 0; f < kFramesPerFile; ++f) file += frame;
  return file;
}

class Corpus {
 public:
  Corpus() {
    char tmpl[] = "/tmp/tavo_bench_media.XXXXXX";
    dir_ = mkdtemp(tmpl);
    for (int i = 0; i < kFiles; ++i) {
      paths_.push_back(dir_ + "/" + std::to_string(i) + ".mp3");
      std::ofstream(paths_.back(), std::ios::binary) << Mp3File(i);
    }
  }
  ~Corpus() { std::filesystem::remove_all(dir_); }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::string dir_;
  std::vector<std::string> paths_;
};

const Corpus& Files() {
  static const Corpus corpus;
  return corpus;
}

void BM_TavoMp3Reader(benchmark::State& state) {
  const auto& paths = Files().paths();
  uint64_t hundredths = 0, kbps = 0;
  for (auto _ : state) {
    hundredths = kbps = 0;
    for (const std::string& path : paths) {
      tavo::Mp3Reader reader;
      if (reader.Open(path) != tavo::Mp3Status::kOk) state.SkipWithError("open failed");
      hundredths += reader.Duration();
      kbps += reader.BitRate();
    }
    benchmark::DoNotOptimize(hundredths);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
  state.counters["avg_kbps"] = static_cast<double>(kbps) / paths.size();
  state.counters["total_s"] = hundredths / 100.0;
}
BENCHMARK(BM_TavoMp3Reader)->Unit(benchmark::kMillisecond);

void BM_TagLibMpegProperties(benchmark::State& state) {
  const auto& paths = Files().paths();
  uint64_t ms = 0, kbps = 0;
  for (auto _ : state) {
    ms = kbps = 0;
    for (const std::string& path : paths) {
      TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Fast);
      const TagLib::MPEG::Properties* properties = file.audioProperties();
      if (properties == nullptr) state.SkipWithError("no properties");
      ms += properties->lengthInMilliseconds();
      kbps += properties->bitrate();
    }
    benchmark::DoNotOptimize(ms);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
  state.counters["avg_kbps"] = static_cast<double>(kbps) / paths.size();
  state.counters["total_s"] = ms / 1000.0;
}
BENCHMARK(BM_TagLibMpegProperties)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
