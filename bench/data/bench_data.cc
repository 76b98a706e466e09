// Costs of the descriptor-list and preset layers on the shipped catalog and
// sample presets, and of ordering a list by random ordinals (65,535 items is
// the most a list document may hold). Run with --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true for medians.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "data/descriptors/genre_display.h"
#include "data/descriptors/hierarchy.h"
#include "data/descriptors/list_document.h"
#include "data/descriptors/ordinal_order.h"
#include "data/presets/preset_file.h"

namespace tavo {
namespace {

std::string SourceFile(const std::string& path) {
  std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DescriptorListPtr Genres() {
  static const std::string text = SourceFile("share/catalog/genres.xml");
  DescriptorListPtr list;
  ReadListDocument(DescriptorKind::kGenres, text.data(), text.size(), &list);
  return list;
}

void BM_ReadGenreList(benchmark::State& state) {
  const std::string text = SourceFile("share/catalog/genres.xml");
  for (auto _ : state) {
    DescriptorListPtr list;
    benchmark::DoNotOptimize(ReadListDocument(DescriptorKind::kGenres, text.data(), text.size(), &list));
  }
}
BENCHMARK(BM_ReadGenreList);

// The per-track test of an "is under" genre criterion, over the catalog's
// styles against a top-level genre.
void BM_IsUnderPerTrack(benchmark::State& state) {
  DescriptorListPtr genres = Genres();
  std::vector<int32_t> styles;
  for (const DescriptorItem& item : genres->items()) {
    if (item.children.empty()) styles.push_back(item.id);
  }
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(IsUnder(*genres, styles[i++ % styles.size()], 300));
}
BENCHMARK(BM_IsUnderPerTrack);

void BM_DescendantsOfATopGenre(benchmark::State& state) {
  DescriptorListPtr genres = Genres();
  std::vector<int32_t> out;
  for (auto _ : state) benchmark::DoNotOptimize(Descendants(*genres, 300, &out));
}
BENCHMARK(BM_DescendantsOfATopGenre);

void BM_LoadSamplePresets(benchmark::State& state) {
  DescriptorListPtr genres = Genres();
  IdMapping mapping;
  BuildChildIdMapping(*genres, &mapping);
  const std::string path = std::string(TAVO_SOURCE_DIR) + "/share/samplepresets.xml";
  for (auto _ : state) {
    GeneratorChain chain;
    benchmark::DoNotOptimize(PresetFile_Load(path.c_str(), genres.get(), &mapping, &chain, nullptr));
  }
}
BENCHMARK(BM_LoadSamplePresets);

std::vector<int32_t> RandomOrdinals(size_t n) {
  std::mt19937 random(11);
  std::vector<int32_t> ordinals(n);
  for (int32_t& o : ordinals) o = 1 + static_cast<int32_t>(random() % n);
  return ordinals;
}

void BM_OrderByOrdinal(benchmark::State& state) {
  const std::vector<int32_t> ordinals = RandomOrdinals(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(OrderByOrdinal(ordinals));
}

BENCHMARK(BM_OrderByOrdinal)->Arg(2000)->Arg(8000)->Arg(65535)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo

BENCHMARK_MAIN();
